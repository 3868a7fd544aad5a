// The Targa reader: which files it takes, how pixels come out, and that bad
// headers and short files fail cleanly.
#include <gtest/gtest.h>

#include "client/assets/texture.h"
#include "picture_files.h"

namespace {

bool readBytes(const std::string& name, const Bytes& bytes, Image& image) {
    std::string path = scratchPath(name);
    writeFile(path, bytes);
    return loadTga(path.c_str(), image);
}

TEST(LoadTga, TwentyFourBitsBecomeRgbInFileRowOrder) {
    // Two rows of two pixels, stored blue, green, red.
    Bytes pixels = {10, 20, 30, 1, 2, 3, /* row 1 */ 40, 50, 60, 4, 5, 6};
    Image image;
    ASSERT_TRUE(readBytes("rgb.tga", tgaFile(2, 2, 2, 24, pixels), image));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.bitsPerPixel, 24);
    Bytes got(image.pixels, image.pixels + 12);
    EXPECT_EQ(got, (Bytes{30, 20, 10, 3, 2, 1, 60, 50, 40, 6, 5, 4}));
    freeImage(image);
}

TEST(LoadTga, ThirtyTwoBitsKeepAlphaInPlace) {
    Bytes pixels = {10, 20, 30, 40, 50, 60, 70, 255};
    Image image;
    ASSERT_TRUE(readBytes("rgba.tga", tgaFile(2, 2, 1, 32, pixels), image));
    EXPECT_EQ(image.bitsPerPixel, 32);
    Bytes got(image.pixels, image.pixels + 8);
    EXPECT_EQ(got, (Bytes{30, 20, 10, 40, 70, 60, 50, 255}));
    freeImage(image);
}

TEST(LoadTga, IdentificationFieldIsSkipped) {
    Image image;
    ASSERT_TRUE(readBytes("id.tga", tgaFile(2, 1, 1, 24, {10, 20, 30}, {'h', 'i', '!'}), image));
    Bytes got(image.pixels, image.pixels + 3);
    EXPECT_EQ(got, (Bytes{30, 20, 10}));
    freeImage(image);
}

TEST(LoadTga, RefusesWhatItCannotRead) {
    Bytes rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"run-length encoded", tgaFile(10, 2, 2, 24, rgb)},
        {"colour mapped", tgaFile(1, 2, 2, 24, rgb)},
        {"grey", tgaFile(3, 2, 2, 24, rgb)},
        {"16 bits", tgaFile(2, 2, 2, 16, rgb)},
        {"8 bits", tgaFile(2, 2, 2, 8, rgb)},
        {"zero width", tgaFile(2, 0, 2, 24, rgb)},
        {"zero height", tgaFile(2, 2, 0, 24, rgb)},
        {"one pixel short", tgaFile(2, 2, 2, 24, Bytes(rgb.begin(), rgb.end() - 1))},
        {"header only", tgaFile(2, 2, 2, 24, {})},
        {"short header", Bytes(17, 0)},
        {"empty", Bytes()},
        {"id longer than the file", tgaFile(2, 1, 1, 24, {}, Bytes(3, 'x'))},
    };
    for (const Case& c : cases) {
        Image image;
        image.width = 77;
        EXPECT_FALSE(readBytes("bad.tga", c.file, image)) << c.name;
        EXPECT_EQ(image.pixels, nullptr) << c.name;
        EXPECT_EQ(image.width, 77) << c.name << ": a failed read leaves the image alone";
    }
}

TEST(LoadTga, MissingFileFails) {
    Image image;
    EXPECT_FALSE(loadTga(scratchPath("no-such-file.tga").c_str(), image));
}

TEST(LoadTga, ReadsFromAnOpenStream) {
    Bytes file = tgaFile(2, 1, 1, 32, {1, 2, 3, 4});
    FILE* f = fmemopen(file.data(), file.size(), "rb");
    ASSERT_NE(f, nullptr);
    Image image;
    EXPECT_TRUE(readTga(f, image));
    std::fclose(f);
    EXPECT_EQ(image.pixels[0], 3);
    freeImage(image);
}

}  // namespace
