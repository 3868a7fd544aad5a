#include "icon.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>

#include "menu.h"
#include "sprites.h"

namespace {

constexpr float PI = 3.14159265358979f;
const Rgba INK = rgb(14, 10, 26);
const Rgba BEAM_GLOW = rgb(60, 200, 255);
const Rgba BEAM_CORE = rgb(225, 250, 255);

// A straight stroke between two local points of `f`.
void stroke(Canvas& c, const Frame& f, float x0, float y0, float x1, float y1, float width,
            Rgba colour) {
    Frame mid = f.moved((x0 + x1) / 2, (y0 + y1) / 2);
    float hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
    fill(c, mid, Capsule(-hx, -hy, hx, hy, width / 2), colour);
}

// The tile: a rounded square of night sky over a neon floor grid, as in the menu.
void tile(Canvas& c, const Frame& f, int size) {
    const Box shape(-0.92f, -0.92f, 0.92f, 0.92f, 0.3f);
    fill(c, f, shape, INK, 0.05f);
    fillLit(c, f, shape, rgb(46, 28, 96));
    if (size < 48) return;
    const Rgba neon = rgb(255, 70, 200, 0.35f);
    float w = 1.6f / float(size) * 1.5f;
    for (int i = -2; i <= 2; ++i) {
        stroke(c, f, i * 0.3f, -0.75f, i * 0.3f, 0.75f, w, neon);
        stroke(c, f, -0.75f, i * 0.3f, 0.75f, i * 0.3f, w, neon);
    }
}

// The beam runs from (x, y) along `degrees` (0 faces up), ending inside the tile:
// a wide soft glow and a bright core.
void beam(Canvas& c, const Frame& f, float x, float y, float degrees, float length, float width) {
    float a = degrees * PI / 180.0f;
    float ex = x - std::sin(a) * length, ey = y + std::cos(a) * length;
    stroke(c, f, x, y, ex, ey, width * 3.0f, {BEAM_GLOW.r, BEAM_GLOW.g, BEAM_GLOW.b, 0.35f});
    stroke(c, f, x, y, ex, ey, width * 1.6f, {BEAM_GLOW.r, BEAM_GLOW.g, BEAM_GLOW.b, 0.8f});
    stroke(c, f, x, y, ex, ey, width * 0.7f, BEAM_CORE);
    fill(c, f.moved(ex, ey), Circle(0, 0, width * 1.6f), {BEAM_CORE.r, BEAM_CORE.g, BEAM_CORE.b, 0.9f});
}

bool makeFolders(const std::string& path) {
    for (size_t at = 1; at <= path.size(); ++at)
        if (at == path.size() || path[at] == '/')
            if (mkdir(path.substr(0, at).c_str(), 0755) != 0 && errno != EEXIST) return false;
    return true;
}

}  // namespace

Canvas iconPicture(int size) {
    Canvas c(size, size);
    Frame f{size / 2.0f, size / 2.0f, size / 2.0f, 0};
    tile(c, f, size);
    const float heading = -38.0f;  // towards the upper right
    if (size < 32) {
        // A fighter reads as a bright dot at this size.
        beam(c, f, -0.22f, -0.22f, heading, 0.85f, 0.12f);
        fill(c, f, Circle(-0.3f, -0.32f, 0.34f), INK, 0.08f);
        fillLit(c, f, Circle(-0.3f, -0.32f, 0.34f), rgb(240, 150, 50));
        return c;
    }
    // The Ranger seen from above, as in the match; the beam leaves its muzzle.
    Frame body = f.moved(-0.18f, -0.22f).turned(heading);
    body.scale *= 0.78f;
    float mx, my, px, py;
    body.toCanvas(-0.17f, 0.7f, px, py);
    f.toLocal(px, py, mx, my);
    beam(c, f, mx, my, heading, 0.72f, 0.045f + 1.2f / float(size));
    drawFighter(c, body, 1, 0.25f);
    return c;
}

bool writeDesktopPictures(const std::string& folder, const std::string& fontFolder) {
    bool ok = true;
    for (int size : ICON_SIZES) {
        std::string dir = folder + "/icons/hicolor/" + std::to_string(size) + "x" +
                          std::to_string(size) + "/apps";
        if (!makeFolders(dir) || !writePng(iconPicture(size), dir + "/blastavia.png", 4)) {
            std::fprintf(stderr, "assetgen: cannot write %s/blastavia.png\n", dir.c_str());
            ok = false;
        }
    }
    std::string shots = folder + "/screenshots";
    if (!makeFolders(shots) || !writeMenuScreenshot(shots + "/fighters.png", fontFolder)) {
        std::fprintf(stderr, "assetgen: cannot write %s/fighters.png\n", shots.c_str());
        ok = false;
    }
    return ok;
}
