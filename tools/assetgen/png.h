// PNG output without a library: stored (uncompressed) deflate blocks, so the
// files are larger than they need be but every viewer and icon theme reads
// them. Shared by assetgen (icons) and the tests (pictures a person can open).
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

// A zlib stream of stored blocks (at most 65535 bytes each) with its Adler-32;
// `raw` is never empty (every row starts with its filter byte).
inline std::vector<uint8_t> storedZlib(const std::vector<uint8_t>& raw) {
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
    return z;
}

}  // namespace png_detail

// `channels` 3 (RGB) or 4 (RGBA, straight alpha); `rows` holds height rows of
// width * channels bytes, the top row first.
inline bool writePngRows(const std::string& path, int width, int height, int channels,
                         const std::vector<uint8_t>& rows) {
    using namespace png_detail;
    if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) ||
        rows.size() != size_t(width) * size_t(height) * size_t(channels))
        return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    std::fwrite(signature, 1, 8, f);
    std::vector<uint8_t> header;
    put32(header, uint32_t(width));
    put32(header, uint32_t(height));
    header.insert(header.end(), {8, uint8_t(channels == 4 ? 6 : 2), 0, 0, 0});
    chunk(f, "IHDR", header);
    std::vector<uint8_t> raw;
    size_t stride = size_t(width) * size_t(channels);
    raw.reserve((stride + 1) * size_t(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter type: none
        raw.insert(raw.end(), rows.begin() + long(size_t(y) * stride),
                   rows.begin() + long(size_t(y + 1) * stride));
    }
    chunk(f, "IDAT", storedZlib(raw));
    chunk(f, "IEND", {});
    return std::fclose(f) == 0;
}
