// F12 in a match: the last rendered frame written to the lowest free numbered
// Targa file ("<prefix><n>.tga"). Needs the match's GL context.
#pragma once

// Returns false (and writes nothing) when no file could be created.
bool takeScreenshot(const char* prefix);

// The 18-byte header of an uncompressed, top-left-origin 24-bit Targa image.
void screenshotHeader(int width, int height, unsigned char header[18]);
