// A floating-point RGBA picture that the generator paints into, with
// anti-aliased shapes given as signed distances, and Targa and PNG output.
// Row 0 of a Canvas is the top of the picture; writeTga stores it bottom-up.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

inline Rgba rgb(int r, int g, int b, float a = 1.0f) {
    return {r / 255.0f, g / 255.0f, b / 255.0f, a};
}
Rgba mix(Rgba x, Rgba y, float t);
Rgba scaled(Rgba c, float k);  // brightness, alpha kept

struct Canvas {
    int width = 0, height = 0;
    std::vector<Rgba> pixels;  // straight (not premultiplied) colour

    Canvas(int w, int h, Rgba fill = {0, 0, 0, 0});
    Rgba& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    // Composites `c` over the pixel with the extra coverage factor.
    void blend(int x, int y, Rgba c, float coverage);
    void additive(int x, int y, Rgba c, float amount);
    // Copies `src` with its top-left at (x, y), composited over.
    void draw(const Canvas& src, int x, int y);
};

// Stored bottom row first, as the game's loaders and glDrawPixels expect.
bool writeTga(const Canvas& c, const std::string& path, int bitsPerPixel);
// For the desktop (icons, the catalogue's screenshot): 3 (RGB) or 4 (RGBA) channels.
bool writePng(const Canvas& c, const std::string& path, int channels);

// Softens the alpha/colour of a canvas: `passes` box blurs of radius r.
void blur(Canvas& c, int radius, int passes);

// A local frame for painting shapes in their own units: (x, y) with y up,
// mapped to canvas pixels around (cx, cy) at `scale` pixels per unit,
// turned by `degrees` counter-clockwise.
struct Frame {
    float cx = 0, cy = 0, scale = 1, degrees = 0;
    Frame moved(float x, float y) const;     // origin moved by local (x, y)
    Frame turned(float degrees) const;
    void toLocal(float px, float py, float& x, float& y) const;
    void toCanvas(float x, float y, float& px, float& py) const;
};

// A signed distance in local units (negative inside) and the colour there.
struct Shape {
    virtual ~Shape() = default;
    virtual float distance(float x, float y) const = 0;
    virtual float reach() const = 0;  // bounding radius around the frame origin
};

// Fills the shape, optionally grown by `grow` units (outlines, shadows).
void fill(Canvas& c, const Frame& f, const Shape& s, Rgba colour, float grow = 0);
// Fills with a colour that varies over the shape: base colour lit from the
// front-left like a dome, darker at the rim.
void fillLit(Canvas& c, const Frame& f, const Shape& s, Rgba colour, float grow = 0);

struct Circle : Shape {
    float x, y, r;
    Circle(float x, float y, float r) : x(x), y(y), r(r) {}
    float distance(float px, float py) const override;
    float reach() const override;
};

struct Ellipse : Shape {
    float x, y, rx, ry, degrees;
    Ellipse(float x, float y, float rx, float ry, float degrees = 0)
        : x(x), y(y), rx(rx), ry(ry), degrees(degrees) {}
    float distance(float px, float py) const override;
    float reach() const override;
};

struct Capsule : Shape {
    float ax, ay, bx, by, r;
    Capsule(float ax, float ay, float bx, float by, float r) : ax(ax), ay(ay), bx(bx), by(by), r(r) {}
    float distance(float px, float py) const override;
    float reach() const override;
};

struct Box : Shape {  // axis-aligned in its frame, rounded corners of radius r
    float x0, y0, x1, y1, r;
    Box(float x0, float y0, float x1, float y1, float r = 0) : x0(x0), y0(y0), x1(x1), y1(y1), r(r) {}
    float distance(float px, float py) const override;
    float reach() const override;
};

// A soft union of circles: organic blobs (blood, puddles).
struct Blob : Shape {
    std::vector<Circle> parts;
    float smoothness = 0.08f;
    float distance(float px, float py) const override;
    float reach() const override;
};
