// Targa and JPEG pictures, and mipmapped GL textures made from them.
// An Image owns its pixel buffer (heap, released with freeImage); loadTexture
// needs the main thread's GL context and leaves the new texture bound.
#pragma once
#include <cstdint>
#include <cstdio>

struct Image {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;        // 24: RGB, 32: RGBA
    unsigned char* pixels = nullptr; // rows in file order, row 0 first, no padding
};

void freeImage(Image& image);

// Texture flags for loadTexture.
constexpr int TEXTURE_TRILINEAR = 1;  // GL_LINEAR_MIPMAP_LINEAR instead of ..._NEAREST
constexpr int TEXTURE_REPEAT = 2;     // GL_REPEAT instead of GL_CLAMP

// Largest JPEG side we decode: far beyond any texture, small enough that a
// hostile header cannot make us allocate gigabytes.
constexpr int MAX_JPEG_SIDE = 8192;

// Uncompressed true-colour Targa (type 2) of 24 or 32 bits, converted to RGB(A).
// Rows come in file order (a usual bottom-up Targa comes out upright in GL).
bool loadTga(const char* path, Image& image);
// Any JPEG, decoded to 24-bit RGB (first decoded row, the top, is row 0).
// A corrupt or truncated file fails the load; it never ends the process.
bool loadJpeg(const char* path, Image& image);

// The same readers over an open stream positioned at the file's start; the
// caller keeps and closes the stream. The path readers above use these.
bool readTga(FILE* file, Image& image);
bool readJpeg(FILE* file, Image& image);

// A new GL texture from a path containing ".tga" or ".jpg" (case-sensitive),
// or -1 when the file cannot be read.
int loadTexture(const char* path, int flags);
