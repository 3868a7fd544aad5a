#include "sprites.h"

#include <algorithm>
#include <cmath>

#include "rng.h"

namespace {

constexpr float PI = 3.14159265358979f;
const Rgba INK = rgb(18, 16, 22);

struct Style {
    Rgba suit, boots, armour, helmet, visor, accent, gun;
    float shoulders;  // half width across the shoulders
    float stride;     // how far a foot swings ahead
};

const Style STYLES[FIGHTER_SKINS] = {
    // Runner: slim and quick, a light cap and a trailing scarf.
    {rgb(70, 170, 90), rgb(40, 55, 42), rgb(50, 120, 65), rgb(35, 95, 55), rgb(250, 220, 80),
     rgb(250, 205, 60), rgb(70, 75, 80), 0.28f, 0.27f},
    // Ranger: all-rounder with a round helmet, visor band and backpack.
    {rgb(228, 136, 48), rgb(70, 50, 35), rgb(205, 185, 135), rgb(195, 170, 115), rgb(90, 220, 240),
     rgb(110, 80, 50), rgb(60, 62, 68), 0.34f, 0.25f},
    // Gunner: broad armour, big shoulder pads and a heavy gun.
    {rgb(84, 98, 210), rgb(40, 42, 70), rgb(155, 165, 185), rgb(55, 60, 100), rgb(255, 70, 60),
     rgb(255, 190, 60), rgb(85, 88, 96), 0.40f, 0.20f},
};

// Every part is outlined in ink first, then filled with its lit colour.
void part(Canvas& c, const Frame& f, const Shape& s, Rgba colour, float outline = 0.028f) {
    fill(c, f, s, INK, outline);
    fillLit(c, f, s, colour);
}

void softShadow(Canvas& c, const Frame& f, float rx, float ry) {
    for (int i = 0; i < 5; ++i)
        fill(c, f, Ellipse(0.03f, -0.05f, rx, ry), {0, 0, 0, 0.07f}, 0.015f * float(i));
}

void drawGun(Canvas& c, const Frame& f, int skin, const Style& s) {
    const float x = -0.17f, muzzle = 0.62f;  // beams start at 0.7, a hair ahead
    if (skin == 0) {
        part(c, f, Box(x - 0.045f, 0.14f, x + 0.045f, muzzle, 0.015f), s.gun);
        fill(c, f, Box(x - 0.012f, 0.2f, x + 0.012f, muzzle - 0.05f), s.accent);
    } else if (skin == 1) {
        part(c, f, Box(x - 0.05f, 0.10f, x + 0.05f, muzzle, 0.015f), s.gun);
        part(c, f, Box(x + 0.04f, 0.26f, x + 0.11f, 0.46f, 0.02f), rgb(40, 42, 48), 0.02f);
        fill(c, f, Circle(x + 0.075f, 0.44f, 0.02f), s.visor);
    } else {
        part(c, f, Box(x - 0.085f, 0.02f, x + 0.085f, 0.5f, 0.03f), s.gun);
        for (int i = -1; i <= 1; ++i)
            part(c, f, Box(x + i * 0.05f - 0.022f, 0.45f, x + i * 0.05f + 0.022f, muzzle, 0.01f),
                 rgb(60, 62, 70), 0.018f);
        fill(c, f, Box(x - 0.06f, 0.16f, x + 0.06f, 0.2f), s.accent);
    }
}

void drawHead(Canvas& c, const Frame& f, int skin, const Style& s) {
    if (skin == 0) {
        part(c, f, Ellipse(0, 0.12f, 0.11f, 0.08f), s.helmet);  // cap's bill, ahead
        part(c, f, Circle(0, 0.0f, 0.145f), s.helmet);
        fill(c, f, Ellipse(0, 0.03f, 0.07f, 0.05f), scaled(s.helmet, 1.25f));
    } else if (skin == 1) {
        part(c, f, Circle(0, 0.0f, 0.16f), s.helmet);
        fill(c, f, Ellipse(0, 0.1f, 0.12f, 0.045f), INK);
        fill(c, f, Ellipse(0, 0.1f, 0.1f, 0.03f), s.visor);
    } else {
        part(c, f, Box(-0.17f, -0.15f, 0.17f, 0.15f, 0.08f), s.helmet);
        fill(c, f, Box(-0.11f, 0.08f, 0.11f, 0.12f, 0.02f), s.visor);
        fill(c, f, Box(-0.025f, -0.13f, 0.025f, 0.06f), scaled(s.helmet, 1.4f));
    }
}

}  // namespace

void drawFighter(Canvas& c, const Frame& body, int skin, float phase) {
    const Style& s = STYLES[skin];
    float swing = std::sin(2 * PI * phase);
    float sway = -6.0f * swing;
    // The figure is drawn large enough to fill its 0.7 collision radius; the
    // gun keeps the sprite's own units, so its muzzle sits where beams start.
    const float k = 1.4f;
    Frame big = body;
    big.scale *= k;
    softShadow(c, big, std::min(s.shoulders + 0.06f, 0.36f), 0.27f);

    // Feet swing ahead and behind in turn; the shoulders turn against them.
    float footX = 0.1f + s.shoulders * 0.15f;
    part(c, big, Ellipse(-footX, s.stride * swing, 0.07f, 0.12f), s.boots);
    part(c, big, Ellipse(footX, -s.stride * swing, 0.07f, 0.12f), s.boots);

    Frame torso = big.turned(sway);
    if (skin == 0) {
        float flap = 0.06f * std::sin(2 * PI * phase + 1.0f);
        part(c, torso, Capsule(0.04f, -0.08f, 0.1f + flap, -0.4f, 0.04f), s.accent);
    }
    if (skin == 1) part(c, torso, Box(-0.17f, -0.3f, 0.17f, -0.08f, 0.05f), s.accent);
    if (skin == 2) part(c, torso, Box(-0.2f, -0.28f, 0.2f, -0.06f, 0.04f), rgb(60, 64, 80));
    part(c, torso, Ellipse(0, -0.02f, s.shoulders, 0.18f), s.suit);
    fillLit(c, torso, Ellipse(0, -0.03f, s.shoulders * 0.62f, 0.12f), s.armour);
    if (skin == 2) {
        part(c, torso, Circle(-0.3f, 0.0f, 0.11f), s.armour);
        part(c, torso, Circle(0.3f, 0.0f, 0.11f), s.armour);
    }

    // Both hands on the gun, which stays aimed straight ahead.
    float sx = s.shoulders * 0.8f * k;
    part(c, body, Capsule(-sx, 0.04f, -0.22f, 0.24f, 0.07f), s.suit);
    part(c, body, Capsule(sx, 0.04f, -0.11f, 0.38f, 0.07f), s.suit);
    drawGun(c, body, skin, s);
    part(c, body, Circle(-0.21f, 0.24f, 0.062f), s.boots, 0.024f);
    part(c, body, Circle(-0.12f, 0.38f, 0.062f), s.boots, 0.024f);
    drawHead(c, torso, skin, s);
}

Canvas fighterAtlas(int skin) {
    Canvas c(ATLAS_CELL * 4, ATLAS_CELL * 4);
    for (int cell = 0; cell < 12; ++cell) {
        Frame f{(cell % 4 + 0.5f) * ATLAS_CELL, (cell / 4 + 0.5f) * ATLAS_CELL, ATLAS_CELL / 1.4f, 0};
        drawFighter(c, f, skin, cell / 12.0f);
    }
    return c;
}

namespace {

struct Splash {
    Blob puddle;
    struct Drop {
        float angle, speed, size;
    };
    Drop drops[18];
};

Splash makeSplash() {
    Rng rng(1234);
    Splash s;
    for (int i = 0; i < 10; ++i) {
        float a = rng.range(0, 2 * PI), r = i == 0 ? 0 : rng.range(0.08f, 0.3f);
        s.puddle.parts.emplace_back(r * std::cos(a), r * std::sin(a), rng.range(0.09f, 0.18f));
    }
    for (Splash::Drop& d : s.drops) d = {rng.range(0, 2 * PI), rng.range(0.3f, 0.52f), rng.range(0.025f, 0.06f)};
    return s;
}

}  // namespace

Canvas bloodAtlas() {
    const Rgba blood = rgb(160, 14, 20), dark = rgb(95, 6, 10), bright = rgb(235, 70, 70);
    Splash splash = makeSplash();
    Canvas c(ATLAS_CELL * 4, ATLAS_CELL * 4);
    for (int cell = 0; cell < 12; ++cell) {
        float t = cell / 11.0f;
        Frame f{(cell % 4 + 0.5f) * ATLAS_CELL, (cell / 4 + 0.5f) * ATLAS_CELL, ATLAS_CELL / 1.4f, 0};
        // First the body goes down: a dark heap shrinking into the pool.
        float fall = std::max(0.0f, 1 - t * 2.2f);
        if (fall > 0) {
            fill(c, f, Ellipse(0, -0.02f, 0.3f * (0.6f + 0.4f * fall), 0.2f), {0.2f, 0.05f, 0.06f, fall}, 0.02f);
            fill(c, f, Circle(0, 0.02f, 0.15f * (0.6f + 0.4f * fall)), {0.3f, 0.08f, 0.1f, fall});
        }
        // The pool spreads quickly, then settles.
        float grow = 1 - std::pow(1 - std::min(1.0f, t * 1.25f), 2.0f);
        Blob pool;
        pool.smoothness = 0.1f;
        for (const Circle& p : splash.puddle.parts)
            pool.parts.emplace_back(p.x * (0.4f + 0.6f * grow), p.y * (0.4f + 0.6f * grow), p.r * (0.3f + 0.7f * grow));
        fill(c, f, pool, {dark.r, dark.g, dark.b, 0.95f}, 0.02f);
        fillLit(c, f, pool, {blood.r, blood.g, blood.b, 0.92f});
        // Drops fly out, stretched along their path, and land as spots.
        float flight = std::min(1.0f, t / 0.45f);
        for (const Splash::Drop& d : splash.drops) {
            float dist = d.speed * (1 - (1 - flight) * (1 - flight));
            float x = dist * std::cos(d.angle), y = dist * std::sin(d.angle);
            float stretch = flight < 1 ? 2.2f : 1.0f;
            Ellipse drop(x, y, d.size, d.size * stretch, d.angle * 180 / PI - 90);
            fill(c, f, drop, dark, 0.012f);
            fillLit(c, f, drop, blood);
        }
        // A glossy glint once the pool lies still.
        if (t > 0.6f) {
            float a = (t - 0.6f) / 0.4f;
            fill(c, f, Ellipse(-0.1f, 0.1f, 0.06f, 0.03f, 30), {bright.r, bright.g, bright.b, 0.7f * a});
            fill(c, f, Circle(0.12f, -0.08f, 0.02f), {1, 0.6f, 0.6f, 0.6f * a});
        }
    }
    return c;
}

Canvas laserPicture() {
    // u runs across the beam, v along it; the beam is drawn without blending,
    // so the colour alone makes the glow.
    Canvas c(16, 64);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            float u = (x + 0.5f) / c.width - 0.5f;
            float v = (y + 0.5f) / c.height;
            float core = std::exp(-u * u / (2 * 0.07f * 0.07f));
            float glow = std::exp(-u * u / (2 * 0.2f * 0.2f));
            float pulse = 0.9f + 0.1f * std::sin(v * 2 * PI * 4);
            Rgba col = {0.05f + 0.35f * glow + 0.6f * core, 0.25f + 0.6f * glow * pulse + 0.15f * core,
                        0.45f + 0.55f * glow, std::min(1.0f, glow * 1.2f)};
            c.at(x, y) = col;
        }
    return c;
}

Canvas crossPicture() {
    // 16 x 16 with its hot point at the centre (between pixels 7 and 8): four
    // white ticks around a clear gap and a red dot, outlined so they show on
    // any floor or page.
    Canvas c(16, 16);
    const Rgba outline = {0.04f, 0.04f, 0.06f, 0.85f};
    auto rect = [&](int x0, int y0, int x1, int y1, Rgba col) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) c.at(x, y) = col;
    };
    const int arms[4][4] = {{7, 0, 8, 3}, {7, 12, 8, 15}, {0, 7, 3, 8}, {12, 7, 15, 8}};
    for (const auto& a : arms) rect(std::max(0, a[0] - 1), std::max(0, a[1] - 1), std::min(15, a[2] + 1), std::min(15, a[3] + 1), outline);
    rect(6, 6, 9, 9, outline);
    for (const auto& a : arms) rect(a[0], std::max(1, a[1]), a[2], std::min(14, a[3]), {1, 1, 1, 1});
    rect(7, 7, 8, 8, rgb(255, 60, 40));
    return c;
}
