// The menu pages' text and boxes in the screen's bitmap font, in the menu's
// 640 x 480 window space that drawMenuPicture sets up; shared by the pages
// drawn over their pictures (Servers, Options, Replays).
#pragma once
#include <string>

#include "client/ui/menu_layout.h"

namespace menudraw {

struct Colour {
    float r, g, b;
};
constexpr Colour WHITE{1.0f, 1.0f, 1.0f};
constexpr Colour DIM{0.62f, 0.64f, 0.80f};
constexpr Colour GOLD{1.0f, 0.84f, 0.40f};
constexpr Colour CYAN{0.55f, 0.88f, 1.0f};
constexpr Colour GREEN{0.55f, 0.95f, 0.55f};
constexpr Colour ORANGE{1.0f, 0.62f, 0.30f};

int baselineIn(const MenuRect& box);
int textWidth(const char* text);
void drawText(int x, int baseline, const Colour& c, const char* text);
void drawCentred(const MenuRect& box, const Colour& c, const char* text);
void fillRect(const MenuRect& r, float red, float green, float blue, float alpha);
std::string fitted(const std::string& text, int columnWidth);

}  // namespace menudraw
