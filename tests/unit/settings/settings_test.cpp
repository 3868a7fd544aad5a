// The settings file as players edit it: numbers in any base, repeated keys,
// sloppy spacing, long lines and names that would break the network format.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "client/core/records.h"
#include "platform/text.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
    std::string path;

    void SetUp() override {
        char name[] = "/tmp/blastavia-settings-XXXXXX";
        int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        close(fd);
        path = name;
        settings = Settings{};
    }
    void TearDown() override { std::remove(path.c_str()); }

    void write(const std::string& text) {
        FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }
};

TEST_F(SettingsFile, NumbersFollowTheIntegerConversionRules) {
    write("videoMode 011\nvolume 0x7\nmouseSensitivity -3\nfullscreen 0\n");
    loadSettings(path.c_str());
    EXPECT_EQ(settings.videoMode, 0);  // octal 9: no such mode, the smallest window
    EXPECT_EQ(settings.volume, 7);
    EXPECT_EQ(settings.mouseSensitivity, 0);  // below the slowest turn
    VideoMode outside = videoModeFor(settings.videoMode);
    EXPECT_EQ(outside.width, 640);
    EXPECT_EQ(outside.height, 480);
    EXPECT_EQ(outside.colourBits, 16);

    write("videoMode 0x4\n");
    loadSettings(path.c_str());
    VideoMode mode = videoModeFor(settings.videoMode);
    EXPECT_EQ(mode.width, 800);
    EXPECT_EQ(mode.height, 600);
    EXPECT_EQ(mode.colourBits, 32);

    // Octal 8 is the desktop's own mode, whatever the display reports.
    write("videoMode 010\n");
    loadSettings(path.c_str());
    EXPECT_EQ(settings.videoMode, VIDEO_MODE_DESKTOP);
    VideoMode desktop = videoModeFor(settings.videoMode, VideoMode{2560, 1440, 24});
    EXPECT_TRUE(desktop.desktop);
    EXPECT_EQ(desktop.width, 2560);
    EXPECT_EQ(desktop.height, 1440);
    EXPECT_EQ(desktop.colourBits, 32);
    VideoMode none = videoModeFor(settings.videoMode, VideoMode{0, 0, 32});  // no mode reported
    EXPECT_TRUE(none.desktop);
    EXPECT_EQ(none.width, 640);
    EXPECT_EQ(none.height, 480);
    EXPECT_FALSE(videoModeFor(7).desktop);
    EXPECT_EQ(videoModeFor(7).width, 1920);
    EXPECT_EQ(videoModeFor(6).height, 720);
}

// The frame cap is off (0) or 30..500 frames a second; vertical sync a flag.
// Every value the file can hold lands on one of those, and off stays off.
TEST_F(SettingsFile, TheFrameCapIsOffOrWithinItsRangeAndVsyncAFlag) {
    const struct {
        const char* text;
        int32_t maxFps, vsync;
    } cases[] = {
        {"maxFps 0\nvsync 0\n", 0, 0},          {"maxFps 144\nvsync 1\n", 144, 1},
        {"maxFps 1\nvsync 2\n", 30, 1},         {"maxFps 29\nvsync -1\n", 30, 0},
        {"maxFps 501\nvsync 0x100\n", 500, 1},  {"maxFps -60\n", 0, 0},
        {"maxFps 0x7fffffffffff\n", 500, 0},     {"maxFps 30\nmaxFps 500\n", 500, 0},
    };
    for (const auto& c : cases) {
        settings = Settings{};
        write(c.text);
        loadSettings(path.c_str());
        SCOPED_TRACE(c.text);
        EXPECT_EQ(settings.maxFps, c.maxFps);
        EXPECT_EQ(settings.vsync, c.vsync);
    }
}

// volume * 12 and (sensitivity + 1) * 0.1 must never see a value that overflows.
TEST_F(SettingsFile, NumbersOutsideTheirRangeAreKeptAtItsEnds) {
    write("volume 2147483647\nmouseSensitivity 0x7fffffffffffffffff\nvideoMode -1\nfullscreen 7\n");
    loadSettings(path.c_str());
    EXPECT_EQ(settings.volume, VOLUME_MAX);
    EXPECT_EQ(settings.mouseSensitivity, SENSITIVITY_MAX);
    EXPECT_EQ(settings.videoMode, 0);
    EXPECT_EQ(settings.fullscreen, 1);

    write("volume -2147483649\nmouseSensitivity 21\nvideoMode 5\nfullscreen 0x100\n");
    loadSettings(path.c_str());
    EXPECT_EQ(settings.volume, VOLUME_MIN);
    EXPECT_EQ(settings.mouseSensitivity, SENSITIVITY_MAX);
    EXPECT_EQ(settings.videoMode, 5);
    EXPECT_EQ(settings.fullscreen, 0);  // only the low byte counts

    write("volume 012\nvolume 3\nmouseSensitivity 0x14\n");
    loadSettings(path.c_str());
    EXPECT_EQ(settings.volume, 3);  // still the last line that wins
    EXPECT_EQ(settings.mouseSensitivity, 20);
}

TEST_F(SettingsFile, KeysAreWholeCaseSensitiveWordsAndTheLastOneWins) {
    write("volume 3\nVideoMode 2\n   volume 4\nvolume=9\nvolumes 8\nvolume\nvolume abc\n");
    loadSettings(path.c_str());
    EXPECT_EQ(settings.volume, 4);      // leading blanks skipped, the rest ignored
    EXPECT_EQ(settings.videoMode, 0);   // VideoMode is not videoMode
}

TEST_F(SettingsFile, ALongLineIsReadInPiecesOf255) {
    std::string first = "volume 7";
    first.resize(255, ' ');
    std::string second = "mouseSensitivity 9";
    second.resize(45, ' ');
    write(first + second + "\n");
    loadSettings(path.c_str());
    EXPECT_EQ(settings.volume, 7);
    EXPECT_EQ(settings.mouseSensitivity, 9);  // the 45-character piece is a line of its own
}

TEST_F(SettingsFile, NamesAreOneSafeWordCutToFit) {
    write("playerName John+Doe\nserverName example.lan\n");
    loadSettings(path.c_str());
    EXPECT_STREQ(settings.playerName, "John_Doe");
    EXPECT_STREQ(settings.serverName, "example.lan");

    write("playerName John Doe\n");
    loadSettings(path.c_str());
    EXPECT_STREQ(settings.playerName, "John");

    write("playerName Bartholomew_the_Magnificent\n"
          "serverName a-very-long-host-name.example.org\n");
    loadSettings(path.c_str());
    EXPECT_STREQ(settings.playerName, "Bartholomew_th");          // 14 characters
    EXPECT_STREQ(settings.serverName, "a-very-long-host-nam");    // 20 characters

    std::string longKey(200, 'k');
    write(longKey + " 5\nplayerName\n");
    loadSettings(path.c_str());
    EXPECT_STREQ(settings.playerName, "Unknown");
}

TEST_F(SettingsFile, EachReadStartsTheNameAfreshButKeepsTheOtherKeys) {
    write("playerName Ace\nvolume 2\nserverName 10.0.0.9\n");
    loadSettings(path.c_str());
    EXPECT_STREQ(settings.playerName, "Ace");

    write("fullscreen 1\n");  // the name and the volume were removed from the file
    loadSettings(path.c_str());
    EXPECT_STREQ(settings.playerName, "Unknown");
    EXPECT_EQ(settings.volume, 2);
    EXPECT_STREQ(settings.serverName, "10.0.0.9");
    EXPECT_EQ(settings.fullscreen, 1);
}

TEST_F(SettingsFile, AMissingFileKeepsEverything) {
    write("volume 6\n");
    loadSettings(path.c_str());
    std::remove(path.c_str());
    Settings read = settings;
    platform::copyText(read.playerName, "x");
    EXPECT_FALSE(readConfigFile(path.c_str(), &read));
    EXPECT_EQ(read.volume, 6);
    EXPECT_STREQ(read.playerName, "x");
}

TEST_F(SettingsFile, AReadOnlyFileIsStillRead) {
    write("volume 1\n");
    chmod(path.c_str(), 0444);
    loadSettings(path.c_str());
    EXPECT_EQ(settings.volume, 1);
}

}  // namespace
