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
// Builds the font again when it was built at another height (the window's
// size changed); nothing when it already has this one.
void fitFont(int height, int weight, const char* face);

// The match's font height for a window height: 18 pixels up to 768 lines,
// growing with the window above that (about 25 at 1080), so the text keeps its
// share of the screen.
int matchFontHeight(int windowHeight);
constexpr int MATCH_FONT_WEIGHT = 500;

// Draws the overlay: the event message (until 3000 ms have passed) and this
// frame's lines, in queue order, over the 3D scene; then empties the lines.
void drawTextOverlay();
