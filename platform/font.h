// Bitmap-font display lists from a system font (fontconfig match, SDL2_ttf
// glyphs as glBitmaps). The caller owns the lists; the font is closed at once.
#pragma once
#include <cstdint>

namespace platform {

// Fills the display lists listBase + first .. listBase + first + count - 1
// with the glyphs of character codes first.. (Latin-1). Codes without a glyph
// get an empty list: they draw nothing and advance nothing. Needs a current
// GL context; pixelHeight is the character (em) height. False if no font
// could be opened, in which case every list is left empty.
bool buildFontLists(const char* face, int pixelHeight, int weight, uint32_t listBase, int first,
                    int count);

}  // namespace platform
