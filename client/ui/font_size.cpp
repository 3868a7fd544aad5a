#include <algorithm>

#include "client/ui/font.h"

int matchFontHeight(int windowHeight) {
    // 18 x max(1, height / 768) in whole pixels; a very tall window stops at
    // four times the size rather than building glyphs by the hundred pixels.
    int lines = std::clamp(windowHeight, 768, 4 * 768);
    return 18 * lines / 768;
}
