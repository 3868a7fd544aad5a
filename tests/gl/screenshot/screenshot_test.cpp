// Screenshots: the exact Targa header, top row first in BGR, and numbering that
// fills gaps, read back from the files the way an image viewer would.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "client/core/records.h"
#include "client/shell/glwindow.h"
#include "client/ui/screenshot.h"

namespace {

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

class Screenshot : public ::testing::Test {
protected:
    std::string dir;
    void SetUp() override {
        char name[] = "/tmp/blastavia-shots-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = std::string(name) + "/";
    }
    void TearDown() override {
        killGlWindow();
        std::string cmd = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    // Red above, blue below, one green pixel at the top-left corner.
    void paint() {
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, glWindow.height / 2, glWindow.width, glWindow.height);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glScissor(0, 0, glWindow.width, glWindow.height / 2);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glScissor(0, glWindow.height - 1, 1, 1);
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        glFinish();
    }
};

TEST_F(Screenshot, WritesTheHeaderAndTheTopRowFirstInBgr) {
    useGlWindows(); ASSERT_TRUE(createGlWindow("Blastavia", 640, 480, 32, false));
    paint();
    ASSERT_TRUE(takeScreenshot(dir.c_str()));
    std::vector<unsigned char> file = readFile(dir + "0.tga");
    ASSERT_EQ(file.size(), 18u + 640u * 480u * 3u);
    const unsigned char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x02, 0xE0, 0x01, 24, 0x20};
    EXPECT_EQ(std::vector<unsigned char>(file.begin(), file.begin() + 18),
              std::vector<unsigned char>(header, header + 18));
    const unsigned char* pixel = file.data() + 18;
    EXPECT_EQ(pixel[0], 0);    // top-left: green, stored blue, green, red
    EXPECT_EQ(pixel[1], 255);
    EXPECT_EQ(pixel[2], 0);
    EXPECT_EQ(pixel[3 + 2], 255);  // the rest of the top row is red
    const unsigned char* bottom = file.data() + 18 + 479u * 640u * 3u;
    EXPECT_EQ(bottom[0], 255);  // bottom row blue
    EXPECT_EQ(bottom[2], 0);
}

TEST_F(Screenshot, LargeWindowsStoreTheirSizeLittleEndian) {
    unsigned char header[18];
    screenshotHeader(1024, 768, header);
    EXPECT_EQ(header[12], 0x00);
    EXPECT_EQ(header[13], 0x04);
    EXPECT_EQ(header[14], 0x00);
    EXPECT_EQ(header[15], 0x03);
}

TEST_F(Screenshot, NumbersFillTheLowestGapFirst) {
    useGlWindows(); ASSERT_TRUE(createGlWindow("Blastavia", 64, 48, 32, false));
    std::ofstream(dir + "0.tga") << "taken";
    std::ofstream(dir + "2.tga") << "taken";
    ASSERT_TRUE(takeScreenshot(dir.c_str()));
    ASSERT_TRUE(takeScreenshot(dir.c_str()));
    EXPECT_EQ(readFile(dir + "1.tga").size(), 18u + 64u * 48u * 3u);
    EXPECT_EQ(readFile(dir + "3.tga").size(), 18u + 64u * 48u * 3u);
    EXPECT_EQ(readFile(dir + "2.tga").size(), 5u);  // never overwritten
}

TEST_F(Screenshot, AnUnwritableFolderSkipsTheShot) {
    useGlWindows(); ASSERT_TRUE(createGlWindow("Blastavia", 64, 48, 32, false));
    EXPECT_FALSE(takeScreenshot((dir + "missing/").c_str()));
}

}  // namespace
