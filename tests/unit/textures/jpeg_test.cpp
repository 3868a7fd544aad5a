// The JPEG reader: row order, colour conversion, and bad files failing the
// load instead of ending the process.
#include <gtest/gtest.h>

#include <cstdlib>

#include "client/assets/texture.h"
#include "picture_files.h"

namespace {

// Top half red, bottom half blue: big flat areas survive compression.
void redOverBlue(int, int y, uint8_t* p) {
    bool top = y < 8;
    p[0] = top ? 250 : 0;
    p[1] = 0;
    p[2] = top ? 0 : 250;
}

bool readBytes(const std::string& name, const Bytes& bytes, Image& image) {
    std::string path = scratchPath(name);
    writeFile(path, bytes);
    return loadJpeg(path.c_str(), image);
}

void expectNear(const uint8_t* p, int r, int g, int b, const char* what) {
    EXPECT_NEAR(p[0], r, 12) << what;
    EXPECT_NEAR(p[1], g, 12) << what;
    EXPECT_NEAR(p[2], b, 12) << what;
}

TEST(LoadJpeg, FirstDecodedRowIsRowZero) {
    for (bool progressive : {false, true}) {
        Image image;
        ASSERT_TRUE(readBytes("rows.jpg", jpegFile(24, 16, 3, redOverBlue, progressive), image));
        EXPECT_EQ(image.width, 24);
        EXPECT_EQ(image.height, 16);
        EXPECT_EQ(image.bitsPerPixel, 24);
        expectNear(image.pixels, 250, 0, 0, "row 0 is the picture's top");
        expectNear(image.pixels + 15 * 24 * 3, 0, 0, 250, "the last row is its bottom");
        freeImage(image);
    }
}

TEST(LoadJpeg, OddWidthRowsHaveNoPadding) {
    Image image;
    ASSERT_TRUE(readBytes("odd.jpg", jpegFile(13, 16, 3, redOverBlue), image));
    expectNear(image.pixels + (15 * 13 + 12) * 3, 0, 0, 250, "last pixel");
    freeImage(image);
}

TEST(LoadJpeg, GreyComesOutAsRgb) {
    Image image;
    auto grey = [](int, int y, uint8_t* p) { p[0] = y < 8 ? 200 : 40; };
    ASSERT_TRUE(readBytes("grey.jpg", jpegFile(16, 16, 1, grey), image));
    EXPECT_EQ(image.bitsPerPixel, 24);
    expectNear(image.pixels, 200, 200, 200, "grey top");
    expectNear(image.pixels + (16 * 16 - 1) * 3, 40, 40, 40, "grey bottom");
    freeImage(image);
}

TEST(LoadJpeg, CmykIsRefusedOrConverted) {
    Image image;
    auto cmyk = [](int, int, uint8_t* p) { p[0] = 10, p[1] = 20, p[2] = 30, p[3] = 40; };
    if (readBytes("cmyk.jpg", jpegFile(16, 16, 4, cmyk), image)) {
        EXPECT_EQ(image.bitsPerPixel, 24);
        freeImage(image);
    }
    EXPECT_EQ(image.pixels, nullptr);
}

TEST(LoadJpeg, DamagedFilesFailAndTheProcessGoesOn) {
    Bytes good = jpegFile(64, 64, 3, [](int x, int y, uint8_t* p) { p[0] = uint8_t(x * 4), p[1] = uint8_t(y * 4), p[2] = uint8_t(x ^ y); });
    Bytes truncated(good.begin(), good.begin() + long(good.size() / 2));
    Bytes noImage(good.begin(), good.begin() + 2);
    Bytes garbage(300);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = uint8_t(i * 131 + 7);
    Bytes notJpeg = {'G', 'I', 'F', '8', '9', 'a'};
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {{"truncated", truncated}, {"start marker only", noImage}, {"garbage", garbage},
                 {"not a JPEG", notJpeg}, {"empty", {}}};
    for (const Case& c : cases) {
        Image image;
        EXPECT_FALSE(readBytes("bad.jpg", c.file, image)) << c.name;
        EXPECT_EQ(image.pixels, nullptr) << c.name;
    }
}

TEST(LoadJpeg, CorruptDataNeverYieldsAWrongSizedPicture) {
    Bytes good = jpegFile(32, 32, 3, redOverBlue);
    for (size_t at = 20; at < good.size(); at += 7) {
        Bytes bad = good;
        bad[at] ^= 0x5A;
        Image image;
        if (readBytes("flip.jpg", bad, image)) {
            EXPECT_EQ(image.bitsPerPixel, 24);
            EXPECT_GT(image.width, 0);
            EXPECT_GT(image.height, 0);
            freeImage(image);
        }
    }
}

TEST(LoadJpeg, OversizedHeaderIsRefused) {
    Bytes file = jpegFile(16, 16, 3, redOverBlue);
    // Patch the frame header (SOF0: FF C0, length, precision, height, width).
    for (size_t i = 0; i + 8 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = 0xFF, file[i + 6] = 0xDC;  // height 65500
            file[i + 7] = 0xFF, file[i + 8] = 0xDC;  // width 65500
            break;
        }
    Image image;
    EXPECT_FALSE(readBytes("huge.jpg", file, image));
}

TEST(LoadJpeg, MissingFileFails) {
    Image image;
    EXPECT_FALSE(loadJpeg(scratchPath("no-such-file.jpg").c_str(), image));
}

}  // namespace
