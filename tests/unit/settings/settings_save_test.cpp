// Choices written back to the settings file: only their lines change, the
// file is replaced whole (never left half written), and a file the player
// made read-only is left alone while the choice still holds for the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "client/core/records.h"
#include "client/core/settings_file.h"
#include "platform/files.h"

namespace {

class SettingsSave : public ::testing::Test {
protected:
    std::string folder, path;

    void SetUp() override {
        char name[] = "/tmp/blastavia-save-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
        path = folder + "/config.cfg";
        settings = Settings{};
        releaseHeldSettings();
    }
    void TearDown() override {
        releaseHeldSettings();
        std::system(("chmod -R u+w " + folder + " && rm -rf " + folder).c_str());
    }
    void write(const std::string& text) {
        FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }
    std::string read() {
        std::string text;
        platform::readWholeFile(path.c_str(), &text);
        return text;
    }
    std::vector<std::string> folderEntries() {
        std::vector<std::string> names;
        DIR* d = opendir(folder.c_str());
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
        return names;
    }
};

Settings chosen() {
    Settings s;
    s.videoMode = 4;
    s.fullscreen = 1;
    s.volume = 3;
    s.mouseSensitivity = 12;
    std::snprintf(s.playerName, sizeof s.playerName, "Zed");
    std::snprintf(s.serverName, sizeof s.serverName, "10.0.0.5");
    return s;
}

const unsigned ALL = KEY_VIDEO_MODE | KEY_FULLSCREEN | KEY_VOLUME | KEY_SENSITIVITY |
                     KEY_PLAYER_NAME | KEY_SERVER_NAME;

}  // namespace

TEST(SettingsText, OnlyTheChosenKeysLinesChange) {
    const std::string original =
        "# my settings\n"
        "  volume 10   # loud\n"
        "bindFire Ctrl\n"
        "\n"
        "VideoMode 2\n"            // another letter case is another key: kept
        "volume=5\n"               // not a volume line for the reader: kept
        "serverName 192.168.1.9\r\n"
        "playerName Ace";
    Settings s = chosen();
    EXPECT_EQ(settingsWithValues(original, s, KEY_VOLUME | KEY_SERVER_NAME),
              "# my settings\n"
              "  volume 3\n"
              "bindFire Ctrl\n"
              "\n"
              "VideoMode 2\n"
              "volume=5\n"
              "serverName 10.0.0.5\r\n"
              "playerName Ace");
    // Keys without a line go at the end, after a line break the file lacked.
    EXPECT_EQ(settingsWithValues("playerName Ace", s, KEY_PLAYER_NAME | KEY_VIDEO_MODE),
              "playerName Zed\nvideoMode 4\n");
    // Every line of a repeated key gets the value, so no stale one wins.
    EXPECT_EQ(settingsWithValues("volume 1\nvolume 2\n", s, KEY_VOLUME), "volume 3\nvolume 3\n");
    EXPECT_EQ(settingsWithValues("", s, 0), "");
}

TEST_F(SettingsSave, WrittenValuesReadBackAndTheRestStays) {
    write("# comment\nfrobnicate yes\nvolume 10\n\nplayerName Ace\n");
    ASSERT_TRUE(saveSettings(path.c_str(), chosen(), ALL));
    EXPECT_EQ(read(),
              "# comment\nfrobnicate yes\nvolume 3\n\nplayerName Zed\n"
              "videoMode 4\nfullscreen 1\nmouseSensitivity 12\nserverName 10.0.0.5\n");
    loadSettings(path.c_str());
    EXPECT_EQ(settings.videoMode, 4);
    EXPECT_EQ(settings.volume, 3);
    EXPECT_EQ(settings.mouseSensitivity, 12);
    EXPECT_STREQ(settings.playerName, "Zed");
    EXPECT_STREQ(settings.serverName, "10.0.0.5");
    // No temporary file is left beside it.
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"config.cfg"});
}

TEST_F(SettingsSave, MissingFileIsMadeAndModeIsKept) {
    ASSERT_TRUE(saveSettings(path.c_str(), chosen(), KEY_SERVER_NAME));
    EXPECT_EQ(read(), "serverName 10.0.0.5\n");
    chmod(path.c_str(), 0600);
    ASSERT_TRUE(saveSettings(path.c_str(), chosen(), KEY_VOLUME));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(SettingsSave, ALinkIsFollowedNotReplaced) {
    std::string real = folder + "/real.cfg";
    FILE* f = std::fopen(real.c_str(), "w");
    std::fputs("# shared\nvolume 9\n", f);
    std::fclose(f);
    ASSERT_EQ(symlink(real.c_str(), path.c_str()), 0);
    ASSERT_TRUE(saveSettings(path.c_str(), chosen(), KEY_VOLUME));
    struct stat st {};
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    std::string text;
    platform::readWholeFile(real.c_str(), &text);
    EXPECT_EQ(text, "# shared\nvolume 3\n");
}

// The old file stays whole until the new one is complete: the replacement is a
// new inode renamed over it, so a reader holding the old one still sees it all.
TEST_F(SettingsSave, ReplacementIsANewFileRenamedOverTheOld) {
    write("volume 10\n# keep me\n");
    struct stat before {};
    stat(path.c_str(), &before);
    FILE* old = std::fopen(path.c_str(), "r");
    ASSERT_TRUE(saveSettings(path.c_str(), chosen(), KEY_VOLUME));
    struct stat after {};
    stat(path.c_str(), &after);
    EXPECT_NE(before.st_ino, after.st_ino);
    char line[64] = "";
    ASSERT_NE(std::fgets(line, sizeof line, old), nullptr);
    EXPECT_STREQ(line, "volume 10\n");
    std::fclose(old);
    EXPECT_EQ(read(), "volume 3\n# keep me\n");
}

TEST_F(SettingsSave, ReadOnlyFileIsKeptAndTheChoiceHoldsForTheRun) {
    write("# mine, hands off\nvolume 10\nplayerName Ace\n");
    chmod(path.c_str(), 0444);
    Settings s = chosen();
    EXPECT_FALSE(saveOrHoldSettings(path.c_str(), s, KEY_VOLUME | KEY_PLAYER_NAME));
    EXPECT_EQ(read(), "# mine, hands off\nvolume 10\nplayerName Ace\n");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"config.cfg"});
    // Every later read of the file (each screen switch) keeps the choice.
    loadSettings(path.c_str());
    EXPECT_EQ(settings.volume, 3);
    EXPECT_STREQ(settings.playerName, "Zed");
    EXPECT_EQ(settings.videoMode, 0);  // not chosen: the file's (default) value

    // A read-only folder refuses the new file as well.
    chmod(path.c_str(), 0644);
    chmod(folder.c_str(), 0555);
    if (access(folder.c_str(), W_OK) != 0) {  // the superuser may write anyway
        EXPECT_FALSE(saveSettings(path.c_str(), s, KEY_VOLUME));
        EXPECT_EQ(read(), "# mine, hands off\nvolume 10\nplayerName Ace\n");
    }
    chmod(folder.c_str(), 0755);
    // Once saved, the file speaks again.
    EXPECT_TRUE(saveOrHoldSettings(path.c_str(), s, KEY_VOLUME | KEY_PLAYER_NAME));
    write("volume 6\n");
    loadSettings(path.c_str());
    EXPECT_EQ(settings.volume, 6);
}

TEST_F(SettingsSave, AKeyHiddenInAnOverlongLineCannotUndoTheSave) {
    // The reader cuts lines at 255 characters; the piece after the cut starts
    // with "volume 9" and would be read after our line.
    std::string longLine = "# " + std::string(253, 'x') + "volume 9\n";
    write("volume 10\n" + longLine);
    ASSERT_TRUE(saveSettings(path.c_str(), chosen(), KEY_VOLUME));
    loadSettings(path.c_str());
    EXPECT_EQ(settings.volume, 3);
    EXPECT_EQ(read().substr(0, 9 + longLine.size()), "volume 3\n" + longLine);  // kept as it was
}
