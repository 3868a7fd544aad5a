// Making the game's window: the shell's side of the window record
// (client/core/glwindow.h). The game plugs these in once at start; GL tests
// and benchmarks do the same before they open a window.
#pragma once

// Plugs this shell's window making (SDL window, GL context, the game's window
// procedure and its mouse) into createGlWindow and killGlWindow.
void useGlWindows();

// The viewport follows the client size (a height of 0 counts as 1).
void resizeGlScene(int width, int height);
// The fixed-function state every screen starts from.
void initGlState();
