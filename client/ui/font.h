// A screen's one bitmap font: 256 GL display lists, list fontListBase + c
// drawing character code c (`fontListBase`, client/core/records.h, 0 while no
// font exists). Built and deleted by the screen that shows text (the menu's
// pages, the match), in its GL context.
#pragma once
#include <cstdint>

// Lists for codes 0..254 from the face (a monospace face stands in when it is
// not installed); list 255 stays empty, so code 255 draws nothing.
void createFont(int height, int weight, const char* face);
void deleteFont();

// Draws the overlay: the event message (until 3000 ms have passed) and this
// frame's lines, in queue order, over the 3D scene; then empties the lines.
void drawTextOverlay();
