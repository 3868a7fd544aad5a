// Textures as GL receives them, read back from a real (offscreen) context:
// formats, channel order, row order, filters, wrap modes and refused paths.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "client/assets/texture.h"
#include "client/core/records.h"
#include "client/shell/glwindow.h"
#include "tests/unit/textures/picture_files.h"

namespace {

class TextureGl : public ::testing::Test {
protected:
    static void SetUpTestSuite() { useGlWindows(); ASSERT_TRUE(createGlWindow("textures", 64, 64, 32, false)); }
    static void TearDownTestSuite() { killGlWindow(); }

    static std::string file(const std::string& name, const Bytes& bytes) {
        std::string path = scratchPath(name);
        writeFile(path, bytes);
        return path;
    }

    // Level 0 of the bound texture as tightly packed RGBA bytes.
    static Bytes level0(int width, int height) {
        Bytes out(size_t(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    static GLint parameter(GLenum name) {
        GLint v = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
        return v;
    }

    static GLint levelParameter(GLenum name) {
        GLint v = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &v);
        return v;
    }

    static GLint bound() {
        GLint v = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &v);
        return v;
    }
};

TEST_F(TextureGl, TargaBytesReachGlAsRedGreenBlue) {
    int name = loadTexture(file("bgr.tga", tgaFile(2, 1, 1, 24, {10, 20, 30})).c_str(), 0);
    ASSERT_GT(name, 0);
    EXPECT_EQ(bound(), name) << "the new texture stays bound";
    Bytes texel = level0(1, 1);
    EXPECT_EQ(texel[0], 30);
    EXPECT_EQ(texel[1], 20);
    EXPECT_EQ(texel[2], 10);
    GLuint n = GLuint(name);
    glDeleteTextures(1, &n);
}

TEST_F(TextureGl, TwentyFourBitIsRgbAndThirtyTwoBitIsRgba) {
    int rgb = loadTexture(file("rgb.tga", tgaFile(2, 2, 2, 24, Bytes(12, 90))).c_str(), 0);
    ASSERT_GT(rgb, 0);
    EXPECT_EQ(levelParameter(GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_GT(levelParameter(GL_TEXTURE_RED_SIZE), 0);
    int rgba = loadTexture(file("rgba.tga", tgaFile(2, 2, 2, 32, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16})).c_str(), 0);
    ASSERT_GT(rgba, 0);
    EXPECT_GT(levelParameter(GL_TEXTURE_ALPHA_SIZE), 0);
    Bytes texels = level0(2, 2);
    EXPECT_EQ(texels[3], 4) << "alpha comes through";
    EXPECT_EQ(texels[0], 3);
    GLuint names[2] = {GLuint(rgb), GLuint(rgba)};
    glDeleteTextures(2, names);
}

TEST_F(TextureGl, RgbRowsWhoseWidthIsNotAMultipleOfFourArriveIntact) {
    // 2 x 2 at 3 bytes a pixel: 6-byte rows, which GL's default alignment skews.
    Bytes pixels = {0, 0, 255, 0, 255, 0, /* row 1 */ 255, 0, 0, 255, 255, 255};
    int name = loadTexture(file("narrow.tga", tgaFile(2, 2, 2, 24, pixels)).c_str(), 0);
    ASSERT_GT(name, 0);
    Bytes t = level0(2, 2);
    EXPECT_EQ(Bytes(t.begin(), t.begin() + 4), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(Bytes(t.begin() + 4, t.begin() + 8), (Bytes{0, 255, 0, 255}));
    EXPECT_EQ(Bytes(t.begin() + 8, t.begin() + 12), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(Bytes(t.begin() + 12, t.begin() + 16), (Bytes{255, 255, 255, 255}));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the caller's unpack alignment is restored";
    GLuint n = GLuint(name);
    glDeleteTextures(1, &n);
}

TEST_F(TextureGl, FlagsChooseFilterAndWrap) {
    std::string path = file("flags.tga", tgaFile(2, 4, 4, 32, Bytes(64, 200)));
    int plain = loadTexture(path.c_str(), 0);
    ASSERT_GT(plain, 0);
    EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_CLAMP);
    int both = loadTexture(path.c_str(), TEXTURE_TRILINEAR | TEXTURE_REPEAT);
    ASSERT_GT(both, 0);
    EXPECT_NE(both, plain);
    EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    int mipmapLevels = 0;
    for (GLint w = 1; w > 0; ++mipmapLevels) glGetTexLevelParameteriv(GL_TEXTURE_2D, mipmapLevels, GL_TEXTURE_WIDTH, &w);
    EXPECT_EQ(mipmapLevels - 1, 3) << "4x4, 2x2 and 1x1 levels";
    GLuint names[2] = {GLuint(plain), GLuint(both)};
    glDeleteTextures(2, names);
}

TEST_F(TextureGl, JpegTopRowIsTextureRowZero) {
    auto redOverBlue = [](int, int y, uint8_t* p) { p[0] = y < 8 ? 250 : 0, p[1] = 0, p[2] = y < 8 ? 0 : 250; };
    int name = loadTexture(file("pic.jpg", jpegFile(16, 16, 3, redOverBlue)).c_str(), 0);
    ASSERT_GT(name, 0);
    Bytes t = level0(16, 16);
    EXPECT_GT(t[0], 200);
    EXPECT_LT(t[2], 50);
    EXPECT_GT(t[(15 * 16) * 4 + 2], 200);
    GLuint n = GLuint(name);
    glDeleteTextures(1, &n);
}

TEST_F(TextureGl, RefusedPathsMakeNoTexture) {
    std::string rle = file("rle.tga", tgaFile(10, 1, 1, 24, {1, 2, 3}));
    std::string capitals = file("WALL.TGA", tgaFile(2, 1, 1, 24, {1, 2, 3}));
    std::string noExtension = file("wall", tgaFile(2, 1, 1, 24, {1, 2, 3}));
    std::string brokenJpeg = file("broken.jpg", Bytes{0xFF, 0xD8, 0xFF});
    glBindTexture(GL_TEXTURE_2D, 0);
    for (const std::string& path : {rle, capitals, noExtension, brokenJpeg, scratchPath("missing.tga")}) {
        EXPECT_EQ(loadTexture(path.c_str(), 0), -1) << path;
        EXPECT_EQ(bound(), 0) << path << ": nothing was generated or bound";
    }
}

}  // namespace
