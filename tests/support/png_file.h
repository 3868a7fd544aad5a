// Saves an RGB frame as a PNG a person can open. Rows are given bottom first,
// as GL reads them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/png.h"

inline bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgbBottomUp) {
    size_t stride = size_t(width) * 3;
    if (width <= 0 || height <= 0 || rgbBottomUp.size() < stride * size_t(height)) return false;
    std::vector<uint8_t> rows;
    rows.reserve(stride * size_t(height));
    for (int y = height - 1; y >= 0; --y)
        rows.insert(rows.end(), rgbBottomUp.begin() + long(size_t(y) * stride),
                    rgbBottomUp.begin() + long(size_t(y + 1) * stride));
    return writePngRows(path, width, height, 3, rows);
}
