#include "text.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <cstdio>

namespace {

// The glyphs' coverage as an alpha-only canvas, or an empty one.
Canvas mask(TTF_Font* font, const std::string& text) {
    SDL_Color white = {255, 255, 255, 255};
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text.c_str(), white);
    if (!rendered) return Canvas(0, 0);
    SDL_Surface* s = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!s) return Canvas(0, 0);
    Canvas m(s->w, s->h);
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < s->w; ++x) m.at(x, y) = {1, 1, 1, (row[x] >> 24) / 255.0f};
    }
    SDL_UnlockSurface(s);
    SDL_FreeSurface(s);
    return m;
}

void paintMask(Canvas& c, const Canvas& m, int x0, int y0, Rgba top, Rgba bottom, int span, int spanTop) {
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            float a = m.pixels[size_t(y) * m.width + x].a;
            if (a <= 0) continue;
            float t = span > 0 ? float(y0 + y - spanTop) / span : 0;
            t = t < 0 ? 0 : (t > 1 ? 1 : t);
            c.blend(x0 + x, y0 + y, mix(top, bottom, t), a);
        }
}

}  // namespace

bool startText() {
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "assetgen: %s\n", TTF_GetError());
        return false;
    }
    return true;
}

void stopText() { TTF_Quit(); }

int drawText(Canvas& c, const TextStyle& st, const std::string& text, int x, int y, Align align) {
    TTF_Font* font = TTF_OpenFont(st.font.c_str(), st.size);
    if (!font) {
        std::fprintf(stderr, "assetgen: %s\n", TTF_GetError());
        return 0;
    }
    Canvas face = mask(font, text);
    int left = x;
    if (align == Align::Centre) left = x - face.width / 2;
    if (align == Align::Right) left = x - face.width;
    if (st.outline > 0 || st.glow > 0) {
        TTF_SetFontOutline(font, st.outline > 0 ? st.outline : 1);
        Canvas ring = mask(font, text);
        int off = st.outline > 0 ? st.outline : 1;
        if (st.glow > 0) {
            int pad = st.glow * 3;
            Canvas halo(ring.width + 2 * pad, ring.height + 2 * pad);
            halo.draw(ring, pad, pad);
            blur(halo, st.glow, 3);
            for (int j = 0; j < halo.height; ++j)
                for (int i = 0; i < halo.width; ++i)
                    c.additive(left - off - pad + i, y - off - pad + j, st.glowColour,
                               halo.at(i, j).a * st.glowColour.a);
        }
        if (st.outline > 0) paintMask(c, ring, left - off, y - off, st.outlineColour, st.outlineColour, 0, 0);
    }
    paintMask(c, face, left, y, st.top, st.bottom, face.height, y);
    TTF_CloseFont(font);
    return face.width;
}
