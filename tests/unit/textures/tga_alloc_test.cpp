// A Targa header can promise up to 65535 x 65535 x 4 bytes: the reader must
// notice the file is too short before it asks for that memory. The link wraps
// malloc (-Wl,--wrap=malloc) for this program's own objects, the reader among
// them, so the largest request is seen without replacing the C library's
// malloc (which AddressSanitizer owns in the sanitizer build).
#include <gtest/gtest.h>

#include <cstdlib>

#include "client/assets/texture.h"
#include "picture_files.h"

namespace {
size_t largestRequest = 0;
}

extern "C" void* __real_malloc(size_t size);

extern "C" void* __wrap_malloc(size_t size) {
    if (size > largestRequest) largestRequest = size;
    return __real_malloc(size);
}

namespace {

TEST(LoadTgaAllocation, ShortFileFailsBeforeAllocating) {
    Bytes file = tgaFile(2, 65535, 65535, 32, {1, 2});
    std::string path = scratchPath("huge.tga");
    writeFile(path, file);
    largestRequest = 0;
    Image image;
    EXPECT_FALSE(loadTga(path.c_str(), image));
    EXPECT_LT(largestRequest, size_t(1) << 20) << "asked for " << largestRequest << " bytes";
}

TEST(LoadTgaAllocation, ExactFileAllocatesItsPixels) {
    Bytes file = tgaFile(2, 100, 50, 24, Bytes(100 * 50 * 3, 7));
    std::string path = scratchPath("exact.tga");
    writeFile(path, file);
    largestRequest = 0;
    Image image;
    ASSERT_TRUE(loadTga(path.c_str(), image));
    EXPECT_GE(largestRequest, size_t(100 * 50 * 3));
    freeImage(image);
}

}  // namespace
