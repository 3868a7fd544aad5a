#include <cstdlib>

#include "client/assets/texture.h"

void freeImage(Image& image) {
    std::free(image.pixels);
    image.pixels = nullptr;
}

namespace {

long remainingBytes(FILE* f) {
    long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return -1;
    long end = std::ftell(f);
    if (end < 0 || std::fseek(f, here, SEEK_SET) != 0) return -1;
    return end - here;
}

}  // namespace

bool readTga(FILE* f, Image& image) {
    unsigned char header[18];
    if (std::fread(header, 1, sizeof header, f) != sizeof header || header[2] != 2) return false;
    int width = header[12] | (header[13] << 8);
    int height = header[14] | (header[15] << 8);
    int bits = header[16];
    if ((bits != 24 && bits != 32) || width == 0 || height == 0) return false;
    // Skip the identification field, so files from other painters load too.
    if (header[0] != 0 && std::fseek(f, header[0], SEEK_CUR) != 0) return false;
    // The pixels must be in the file: a short file fails before any allocation.
    size_t bytes = size_t(width) * size_t(height) * size_t(bits / 8);
    long left = remainingBytes(f);
    if (left < 0 || size_t(left) < bytes) return false;
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(bytes));
    if (!pixels) return false;
    if (std::fread(pixels, 1, bytes, f) != bytes) {
        std::free(pixels);
        return false;
    }
    // The file holds blue, green, red (alpha); GL wants red first.
    size_t step = size_t(bits / 8);
    for (size_t i = 0; i < bytes; i += step) {
        unsigned char b = pixels[i];
        pixels[i] = pixels[i + 2];
        pixels[i + 2] = b;
    }
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bits;
    image.pixels = pixels;
    return true;
}

bool loadTga(const char* path, Image& image) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    bool ok = readTga(f, image);
    std::fclose(f);
    return ok;
}
