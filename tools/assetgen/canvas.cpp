#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "png.h"

namespace {
constexpr float PI = 3.14159265358979f;
float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
uint8_t byte(float v) { return uint8_t(std::lround(clamp01(v) * 255.0f)); }
}  // namespace

Rgba mix(Rgba x, Rgba y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
            x.a + (y.a - x.a) * t};
}

Rgba scaled(Rgba c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

Canvas::Canvas(int w, int h, Rgba fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}

void Canvas::blend(int x, int y, Rgba c, float coverage) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    float a = clamp01(c.a * coverage);
    if (a <= 0) return;
    Rgba& d = at(x, y);
    float outA = a + d.a * (1 - a);
    if (outA <= 0) return;
    d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
    d.a = outA;
}

void Canvas::additive(int x, int y, Rgba c, float amount) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    Rgba& d = at(x, y);
    d.r += c.r * amount;
    d.g += c.g * amount;
    d.b += c.b * amount;
}

void Canvas::draw(const Canvas& src, int x, int y) {
    for (int j = 0; j < src.height; ++j)
        for (int i = 0; i < src.width; ++i) {
            const Rgba& s = src.pixels[size_t(j) * src.width + i];
            blend(x + i, y + j, s, 1.0f);
        }
}

bool writeTga(const Canvas& c, const std::string& path, int bitsPerPixel) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    unsigned char header[18] = {};
    header[2] = 2;  // uncompressed true colour
    header[12] = uint8_t(c.width & 0xFF);
    header[13] = uint8_t(c.width >> 8);
    header[14] = uint8_t(c.height & 0xFF);
    header[15] = uint8_t(c.height >> 8);
    header[16] = uint8_t(bitsPerPixel);
    header[17] = bitsPerPixel == 32 ? 8 : 0;  // alpha bits; origin bottom-left
    std::fwrite(header, 1, sizeof header, f);
    int step = bitsPerPixel / 8;
    std::vector<unsigned char> row(size_t(c.width) * step);
    for (int y = c.height - 1; y >= 0; --y) {
        for (int x = 0; x < c.width; ++x) {
            const Rgba& p = c.pixels[size_t(y) * c.width + x];
            unsigned char* o = &row[size_t(x) * step];
            o[0] = byte(p.b);
            o[1] = byte(p.g);
            o[2] = byte(p.r);
            if (step == 4) o[3] = byte(p.a);
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

bool writePng(const Canvas& c, const std::string& path, int channels) {
    std::vector<uint8_t> rows;
    rows.reserve(c.pixels.size() * size_t(channels));
    for (const Rgba& p : c.pixels) {
        for (float v : {p.r, p.g, p.b}) rows.push_back(byte(v));
        if (channels == 4) rows.push_back(byte(p.a));
    }
    return writePngRows(path, c.width, c.height, channels, rows);
}

void blur(Canvas& c, int radius, int passes) {
    std::vector<Rgba> tmp(c.pixels.size());
    auto pass = [&](bool horizontal) {
        int n = horizontal ? c.width : c.height;
        int lines = horizontal ? c.height : c.width;
        for (int l = 0; l < lines; ++l)
            for (int i = 0; i < n; ++i) {
                Rgba sum{0, 0, 0, 0};
                int count = 0;
                for (int k = std::max(0, i - radius); k <= std::min(n - 1, i + radius); ++k) {
                    const Rgba& p = horizontal ? c.at(k, l) : c.at(l, k);
                    sum.r += p.r * p.a;
                    sum.g += p.g * p.a;
                    sum.b += p.b * p.a;
                    sum.a += p.a;
                    ++count;
                }
                Rgba out{0, 0, 0, sum.a / count};
                if (sum.a > 0) out = {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / count};
                tmp[horizontal ? size_t(l) * c.width + i : size_t(i) * c.width + l] = out;
            }
        c.pixels.swap(tmp);
    };
    for (int p = 0; p < passes; ++p) {
        pass(true);
        pass(false);
    }
}

Frame Frame::moved(float x, float y) const {
    Frame f = *this;
    toCanvas(x, y, f.cx, f.cy);
    return f;
}

Frame Frame::turned(float d) const {
    Frame f = *this;
    f.degrees += d;
    return f;
}

void Frame::toLocal(float px, float py, float& x, float& y) const {
    float dx = (px - cx) / scale, dy = (cy - py) / scale;
    float a = -degrees * PI / 180.0f;
    x = dx * std::cos(a) - dy * std::sin(a);
    y = dx * std::sin(a) + dy * std::cos(a);
}

void Frame::toCanvas(float x, float y, float& px, float& py) const {
    float a = degrees * PI / 180.0f;
    float rx = x * std::cos(a) - y * std::sin(a);
    float ry = x * std::sin(a) + y * std::cos(a);
    px = cx + rx * scale;
    py = cy - ry * scale;
}

namespace {

template <typename ColourAt>
void paintShape(Canvas& c, const Frame& f, const Shape& s, float grow, ColourAt colourAt) {
    float reachPx = (s.reach() + grow) * f.scale + 2;
    int x0 = std::max(0, int(std::floor(f.cx - reachPx)));
    int x1 = std::min(c.width - 1, int(std::ceil(f.cx + reachPx)));
    int y0 = std::max(0, int(std::floor(f.cy - reachPx)));
    int y1 = std::min(c.height - 1, int(std::ceil(f.cy + reachPx)));
    for (int py = y0; py <= y1; ++py)
        for (int px = x0; px <= x1; ++px) {
            float x, y;
            f.toLocal(px + 0.5f, py + 0.5f, x, y);
            float d = (s.distance(x, y) - grow) * f.scale;
            float coverage = clamp01(0.5f - d);
            if (coverage > 0) c.blend(px, py, colourAt(x, y, d / f.scale), coverage);
        }
}

}  // namespace

void fill(Canvas& c, const Frame& f, const Shape& s, Rgba colour, float grow) {
    paintShape(c, f, s, grow, [&](float, float, float) { return colour; });
}

void fillLit(Canvas& c, const Frame& f, const Shape& s, Rgba colour, float grow) {
    // Depth below the rim approximates a dome; the light comes from the front-left.
    paintShape(c, f, s, grow, [&](float x, float y, float d) {
        float depth = clamp01(-d / 0.08f);
        const float e = 0.01f;
        float gx = s.distance(x + e, y) - s.distance(x - e, y);
        float gy = s.distance(x, y + e) - s.distance(x, y - e);
        float len = std::sqrt(gx * gx + gy * gy);
        float facing = len > 0 ? (gx * -0.6f + gy * 0.8f) / len : 0;
        float shade = (0.72f + 0.28f * std::sqrt(depth)) * (1 + 0.3f * facing * (1 - depth));
        return scaled(colour, shade);
    });
}

float Circle::distance(float px, float py) const { return std::hypot(px - x, py - y) - r; }
float Circle::reach() const { return std::hypot(x, y) + r; }

float Ellipse::distance(float px, float py) const {
    float a = -degrees * PI / 180.0f;
    float dx = px - x, dy = py - y;
    float lx = dx * std::cos(a) - dy * std::sin(a);
    float ly = dx * std::sin(a) + dy * std::cos(a);
    float k = std::hypot(lx / rx, ly / ry);
    return (k - 1) * std::min(rx, ry);
}
float Ellipse::reach() const { return std::hypot(x, y) + std::max(rx, ry); }

float Capsule::distance(float px, float py) const {
    float vx = bx - ax, vy = by - ay;
    float wx = px - ax, wy = py - ay;
    float len2 = vx * vx + vy * vy;
    float t = len2 > 0 ? clamp01((wx * vx + wy * vy) / len2) : 0;
    return std::hypot(wx - vx * t, wy - vy * t) - r;
}
float Capsule::reach() const {
    return std::max(std::hypot(ax, ay), std::hypot(bx, by)) + r;
}

float Box::distance(float px, float py) const {
    float hx = (x1 - x0) * 0.5f - r, hy = (y1 - y0) * 0.5f - r;
    float qx = std::fabs(px - (x0 + x1) * 0.5f) - hx;
    float qy = std::fabs(py - (y0 + y1) * 0.5f) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - r;
}
float Box::reach() const {
    return std::max(std::max(std::hypot(x0, y0), std::hypot(x1, y1)),
                    std::max(std::hypot(x0, y1), std::hypot(x1, y0)));
}

float Blob::distance(float px, float py) const {
    float d = 1e9f;
    for (const Circle& c : parts) {
        float e = c.distance(px, py);
        // Polynomial smooth minimum: parts melt into each other.
        float h = clamp01(0.5f + 0.5f * (e - d) / smoothness);
        d = e + (d - e) * h - smoothness * h * (1 - h);
    }
    return d;
}
float Blob::reach() const {
    float r = 0;
    for (const Circle& c : parts) r = std::max(r, c.reach());
    return r + smoothness;
}
