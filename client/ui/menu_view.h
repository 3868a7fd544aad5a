// Where the menu's 640 x 480 pictures sit in a window of any size: as large as
// fits with their shape kept, centred, bars of the picture's background colour
// on the sides or above and below. Every hot spot, text field, list row and the
// cursor go through this one mapping, for the clicks and for the drawing, so a
// click lands on what the player sees. At 640 x 480 it is the identity.
#pragma once

struct MenuView {
    int windowWidth = 640, windowHeight = 480;  // at least 1 each
    double scale = 1.0;                         // window pixels per menu pixel, above 0
    int left = 0, bottom = 0;                   // the picture's lower-left corner, window pixels, y up
};

// A point in menu pixels, y counted down from the picture's top edge as the
// desktop counts the cursor; outside 0..640 x 0..480 on the bars.
struct MenuPoint {
    double x, y;
};

// The fit for a window's client size; sides below 1 count as 1, so nothing
// divides by zero however small the window gets.
MenuView menuViewFor(int windowWidth, int windowHeight);

// A window pixel (y counted down from the top) in menu pixels.
MenuPoint menuPointAt(const MenuView& view, int windowX, int windowY);
// Whole menu pixels of a point's coordinate, as the hot spots are given
// (kept within an int however far off the picture).
int menuPixel(double v);

// The orthographic box that puts menu pixel (0, 0) at the picture's
// lower-left corner and covers the whole window: left, right, bottom, top.
void menuProjectionBox(const MenuView& view, double box[4]);

// The pages' font height in window pixels for a fit (16 at 640 x 480).
int menuFontHeight(const MenuView& view);
