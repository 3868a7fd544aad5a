#include "client/ui/menu_view.h"

#include <algorithm>
#include <cmath>

#include "client/ui/menu_layout.h"

namespace {
constexpr int PICTURE_WIDTH = 640, PICTURE_HEIGHT = 480;
}

MenuView menuViewFor(int windowWidth, int windowHeight) {
    MenuView v;
    v.windowWidth = std::max(1, windowWidth);
    v.windowHeight = std::max(1, windowHeight);
    v.scale = std::min(double(v.windowWidth) / PICTURE_WIDTH, double(v.windowHeight) / PICTURE_HEIGHT);
    // Whole-pixel bars, so at the picture's own size nothing moves by a fraction.
    int shownWidth = int(std::lround(PICTURE_WIDTH * v.scale));
    int shownHeight = int(std::lround(PICTURE_HEIGHT * v.scale));
    v.left = (v.windowWidth - shownWidth) / 2;
    v.bottom = (v.windowHeight - shownHeight) / 2;
    return v;
}

MenuPoint menuPointAt(const MenuView& v, int windowX, int windowY) {
    double up = double(v.windowHeight - windowY - v.bottom) / v.scale;
    return MenuPoint{double(windowX - v.left) / v.scale, PICTURE_HEIGHT - up};
}

int menuPixel(double v) { return int(std::floor(std::clamp(v, -1.0e6, 1.0e6))); }

void menuProjectionBox(const MenuView& v, double box[4]) {
    box[0] = -v.left / v.scale;
    box[1] = (v.windowWidth - v.left) / v.scale;
    box[2] = -v.bottom / v.scale;
    box[3] = (v.windowHeight - v.bottom) / v.scale;
}

int menuFontHeight(const MenuView& v) {
    // Legible or not, a tiny window still gets a font that can be built.
    return std::clamp(int(std::lround(MENU_FONT_HEIGHT * v.scale)), 4, 128);
}
