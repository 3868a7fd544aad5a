#include "painters.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int SIZE = 256;

uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return h ^ (h >> 15);
}
float random01(int x, int y, uint32_t seed) { return float(hash(x, y, seed) & 0xffffff) / 16777216.0f; }

// Value noise on a lattice of `period` cells across the picture, so it tiles.
float noise(float x, float y, int period, uint32_t seed) {
    float fx = x * float(period) / SIZE, fy = y * float(period) / SIZE;
    int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    float tx = fx - float(x0), ty = fy - float(y0);
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto at = [&](int i, int j) { return random01((i % period + period) % period, (j % period + period) % period, seed); };
    float a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
    float b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
    return a + (b - a) * ty;
}

float fbm(float x, float y, int period, uint32_t seed) {
    float sum = 0, amp = 0.5f;
    for (int o = 0; o < 4; ++o, period *= 2, amp *= 0.5f) sum += amp * noise(x, y, period, seed + uint32_t(o));
    return sum / 0.9375f;
}

struct Colour {
    float r, g, b;
};
Colour mix(Colour a, Colour b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Colour scale(Colour c, float s) { return {c.r * s, c.g * s, c.b * s}; }

template <typename F>
void paint(Picture& p, F colourAt) {
    p.width = p.height = SIZE;
    p.rgb.resize(size_t(SIZE * SIZE * 3));
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x) {
            Colour c = colourAt(x, y);
            uint8_t* out = &p.rgb[size_t((y * SIZE + x) * 3)];
            out[0] = uint8_t(std::clamp(c.r, 0.0f, 1.0f) * 255.0f + 0.5f);
            out[1] = uint8_t(std::clamp(c.g, 0.0f, 1.0f) * 255.0f + 0.5f);
            out[2] = uint8_t(std::clamp(c.b, 0.0f, 1.0f) * 255.0f + 0.5f);
        }
}

// Distance in pixels to the nearest edge of a w x h block, for grout and bevels.
float edgeDistance(int x, int y, int w, int h) {
    int bx = x % w, by = y % h;
    return float(std::min(std::min(bx, w - 1 - bx), std::min(by, h - 1 - by)));
}

Colour tiles(int x, int y) {
    int tx = x / 64, ty = y / 64;
    float shade = 0.85f + 0.15f * random01(tx, ty, 7);
    float grain = fbm(float(x), float(y), 16, 11);
    Colour tile = scale(mix(Colour{0.72f, 0.68f, 0.60f}, Colour{0.60f, 0.62f, 0.64f}, random01(tx, ty, 8)), shade);
    tile = scale(tile, 0.85f + 0.3f * grain);
    float e = edgeDistance(x, y, 64, 64);
    if (e < 2.0f) return scale(Colour{0.30f, 0.29f, 0.27f}, 0.8f + 0.4f * grain);
    if (e < 5.0f) return scale(tile, 1.0f + 0.08f * (5.0f - e));  // bevelled rim
    return tile;
}

Colour bricks(int x, int y) {
    int row = y / 32;
    int bx = (x + (row % 2) * 32) % SIZE;
    int brick = bx / 64;
    float grain = fbm(float(x), float(y), 32, 21);
    Colour base = mix(Colour{0.55f, 0.27f, 0.18f}, Colour{0.45f, 0.32f, 0.25f}, random01(brick, row, 22));
    base = scale(base, 0.75f + 0.45f * grain);
    int inX = bx % 64, inY = y % 32;
    float e = float(std::min(std::min(inX, 63 - inX), std::min(inY, 31 - inY)));
    if (e < 3.0f) return scale(Colour{0.62f, 0.60f, 0.55f}, 0.7f + 0.4f * grain);
    if (inY < 5) return scale(base, 1.12f);  // light from above catches the top edge
    if (inY > 26) return scale(base, 0.85f);
    return base;
}

Colour crate(int x, int y) {
    float brushed = 0.9f + 0.1f * noise(float(x) * 0.25f, float(y) * 8.0f, 64, 31);
    Colour metal = scale(Colour{0.42f, 0.50f, 0.58f}, brushed);
    float e = edgeDistance(x, y, SIZE, SIZE);
    int d1 = std::abs(x - y), d2 = std::abs(x + y - (SIZE - 1));
    if (e < 18.0f || d1 < 10 || d2 < 10) metal = scale(Colour{0.55f, 0.58f, 0.52f}, brushed);
    if ((e >= 16.0f && e < 18.0f) || d1 == 10 || d2 == 10) metal = scale(metal, 0.55f);
    // Rivets in the frame.
    for (int i = 0; i < 4; ++i) {
        int rx = (i & 1) ? SIZE - 9 : 9, ry = (i & 2) ? SIZE - 9 : 9;
        float r = std::hypot(float(x - rx), float(y - ry));
        if (r < 4.5f) metal = scale(Colour{0.8f, 0.8f, 0.75f}, 1.0f - r / 9.0f);
    }
    float rust = fbm(float(x), float(y), 8, 33);
    return rust > 0.68f ? mix(metal, Colour{0.45f, 0.25f, 0.12f}, (rust - 0.68f) * 2.5f) : metal;
}

Colour plate(int x, int y) {
    float grain = 0.85f + 0.2f * fbm(float(x), float(y), 16, 41);
    Colour steel = scale(Colour{0.50f, 0.51f, 0.54f}, grain);
    // Diamond tread: raised lozenges on a 64-pixel lattice, alternating direction,
    // lit from one side so they read from far above.
    int cx = x % 64 - 32, cy = y % 64 - 32;
    bool flip = ((x / 64) + (y / 64)) % 2;
    float u = flip ? float(cx + cy) : float(cx - cy), v = flip ? float(cx - cy) : float(cx + cy);
    if (std::abs(u) < 30.0f && std::abs(v) < 7.0f) steel = scale(steel, v < 0 ? 1.45f : 0.65f);
    float e = edgeDistance(x, y, 128, 128);
    if (e < 2.0f) steel = scale(steel, 0.5f);  // plate seams
    return steel;
}

Colour gravel(int x, int y) {
    float big = fbm(float(x), float(y), 8, 51), small = noise(float(x), float(y), 128, 52);
    Colour c = mix(Colour{0.48f, 0.43f, 0.36f}, Colour{0.62f, 0.58f, 0.50f}, small);
    c = scale(c, 0.7f + 0.5f * big);
    if (random01(x / 3, y / 3, 53) > 0.93f) c = scale(c, 0.6f);
    return c;
}

Colour hedge(int x, int y) {
    float leaves = fbm(float(x), float(y), 32, 61), fine = noise(float(x), float(y), 128, 62);
    Colour c = mix(Colour{0.10f, 0.25f, 0.08f}, Colour{0.30f, 0.52f, 0.18f}, leaves * 0.7f + fine * 0.3f);
    if (fine > 0.8f) c = mix(c, Colour{0.55f, 0.70f, 0.30f}, (fine - 0.8f) * 4.0f);
    if (leaves < 0.3f) c = scale(c, 0.5f);
    return c;
}

}  // namespace

bool paintTexture(const std::string& painter, Picture& out) {
    if (painter == "tiles") paint(out, tiles);
    else if (painter == "bricks") paint(out, bricks);
    else if (painter == "crate") paint(out, crate);
    else if (painter == "plate") paint(out, plate);
    else if (painter == "gravel") paint(out, gravel);
    else if (painter == "hedge") paint(out, hedge);
    else return false;
    return true;
}
