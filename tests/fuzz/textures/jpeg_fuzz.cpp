// Fuzz entry for the JPEG reader: the input is the whole file, handed to the
// same stream reader loadJpeg uses.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "client/assets/texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // fmemopen takes no empty buffer; the unit tests cover empty files
    std::vector<uint8_t> copy(data, data + size);
    FILE* f = fmemopen(copy.data(), copy.size(), "rb");
    if (!f) return 0;
    Image image;
    if (readJpeg(f, image)) {
        if (image.bitsPerPixel != 24 || image.width <= 0 || image.height <= 0) __builtin_trap();
        size_t bytes = size_t(image.width) * image.height * 3;
        volatile uint8_t last = image.pixels[bytes - 1];
        (void)last;
        freeImage(image);
    }
    std::fclose(f);
    return 0;
}
