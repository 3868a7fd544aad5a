// Fuzz entry for the Targa reader: the input is the whole file, handed to the
// same stream reader loadTga uses.
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
    if (readTga(f, image)) {
        // Touch the last byte the header promised.
        size_t bytes = size_t(image.width) * image.height * (image.bitsPerPixel / 8);
        volatile uint8_t last = image.pixels[bytes - 1];
        (void)last;
        freeImage(image);
    }
    std::fclose(f);
    return 0;
}
