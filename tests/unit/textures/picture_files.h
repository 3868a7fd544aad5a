// Small Targa and JPEG files written on the fly for the reader tests, each in
// a fresh folder of its own under the system's temporary directory.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

std::string scratchPath(const std::string& name);
void writeFile(const std::string& path, const Bytes& bytes);

// A Targa header of the given type and size followed by `pixels` as stored.
Bytes tgaFile(int type, int width, int height, int bits, const Bytes& pixels, const Bytes& id = {});

// A JPEG of `components` (1 grey, 3 RGB, 4 CMYK) painted by `paint`, which
// fills one pixel's components; the first row painted is the picture's top.
using Painter = std::function<void(int x, int y, uint8_t* pixel)>;
Bytes jpegFile(int width, int height, int components, const Painter& paint, bool progressive = false);
