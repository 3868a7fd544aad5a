#include "client/ui/screenshot.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstring>
#include <vector>

#include "client/core/records.h"

void screenshotHeader(int width, int height, unsigned char header[18]) {
    std::memset(header, 0, 18);
    header[2] = 2;  // uncompressed true colour
    header[12] = static_cast<unsigned char>(width % 256);
    header[13] = static_cast<unsigned char>(width / 256);
    header[14] = static_cast<unsigned char>(height % 256);
    header[15] = static_cast<unsigned char>(height / 256);
    header[16] = 24;
    header[17] = 0x20;  // top-left origin, no alpha bits
}

namespace {

bool fileExists(const char* name) {
    FILE* probe = std::fopen(name, "rb");
    if (!probe) return false;
    std::fclose(probe);
    return true;
}

}  // namespace

bool takeScreenshot(const char* prefix) {
    const int width = glWindow.width;
    const int height = glWindow.height;
    std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 3);

    // The lowest number not taken, so gaps left by deleted shots fill first.
    char name[512];
    int n = 0;
    do {
        std::snprintf(name, sizeof name, "%s%i%s", prefix, n++, ".tga");
    } while (fileExists(name));

    FILE* out = std::fopen(name, "wb");
    if (!out) return false;  // a read-only folder just means no shot
    unsigned char header[18];
    screenshotHeader(width, height, header);
    std::fwrite(header, 1, sizeof header, out);

    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    // GL gives the bottom row first; the file starts at the top, in BGR.
    std::vector<unsigned char> row(size_t(width) * 3);
    for (int y = height - 1; y >= 0; --y) {
        const unsigned char* src = pixels.data() + size_t(y) * size_t(width) * 3;
        for (int x = 0; x < width; ++x) {
            row[size_t(x) * 3 + 0] = src[x * 3 + 2];
            row[size_t(x) * 3 + 1] = src[x * 3 + 1];
            row[size_t(x) * 3 + 2] = src[x * 3 + 0];
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    std::fclose(out);
    return true;
}
