#include "platform/font.h"

#include "platform/system.h"

#include <GL/gl.h>
#include <SDL_ttf.h>

#include <string>
#include <vector>

namespace platform {

namespace {

// One glyph as a glBitmap: 1 bit per pixel, rows from the bottom up, the
// origin on the baseline at the pen position.
void compileGlyph(TTF_Font* font, uint32_t code, uint32_t list) {
    glNewList(list, GL_COMPILE);
    int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
    if (code >= 32 && TTF_GlyphIsProvided32(font, code) &&
        TTF_GlyphMetrics32(font, code, &minX, &maxX, &minY, &maxY, &advance) == 0) {
        SDL_Color white = {255, 255, 255, 255};
        SDL_Surface* glyph = TTF_RenderGlyph32_Blended(font, code, white);
        SDL_Surface* rgba = glyph ? SDL_ConvertSurfaceFormat(glyph, SDL_PIXELFORMAT_RGBA32, 0) : nullptr;
        if (rgba && rgba->w > 0 && rgba->h > 0) {
            int rowBytes = (rgba->w + 7) / 8;
            std::vector<GLubyte> bits(size_t(rowBytes) * size_t(rgba->h), 0);
            SDL_LockSurface(rgba);
            for (int y = 0; y < rgba->h; ++y) {
                const uint8_t* row = static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch;
                GLubyte* out = &bits[size_t(rgba->h - 1 - y) * size_t(rowBytes)];
                for (int x = 0; x < rgba->w; ++x)
                    if (row[x * 4 + 3] >= 128) out[x / 8] |= GLubyte(0x80 >> (x % 8));
            }
            SDL_UnlockSurface(rgba);
            // The rendered surface spans the font's whole line, ascent at the top.
            float below = float(rgba->h - TTF_FontAscent(font));
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glBitmap(rgba->w, rgba->h, 0.0f, below, float(advance), 0.0f, bits.data());
        } else {
            glBitmap(0, 0, 0.0f, 0.0f, float(advance), 0.0f, nullptr);
        }
        SDL_FreeSurface(rgba);
        SDL_FreeSurface(glyph);
    }
    glEndList();
}

// A byte's character as a Windows font with the ANSI character set draws it:
// Latin-1, except 0x80..0x9F, which hold typographic marks (0x97 the dash).
uint32_t ansiCharacter(uint32_t code) {
    static const uint16_t HIGH_CONTROLS[32] = {
        0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
        0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
    if (code < 0x80 || code > 0x9F) return code;
    return HIGH_CONTROLS[code - 0x80] ? HIGH_CONTROLS[code - 0x80] : code;
}

}  // namespace

bool buildFontLists(const char* face, int pixelHeight, int weight, uint32_t listBase, int first,
                    int count) {
    if (!TTF_WasInit() && TTF_Init() != 0) return false;
    std::string file = sys::fontFile(face, weight);
    TTF_Font* font = file.empty() ? nullptr : TTF_OpenFont(file.c_str(), pixelHeight);
    if (!font) return false;
    if (weight >= 600) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
    // Grey edges become whole pixels or nothing: bitmaps have one bit.
    TTF_SetFontHinting(font, TTF_HINTING_MONO);
    for (int i = 0; i < count; ++i)
        compileGlyph(font, ansiCharacter(uint32_t(first + i)), listBase + uint32_t(first + i));
    TTF_CloseFont(font);
    return true;
}

}  // namespace platform
