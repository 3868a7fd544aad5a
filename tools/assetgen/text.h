// Text painted into a Canvas with SDL2_ttf: a filled face with a vertical
// colour gradient, an optional outline and an optional soft glow.
#pragma once
#include <string>

#include "canvas.h"

enum class Align { Left, Centre, Right };

struct TextStyle {
    std::string font;                 // path of a TrueType file
    int size = 20;                    // pixels
    Rgba top{1, 1, 1, 1}, bottom{1, 1, 1, 1};
    int outline = 0;                  // pixels of outline, 0 for none
    Rgba outlineColour{0, 0, 0, 1};
    int glow = 0;                     // blur radius of the glow, 0 for none
    Rgba glowColour{0, 0, 0, 0};
};

bool startText();
void stopText();
// Paints `text` with its top edge at y and x at the aligned edge; returns its width.
int drawText(Canvas& c, const TextStyle& style, const std::string& text, int x, int y, Align align);
