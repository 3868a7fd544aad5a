// The menu: a splash on the first start, then pages of full-window pictures
// whose rectangular hot spots light up under a cross cursor. The MenuScreen
// owns its pictures and click sound and the window it opens.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "client/assets/sound.h"
#include "client/assets/texture.h"
#include "client/ui/menu_layout.h"
#include "client/ui/menu_view.h"
#include "client/ui/options_page.h"
#include "client/ui/replays_page.h"
#include "client/ui/servers_page.h"
#include "platform/window.h"

// A hot spot in window pixels, y counted upwards from the bottom edge.
struct MenuButton {
    int32_t corners[4][2];  // lower left, lower right, upper right, upper left
    int32_t target;         // page to show, or MENU_START_MATCH / MENU_QUIT
};

struct MenuPage {
    Image background;              // 640 x 480, 24 bits
    std::vector<MenuButton> buttons;
    int32_t hoveredButton = -1;
};

// Targets beyond the page numbers.
constexpr int32_t MENU_START_MATCH = 3;  // the clicked button's index is the fighter
constexpr int32_t MENU_QUIT = 4;
// Pages beyond the pictures with hot spots: drawn over with the bitmap font.
constexpr int32_t MENU_SERVERS = 5;
constexpr int32_t MENU_OPTIONS = 6;
constexpr int32_t MENU_REPLAYS = 7;
// A recording chosen on the Replays page: the viewer follows the menu.
constexpr int32_t MENU_PLAY_REPLAY = 8;

constexpr int MENU_WIDTH = 640;
constexpr int MENU_HEIGHT = 480;

class MenuScreen {
public:
    explicit MenuScreen(bool firstRun);
    ~MenuScreen();
    MenuScreen(const MenuScreen&) = delete;
    MenuScreen& operator=(const MenuScreen&) = delete;

    void update();
    void render();
    // Opens a page before the first frame (the Replays page after the viewer).
    void showPage(int32_t page) {
        currentPage = page;
        openPage(page);
    }

    Image cursorImage;
    Image splashImage;
    std::vector<MenuPage> pages;
    int32_t currentPage = 0;
    uint8_t quitProgram = 1;
    int32_t chosenFighter = 0;
    Sound clickSound = nullptr;
    Image serversPicture;
    Image optionsPicture;
    ServersPage serversPage;
    OptionsPage optionsPage{"../config.cfg", platform::hasDisplayMode, platform::desktopDisplayMode};
    Image replaysPicture;
    ReplaysPage replaysPage;
    std::string chosenReplay;  // the recording to play, with MENU_PLAY_REPLAY

private:
    void buildPages();
    void openPage(int32_t page);
    void updateServers(int mx, int myFromBottom, bool click);
    void updateOptions(int mx, int myFromBottom, bool click);
    void updateReplays(int mx, int myFromBottom, bool click);
    void host();
    void traceServerRows();
    void traceReplayRows();
    std::string hostStatus() const;
    std::vector<std::string> tracedRows;
    std::string tracedFields;
    bool hostFailed = false;
};

// The fit of the pictures to the window as it is now (client size changes
// arrive between frames): the one mapping of clicks and drawing.
MenuView menuView();

// Strict containment: a cursor on a button's edge is outside it.
bool buttonContains(const MenuButton& button, int mx, int myFromBottom);

// Drawing (GL): a picture fitted to the window (menuView) with bars of its
// background colour, which also sets up the menu's 640 x 480 space for the
// rest; the highlight; the cursor centred on a menu point. A picture of the
// wrong size or depth is not drawn, so no draw reads past its pixels.
void drawMenuPicture(const Image& picture);
void drawMenuHighlight(const MenuButton& button);
void drawMenuCursor(const Image& cursor, const MenuPoint& at);
void drawMenuSpot(const MenuRect& spot);
// The Servers and Options pages' text, in the screen's bitmap font.
void drawServersPage(const ServersPage& page, bool caretOn, const std::string& hostStatus);
void drawOptionsPage(const OptionsPage& page);
void drawReplaysPage(const ReplaysPage& page);
