// Saves an RGB frame as a PNG a person can open: stored (uncompressed) deflate
// blocks, so no library is needed. Rows are given bottom first, as GL reads them.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace png_detail {

inline uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

inline void chunk(FILE* f, const char* type, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> all(type, type + 4);
    all.insert(all.end(), body.begin(), body.end());
    std::vector<uint8_t> length;
    put32(length, uint32_t(body.size()));
    std::vector<uint8_t> crc;
    put32(crc, crc32(all.data(), all.size()));
    std::fwrite(length.data(), 1, 4, f);
    std::fwrite(all.data(), 1, all.size(), f);
    std::fwrite(crc.data(), 1, 4, f);
}

}  // namespace png_detail

inline bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgbBottomUp) {
    using namespace png_detail;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    std::fwrite(signature, 1, 8, f);
    std::vector<uint8_t> header;
    put32(header, uint32_t(width));
    put32(header, uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    chunk(f, "IHDR", header);
    std::vector<uint8_t> raw;
    size_t stride = size_t(width) * 3;
    for (int y = height - 1; y >= 0; --y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgbBottomUp.begin() + long(size_t(y) * stride),
                   rgbBottomUp.begin() + long(size_t(y + 1) * stride));
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size(); at += 65535) {
        size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(uint8_t(n & 0xff));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n & 0xff));
        z.push_back(uint8_t((~n >> 8) & 0xff));
        z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
    }
    put32(z, (b << 16) | a);
    chunk(f, "IDAT", z);
    chunk(f, "IEND", {});
    return std::fclose(f) == 0;
}
