// The menu's Servers and Options pages without a window: bounded text fields,
// the server list turned into rows a click or the keyboard chooses, the
// hosting choices kept within what a server takes, options saved or held,
// the maps a host may pick and the queue typed keys wait in.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "client/net/hosted_server.h"
#include "client/core/records.h"
#include "client/core/settings_file.h"
#include "client/ui/font.h"
#include "client/ui/menu_view.h"
#include "client/ui/options_page.h"
#include "client/ui/servers_page.h"
#include "client/ui/text_field.h"
#include "platform/files.h"
#include "protocol/discovery.h"

namespace {

std::string tempFolder() {
    char name[] = "/tmp/blastavia-pages-XXXXXX";
    return mkdtemp(name) ? name : "";
}

void writeFile(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(text.c_str(), f);
    std::fclose(f);
}

std::string readFile(const std::string& path) {
    std::string text;
    platform::readWholeFile(path.c_str(), &text);
    return text;
}

// The middle of a rectangle, where a click lands inside it.
int midX(const MenuRect& r) { return (r.x0 + r.x1) / 2; }
int midY(const MenuRect& r) { return (r.y0 + r.y1) / 2; }

TEST(TextField, HoldsItsCapacityAndNotOneMore) {
    TextField field(20);
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(field.type(char('a' + i % 26)));
    EXPECT_FALSE(field.type('z'));
    EXPECT_EQ(field.length(), 20u);
    EXPECT_STREQ(field.text(), "abcdefghijklmnopqrst");
    EXPECT_TRUE(field.erase());
    EXPECT_TRUE(field.type('!'));
    EXPECT_STREQ(field.text(), "abcdefghijklmnopqrs!");

    field.set("a-host-name-longer-than-twenty.example");
    EXPECT_STREQ(field.text(), "a-host-name-longer-t");

    TextField huge(500);
    EXPECT_EQ(huge.capacity(), TextField::MAX_CAPACITY);
    for (int i = 0; i < 40; ++i) huge.type('x');
    EXPECT_EQ(huge.length(), TextField::MAX_CAPACITY);
}

TEST(TextField, TakesPrintableCharactersWithoutBlanks) {
    TextField name(14, "+");
    const char refused[] = {' ', '\t', '\n', '\r', 0x01, 0x1F, 0x7F, char(0x80), char(0xE9),
                            char(0xFF), '+', '\0'};
    for (char c : refused) EXPECT_FALSE(name.type(c)) << int(c);
    EXPECT_TRUE(name.empty());
    for (char c : std::string("!~09AZaz_-.#")) EXPECT_TRUE(name.type(c)) << c;
    EXPECT_STREQ(name.text(), "!~09AZaz_-.#");

    // Text set from a settings file is filtered the same way.
    name.set("Mr +Big\tGun 2000 Deluxe");
    EXPECT_STREQ(name.text(), "MrBigGun2000De");
    name.set(nullptr);
    EXPECT_TRUE(name.empty());
    EXPECT_FALSE(name.erase());
}

TEST(TypedKeys, KeptInOrderUpToTheQueueAndThenDropped) {
    inputState.typedCount = 0;
    for (int i = 0; i < TYPED_KEYS_KEPT + 5; ++i) queueTyped(0, char('A' + i % 26));
    EXPECT_EQ(inputState.typedCount, TYPED_KEYS_KEPT);
    TypedKey keys[TYPED_KEYS_KEPT];
    int n = takeTyped(keys, TYPED_KEYS_KEPT);
    ASSERT_EQ(n, TYPED_KEYS_KEPT);
    EXPECT_EQ(keys[0].character, 'A');
    EXPECT_EQ(keys[TYPED_KEYS_KEPT - 1].character, char('A' + (TYPED_KEYS_KEPT - 1) % 26));
    EXPECT_EQ(takeTyped(keys, TYPED_KEYS_KEPT), 0);
    queueTyped(0x0D, 0);
    EXPECT_EQ(takeTyped(keys, 1), 1);
    EXPECT_EQ(keys[0].virtualKey, 0x0Du);
}

class ServersPageTest : public ::testing::Test {
protected:
    ServersPage page;
    uint32_t now = 5000;

    void SetUp() override {
        Settings s;
        std::snprintf(s.serverName, sizeof s.serverName, "%s", "10.1.1.1");
        std::snprintf(s.playerName, sizeof s.playerName, "%s", "Ace");
        page.open(s, {"duel", "hall", "maze"});
    }

    // A well-formed answer from `ip` to the page's latest query.
    bool answer(const char* ip, const char* map, int occupied = 1) {
        uint8_t query[protocol::DISCOVERY_QUERY_SIZE];
        page.browser.makeQuery(now, query, sizeof query);
        protocol::DiscoveryReply reply;
        reply.token = uint32_t(query[8]) << 24 | uint32_t(query[9]) << 16 |
                      uint32_t(query[10]) << 8 | query[11];
        reply.occupied = occupied;
        reply.maxPlayers = 8;
        reply.fragLimit = 20;
        std::snprintf(reply.mapName, sizeof reply.mapName, "%s", map);
        uint8_t bytes[protocol::DISCOVERY_REPLY_SIZE];
        size_t n = protocol::encodeDiscoveryReply(reply, bytes, sizeof bytes);
        platform::NetAddress from;
        platform::parseDottedQuad(ip, &from);
        from.port = protocol::DISCOVERY_PORT;
        return page.browser.takeReply(from, bytes, n, now + 3);
    }

    ServersAction click(const MenuRect& r) { return page.clicked(midX(r), midY(r)); }
    ServersAction key(uint32_t vk) { return page.typed(TypedKey{vk, 0}); }
    void type(const char* text) {
        for (const char* c = text; *c; ++c) page.typed(TypedKey{0, *c});
    }
};

TEST_F(ServersPageTest, OpensWithTheSettingsAndHall) {
    EXPECT_STREQ(page.address.text(), "10.1.1.1");
    EXPECT_STREQ(page.name.text(), "Ace");
    EXPECT_EQ(page.mapChoice(), "hall");
    EXPECT_EQ(page.focus, ServersPage::Focus::Address);
    EXPECT_EQ(page.rowsShown(), 0u);
}

TEST_F(ServersPageTest, AClickOnARowChoosesItsServerAndNothingElseDoes) {
    ASSERT_TRUE(answer("10.0.0.7", "duel"));
    ASSERT_TRUE(answer("10.0.0.9", "maze"));
    ASSERT_EQ(page.rowsShown(), 2u);
    EXPECT_EQ(click(serverRow(2)), ServersAction::None);  // an empty row
    MenuRect second = serverRow(1);
    EXPECT_EQ(page.clicked(midX(second), second.y1), ServersAction::None);  // on its top edge: row 0's bottom
    EXPECT_EQ(page.clicked(midX(second), second.y1 + 1), ServersAction::Join);
    EXPECT_STREQ(page.chosenServer(), "10.0.0.7");
    EXPECT_EQ(click(second), ServersAction::Join);
    EXPECT_STREQ(page.chosenServer(), "10.0.0.9");
    EXPECT_STREQ(page.playerName(), "Ace");
}

TEST_F(ServersPageTest, ArrowsAndEnterChooseARowOrTheTypedAddress) {
    ASSERT_TRUE(answer("10.0.0.7", "duel"));
    ASSERT_TRUE(answer("10.0.0.9", "maze"));
    key(VK_DOWN);
    key(VK_DOWN);
    key(VK_DOWN);  // past the last row: stays on it
    EXPECT_EQ(page.selectedRow, 1);
    EXPECT_EQ(key(0x0D), ServersAction::Join);
    EXPECT_STREQ(page.chosenServer(), "10.0.0.9");

    key(VK_UP);
    key(VK_UP);
    key(VK_UP);  // above the first row: the typed address
    EXPECT_EQ(page.selectedRow, -1);
    EXPECT_EQ(key(0x0D), ServersAction::Join);
    EXPECT_STREQ(page.chosenServer(), "10.1.1.1");

    // Typing means the typed address, even with a row selected.
    key(VK_DOWN);
    type("2");
    EXPECT_EQ(page.selectedRow, -1);
    EXPECT_EQ(click(SERVERS_JOIN_BUTTON), ServersAction::Join);
    EXPECT_STREQ(page.chosenServer(), "10.1.1.12");

    // Nothing typed and nothing selected: nothing to join.
    for (int i = 0; i < 12; ++i) key(0x08);
    EXPECT_TRUE(page.address.empty());
    EXPECT_EQ(key(0x0D), ServersAction::None);
}

TEST_F(ServersPageTest, ShowsSevenRowsOfSixteenServers) {
    for (int i = 0; i < 16; ++i) {
        char ip[16];
        std::snprintf(ip, sizeof ip, "10.0.1.%d", i + 1);
        ASSERT_TRUE(answer(ip, "hall"));
    }
    EXPECT_FALSE(answer("10.0.2.1", "hall"));  // the browser keeps sixteen
    EXPECT_EQ(page.rowsShown(), size_t(SERVERS_ROWS_SHOWN));
    for (int i = 0; i < 12; ++i) key(VK_DOWN);
    EXPECT_EQ(page.selectedRow, SERVERS_ROWS_SHOWN - 1);
    EXPECT_EQ(click(serverRow(SERVERS_ROWS_SHOWN)), ServersAction::None);  // below the list
    EXPECT_EQ(click(serverRow(SERVERS_ROWS_SHOWN - 1)), ServersAction::Join);
    EXPECT_STREQ(page.chosenServer(), "10.0.1.7");
}

TEST_F(ServersPageTest, TabOrAClickPicksTheFieldTypingGoesTo) {
    key(VK_TAB);
    EXPECT_EQ(page.focus, ServersPage::Focus::Name);
    type(" +Zed");
    EXPECT_STREQ(page.name.text(), "AceZed");
    EXPECT_STREQ(page.address.text(), "10.1.1.1");
    type("abcdefghijk");
    EXPECT_STREQ(page.name.text(), "AceZedabcdefgh");  // 14 characters
    key(0x08);
    EXPECT_STREQ(page.name.text(), "AceZedabcdefg");
    click(SERVERS_ADDRESS_FIELD);
    EXPECT_EQ(page.focus, ServersPage::Focus::Address);
    type("0123456789012345");
    EXPECT_STREQ(page.address.text(), "10.1.1.1012345678901");  // 20 characters
    click(SERVERS_NAME_FIELD);
    EXPECT_EQ(page.focus, ServersPage::Focus::Name);
}

TEST_F(ServersPageTest, HostingChoicesStayWithinWhatAServerTakes) {
    auto clicks = [&](const MenuRect& r, int n) {
        for (int i = 0; i < n; ++i) click(r);
    };
    clicks(SERVERS_PLAYERS.more, 5);
    EXPECT_EQ(page.maxPlayers, HOST_PLAYERS_MAX);
    clicks(SERVERS_BOTS.more, 12);
    EXPECT_EQ(page.botCount, HOST_BOTS_MAX);  // nine bots, one place left for the player
    clicks(SERVERS_PLAYERS.less, 20);
    EXPECT_EQ(page.maxPlayers, HOST_PLAYERS_MIN);
    EXPECT_EQ(page.botCount, 1);  // fewer places took bots with them
    clicks(SERVERS_FRAGS.less, 30);
    EXPECT_EQ(page.fragLimit, HOST_FRAGS_MIN);
    clicks(SERVERS_FRAGS.more, 200);
    EXPECT_EQ(page.fragLimit, HOST_FRAGS_MAX);
    click(SERVERS_FRAGS.value);  // the value itself is no arrow
    EXPECT_EQ(page.fragLimit, HOST_FRAGS_MAX);

    click(SERVERS_MAP.more);
    EXPECT_EQ(page.mapChoice(), "maze");
    click(SERVERS_MAP.more);
    EXPECT_EQ(page.mapChoice(), "duel");  // round to the first
    click(SERVERS_MAP.less);
    EXPECT_EQ(page.mapChoice(), "maze");  // and back to the last

    EXPECT_EQ(click(SERVERS_HOST_BUTTON), ServersAction::Host);
    EXPECT_EQ(click(SERVERS_STOP_BUTTON), ServersAction::StopHost);
    page.open(Settings{}, {});
    EXPECT_EQ(page.mapChoice(), "");
    click(SERVERS_MAP.more);
    EXPECT_EQ(click(SERVERS_HOST_BUTTON), ServersAction::None);  // no map to host
}

TEST_F(ServersPageTest, HoverFindsTheSpotUnderTheCursor) {
    MenuRect spot{};
    EXPECT_TRUE(page.hovered(midX(SERVERS_HOST_BUTTON), midY(SERVERS_HOST_BUTTON), &spot));
    EXPECT_EQ(spot.x0, SERVERS_HOST_BUTTON.x0);
    EXPECT_FALSE(page.hovered(midX(serverRow(0)), midY(serverRow(0)), &spot));  // no row yet
    ASSERT_TRUE(answer("10.0.0.7", "duel"));
    EXPECT_TRUE(page.hovered(midX(serverRow(0)), midY(serverRow(0)), &spot));
    EXPECT_FALSE(page.hovered(5, 5, &spot));
}

class OptionsPageTest : public ::testing::Test {
protected:
    std::string folder, path;
    void SetUp() override {
        folder = tempFolder();
        ASSERT_FALSE(folder.empty());
        path = folder + "/config.cfg";
        releaseHeldSettings();
    }
    void TearDown() override {
        releaseHeldSettings();
        std::system(("chmod -R u+w " + folder + " && rm -rf " + folder).c_str());
    }
    int click(OptionsPage& page, int row, bool more) {
        MenuSpinner s = optionsSpinner(row);
        const MenuRect& r = more ? s.more : s.less;
        return page.clicked(midX(r), midY(r));
    }
    std::string value(const OptionsPage& page, int row) {
        char text[40];
        page.valueText(row, text, sizeof text);
        return text;
    }
};

TEST_F(OptionsPageTest, EachArrowChangesItsValueAndSavesOnlyThatLine) {
    writeFile(path, "# mine\nvolume 1\nwhatever 3\n");
    OptionsPage page(path.c_str());
    Settings current;
    current.volume = 1;
    page.open(current);
    EXPECT_EQ(page.status(), SaveStatus::Unchanged);
    EXPECT_EQ(click(page, 0, false), 0);
    EXPECT_EQ(click(page, 0, false), 0);  // already at the bottom
    EXPECT_EQ(page.values().volume, VOLUME_MIN);
    EXPECT_EQ(page.status(), SaveStatus::Saved);
    EXPECT_EQ(readFile(path), "# mine\nvolume 0\nwhatever 3\n");

    for (int i = 0; i < 30; ++i) click(page, 1, true);
    EXPECT_EQ(page.values().mouseSensitivity, SENSITIVITY_MAX);
    EXPECT_EQ(value(page, 1), "20");
    click(page, 2, false);  // from the first mode round to the last: the desktop's
    EXPECT_EQ(value(page, 2), "Desktop");
    click(page, 2, true);
    EXPECT_EQ(value(page, 2), "640x480 16-bit");
    click(page, 3, true);
    EXPECT_EQ(value(page, 3), "On");
    click(page, 3, false);
    EXPECT_EQ(value(page, 3), "Off");
    EXPECT_EQ(readFile(path), "# mine\nvolume 0\nwhatever 3\nmouseSensitivity 20\nvideoMode 0\n"
                              "fullscreen 0\n");
    EXPECT_EQ(page.clicked(midX(optionsSpinner(0).value), midY(optionsSpinner(0).value)), -1);
}

// The frame cap steps Off, 30, 60, ... 500 and back; a value typed into the
// file between two steps goes to the neighbouring step; vertical sync flips.
TEST_F(OptionsPageTest, TheFrameCapStepsThroughDisplayRatesAndVsyncFlips) {
    writeFile(path, "");
    OptionsPage page(path.c_str());
    Settings current;
    current.maxFps = 100;  // from the file, between two steps
    page.open(current);
    const int cap = KEY_MAX_FPS_INDEX, sync = KEY_VSYNC_INDEX;
    const int capRow = SETTING_ROWS[cap].pageRow, syncRow = SETTING_ROWS[sync].pageRow;
    click(page, capRow, true);
    EXPECT_EQ(value(page, capRow), "120");
    for (int i = 0; i < 20; ++i) click(page, capRow, true);
    EXPECT_EQ(page.values().maxFps, 500);
    for (int i = 0; i < 20; ++i) click(page, capRow, false);
    EXPECT_EQ(value(page, capRow), "Off");
    EXPECT_EQ(page.values().maxFps, 0);
    click(page, capRow, true);
    EXPECT_EQ(value(page, capRow), "30");
    click(page, syncRow, false);
    EXPECT_EQ(value(page, syncRow), "On");
    EXPECT_EQ(readFile(path), "maxFps 30\nvsync 1\n");
}

TEST_F(OptionsPageTest, AReadOnlyFileIsKeptAndTheChoiceHeldForTheRun) {
    const std::string original = "videoMode 0\nvolume 4\n";
    writeFile(path, original);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    OptionsPage page(path.c_str());
    Settings current;
    current.volume = 4;
    page.open(current);
    click(page, 2, true);
    EXPECT_EQ(page.status(), SaveStatus::Held);
    EXPECT_EQ(readFile(path), original);
    loadSettings(path.c_str());
    EXPECT_EQ(settings.videoMode, 1);  // what the next screen opens with
    EXPECT_EQ(settings.volume, 4);     // untouched choices come from the file
}

// A display with full-screen modes of 640 x 480 and 800 x 600 only.
bool smallDisplay(int width, int height, int) { return width <= 800 && height <= 600; }

TEST_F(OptionsPageTest, FullScreenOnlyInModesTheDisplayHas) {
    writeFile(path, "videoMode 0\n");
    OptionsPage page(path.c_str(), smallDisplay);
    page.open(Settings{});
    click(page, 3, true);
    EXPECT_EQ(page.status(), SaveStatus::Saved);
    EXPECT_EQ(value(page, 3), "On");
    click(page, 2, true);  // 800 x 600: there
    EXPECT_EQ(page.status(), SaveStatus::Saved);
    click(page, 2, true);  // 1024 x 768: not there, the mode stays
    EXPECT_EQ(page.status(), SaveStatus::Refused);
    EXPECT_STREQ(page.missingMode(), "1024x768");
    EXPECT_EQ(value(page, 2), "800x600 16-bit");
    EXPECT_EQ(readFile(path), "videoMode 1\nfullscreen 1\n");

    // In a window every mode may be chosen; full screen then asks again.
    click(page, 3, false);
    click(page, 2, true);
    EXPECT_EQ(page.status(), SaveStatus::Saved);
    EXPECT_EQ(value(page, 2), "1024x768 16-bit");
    click(page, 3, true);
    EXPECT_EQ(page.status(), SaveStatus::Refused);
    EXPECT_EQ(value(page, 3), "Off");

    // No mode at all: not even the menu's 640 x 480.
    OptionsPage none(path.c_str(), [](int, int, int) { return false; });
    none.open(Settings{});
    click(none, 3, true);
    EXPECT_STREQ(none.missingMode(), "640x480");
    EXPECT_EQ(value(none, 3), "Off");
}

// A 1280 x 1024 desktop whose display switches to no mode at all.
bool squareDesktop(int* width, int* height, int* bits) {
    *width = 1280;
    *height = 1024;
    *bits = 24;
    return true;
}

TEST_F(OptionsPageTest, ModesLargerThanTheDisplayArePassedOverAndTheDesktopNeedsNoModeSwitch) {
    writeFile(path, "");
    OptionsPage page(path.c_str(), [](int, int, int) { return false; }, squareDesktop);
    Settings current;
    current.videoMode = 5;
    page.open(current);
    click(page, 2, true);
    EXPECT_EQ(value(page, 2), "1280x720 32-bit");
    EXPECT_STREQ(page.tooLargeMode(), "");
    click(page, 2, true);  // 1920 x 1080 does not fit: on to the desktop, saying why
    EXPECT_EQ(value(page, 2), "Desktop 1280x1024");
    EXPECT_STREQ(page.tooLargeMode(), "1920x1080");
    EXPECT_EQ(page.status(), SaveStatus::Saved);
    click(page, 2, false);  // and over it again on the way back
    EXPECT_EQ(value(page, 2), "1280x720 32-bit");
    EXPECT_STREQ(page.tooLargeMode(), "1920x1080");
    click(page, 2, true);
    // Full screen over the desktop switches no mode: allowed where no mode is.
    click(page, 3, true);
    EXPECT_EQ(page.status(), SaveStatus::Saved);
    EXPECT_EQ(readFile(path), "videoMode 8\nfullscreen 1\n");
    // ...but leaving the desktop's mode with full screen on asks for modes again.
    click(page, 2, false);
    EXPECT_EQ(page.status(), SaveStatus::Refused);
    EXPECT_STREQ(page.tooLargeMode(), "");
    EXPECT_EQ(value(page, 2), "Desktop 1280x1024");

    // A display that reports no mode: nothing counts as too large, the
    // desktop row still reads as one.
    OptionsPage blind(path.c_str(), nullptr, [](int*, int*, int*) { return false; });
    current.videoMode = 6;
    blind.open(current);
    click(blind, 2, true);
    EXPECT_EQ(value(blind, 2), "1920x1080 32-bit");
    click(blind, 2, true);
    EXPECT_EQ(value(blind, 2), "Desktop");
}

// The menu's pictures in windows of every shape: the same picture point is
// the same window point for the click and the drawing, and the picture's own
// size changes nothing.
TEST(MenuView, FitsThePictureKeepingItsShapeAndMapsBothWays) {
    MenuView same = menuViewFor(640, 480);
    EXPECT_EQ(same.scale, 1.0);
    EXPECT_EQ(same.left, 0);
    EXPECT_EQ(same.bottom, 0);
    double box[4];
    menuProjectionBox(same, box);
    EXPECT_EQ(box[0], 0.0);
    EXPECT_EQ(box[1], 640.0);
    EXPECT_EQ(box[2], 0.0);
    EXPECT_EQ(box[3], 480.0);
    for (int y : {0, 1, 183, 479})
        for (int x : {0, 1, 230, 639}) {
            MenuPoint p = menuPointAt(same, x, y);
            EXPECT_EQ(menuPixel(p.x), x);
            EXPECT_EQ(menuPixel(p.y), y);
        }
    EXPECT_EQ(menuFontHeight(same), MENU_FONT_HEIGHT);

    struct Case { int w, h; double scale; int left, bottom; };
    for (const Case& c : {Case{1920, 1080, 2.25, 240, 0}, Case{1280, 1024, 2.0, 0, 32},
                          Case{1280, 720, 1.5, 160, 0}}) {
        MenuView v = menuViewFor(c.w, c.h);
        EXPECT_DOUBLE_EQ(v.scale, c.scale) << c.w << "x" << c.h;
        EXPECT_EQ(v.left, c.left) << c.w << "x" << c.h;
        EXPECT_EQ(v.bottom, c.bottom) << c.w << "x" << c.h;
        menuProjectionBox(v, box);
        // Every hot spot's middle, where the drawing puts it, is clicked there.
        for (const MenuRect& r : {MAIN_SERVERS_BUTTON, SERVERS_JOIN_BUTTON, serverRow(6),
                                  optionsSpinner(OPTIONS_ROWS - 1).more}) {
            double mx = (r.x0 + r.x1) / 2.0, myUp = (r.y0 + r.y1) / 2.0;
            int wx = int((mx - box[0]) / (box[1] - box[0]) * v.windowWidth);
            int wyUp = int((myUp - box[2]) / (box[3] - box[2]) * v.windowHeight);
            MenuPoint p = menuPointAt(v, wx, v.windowHeight - wyUp);
            EXPECT_TRUE(rectContains(r, menuPixel(p.x), 480 - menuPixel(p.y)))
                << c.w << "x" << c.h << " at " << wx << "," << wyUp;
        }
        // The bars: the window's corner lies off the picture.
        MenuPoint corner = menuPointAt(v, 0, 0);
        EXPECT_TRUE(corner.x <= 0 && corner.y <= 0);
    }
    EXPECT_EQ(menuFontHeight(menuViewFor(1920, 1080)), 36);

    // Windows squeezed to nothing divide by nothing.
    for (const Case& c : {Case{1, 1}, Case{0, 0}, Case{640, 1}, Case{1, 480}, Case{-5, 30000}}) {
        MenuView v = menuViewFor(c.w, c.h);
        EXPECT_GT(v.scale, 0.0);
        MenuPoint p = menuPointAt(v, 65535, -65535);
        EXPECT_GE(menuPixel(p.x), 0);
        EXPECT_LE(menuPixel(p.y), 0);
        EXPECT_GE(menuFontHeight(v), 4);
        EXPECT_LE(menuFontHeight(v), 128);
    }
}

TEST(MatchFont, EighteenPixelsUpTo768LinesThenGrowingWithTheWindow) {
    for (int h : {-1, 0, 1, 480, 600, 768}) EXPECT_EQ(matchFontHeight(h), 18) << h;
    EXPECT_EQ(matchFontHeight(1080), 25);
    EXPECT_EQ(matchFontHeight(1536), 36);
    EXPECT_EQ(matchFontHeight(65535), 72);
}

TEST(HostableMaps, OnlyFoldersWithTheirMapAndASendableName) {
    std::string folder = tempFolder();
    ASSERT_FALSE(folder.empty());
    auto map = [&](const std::string& name, bool withFile) {
        ASSERT_EQ(mkdir((folder + "/" + name).c_str(), 0755), 0);
        if (withFile) writeFile(folder + "/" + name + "/" + name + ".bxm", "x");
    };
    std::string longest(protocol::MAX_MAP_NAME_LENGTH, 'l');
    map("hall", true);
    map("arena", true);
    map("empty", false);
    map("two words", true);
    map(longest, true);
    map(longest + "x", true);
    writeFile(folder + "/loose.bxm", "x");
    EXPECT_EQ(hostableMaps(folder.c_str()), (std::vector<std::string>{"arena", "hall", longest}));
    EXPECT_TRUE(hostableMaps((folder + "/missing").c_str()).empty());
    std::system(("rm -rf " + folder).c_str());
}

TEST(HostedServer, RefusesLimitsAServerCannotTakeWithoutStartingOne) {
    EXPECT_FALSE(startHostedServer("hall", HOST_PLAYERS_MIN - 1, 20, 0));
    EXPECT_FALSE(startHostedServer("hall", HOST_PLAYERS_MAX + 1, 20, 0));
    EXPECT_FALSE(startHostedServer("hall", 8, HOST_FRAGS_MIN - 1, 0));
    EXPECT_FALSE(startHostedServer("hall", 8, HOST_FRAGS_MAX + 1, 0));
    EXPECT_FALSE(startHostedServer("hall", 4, 20, 4));  // no place left for the player
    EXPECT_FALSE(startHostedServer("hall", 8, 20, -1));
    EXPECT_FALSE(startHostedServer("", 8, 20, 0));
    EXPECT_FALSE(startHostedServer("two words", 8, 20, 0));
    EXPECT_EQ(hostedServer.server, platform::NO_PROCESS);
    EXPECT_FALSE(hostedServerRunning());
    EXPECT_FALSE(startHostedBots());
    stopHostedServer();  // nothing hosted: nothing to do
}

}  // namespace
