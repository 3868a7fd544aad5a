#include "client/ui/menu.h"

#include <stddef.h>
#include <cstdio>

#include "client/net/hosted_server.h"
#include "client/core/settings_file.h"
#include "client/ui/font.h"

#include "client/core/records.h"
#include "client/core/trace.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/window.h"

namespace {

MenuButton makeButton(int x0, int x1, int y0, int y1, int target) {
    return MenuButton{{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, target};
}

// The cursor on the picture, in menu pixels, y counted downwards as the
// desktop reports it.
MenuPoint cursorOnMenu() {
    MouseDelta position = mouseDelta();  // absolute while mouse-look is off
    int x = position.x, y = position.y;
    platform::screenToClient(glWindow.hwnd, &x, &y);
    return menuPointAt(menuView(), x, y);
}

// The same in whole menu pixels, for the hot spots.
void cursorInWindow(int* mx, int* my) {
    MenuPoint p = cursorOnMenu();
    *mx = menuPixel(p.x);
    *my = menuPixel(p.y);
}

}  // namespace

MenuView menuView() { return menuViewFor(glWindow.width, glWindow.height); }

bool buttonContains(const MenuButton& button, int mx, int myFromBottom) {
    return button.corners[0][0] < mx && mx < button.corners[1][0] &&
           button.corners[0][1] < myFromBottom && myFromBottom < button.corners[2][1];
}

MenuScreen::MenuScreen(bool firstRun) {
    initMenuVideo();
    if (firstRun) {
        loadTga("../data/menu/logo.tga", splashImage);
        drawMenuPicture(splashImage);
        platform::swapBuffers(glWindow.hdc);
        trace(TRACE_MENU_SPLASH);
        platform::sleepMs(3000);
        freeImage(splashImage);
    }
    inputState.mouseLook = 0;
    loadTga("../data/fighter/cross.tga", cursorImage);
    quitProgram = 1;
    currentPage = 0;
    buildPages();
    loadTga("../data/menu/servers.tga", serversPicture);
    loadTga("../data/menu/options.tga", optionsPicture);
    loadTga("../data/menu/replays.tga", replaysPicture);
    createFont(menuFontHeight(menuView()), MENU_FONT_WEIGHT, "Lucida Console");
    inputState.typedCount = 0;
    loadSound(clickSound, "../data/sfx/click.wav");
    trace(TRACE_MENU_OPENED, firstRun ? 1 : 0);
}

void MenuScreen::buildPages() {
    const char* pictures[3] = {"../data/menu/main.tga", "../data/menu/fighters.tga",
                               "../data/menu/credits.tga"};
    for (int p = 0; p < 3; ++p) {
        MenuPage page;
        loadTga(pictures[p], page.background);
        if (p == 0) {
            page.buttons.push_back(makeButton(230, 410, 280, 315, 1));          // play
            page.buttons.push_back(makeButton(230, 410, 223, 258, 2));          // credits
            page.buttons.push_back(makeButton(230, 410, 166, 201, MENU_QUIT));  // quit
            const MenuRect& s = MAIN_SERVERS_BUTTON;
            const MenuRect& o = MAIN_OPTIONS_BUTTON;
            page.buttons.push_back(makeButton(s.x0, s.x1, s.y0, s.y1, MENU_SERVERS));
            page.buttons.push_back(makeButton(o.x0, o.x1, o.y0, o.y1, MENU_OPTIONS));
            const MenuRect& r = MAIN_REPLAYS_BUTTON;
            page.buttons.push_back(makeButton(r.x0, r.x1, r.y0, r.y1, MENU_REPLAYS));
        } else if (p == 1) {
            page.buttons.push_back(makeButton(35, 190, 115, 360, MENU_START_MATCH));
            page.buttons.push_back(makeButton(225, 380, 115, 360, MENU_START_MATCH));
            page.buttons.push_back(makeButton(445, 600, 115, 360, MENU_START_MATCH));
        }
        pages.push_back(page);
    }
}

MenuScreen::~MenuScreen() {
    freeImage(cursorImage);
    for (MenuPage& page : pages) freeImage(page.background);
    pages.clear();
    freeImage(serversPicture);
    freeImage(optionsPicture);
    freeImage(replaysPicture);
    freeSound(clickSound);
    deleteFont();
    killGlWindow();
    trace(TRACE_MENU_CLOSED);
}

void MenuScreen::openPage(int32_t page) {
    if (page == MENU_SERVERS) {
        serversPage.open(settingsCopy(), hostableMaps("../data/maps"));
        serversPage.browser.open();
        serversPage.browser.setHosting(hostedServerRunning());
        tracedFields.clear();
    } else if (page == MENU_OPTIONS) {
        optionsPage.open(settingsCopy());
    } else if (page == MENU_REPLAYS) {
        replaysPage.open();
        traceReplayRows();
    }
}

void MenuScreen::update() {
    // A press counts once: the update takes it, and no button is left held
    // after it (the window procedure sets a button on button-down only).
    bool click = takeLeftPress();
    if (inputState.keys[VK_ESCAPE]) currentPage = 0;
    int mx, my;
    cursorInWindow(&mx, &my);
    if (currentPage == MENU_SERVERS) updateServers(mx, MENU_HEIGHT - my, click);
    // Off the page nobody asks, and replies waiting would be stale on return.
    else serversPage.browser.close();
    if (currentPage == MENU_OPTIONS) updateOptions(mx, MENU_HEIGHT - my, click);
    if (currentPage == MENU_REPLAYS) updateReplays(mx, MENU_HEIGHT - my, click);
    inputState.typedCount = 0;  // typed on another page, or already taken
    if (currentPage < 0 || currentPage >= int32_t(pages.size())) {
        return;
    }
    MenuPage& page = pages[size_t(currentPage)];
    page.hoveredButton = -1;
    for (size_t i = 0; i < page.buttons.size(); ++i) {
        int mx, my;
        cursorInWindow(&mx, &my);
        if (buttonContains(page.buttons[i], mx, MENU_HEIGHT - my)) page.hoveredButton = int32_t(i);
    }
    if (click && page.hoveredButton != -1) {
        playSound(clickSound, CHANNEL_STEP);
        int32_t clicked = page.hoveredButton;
        currentPage = page.buttons[size_t(clicked)].target;
        trace(TRACE_MENU_CLICK, currentPage);
        if (currentPage == MENU_START_MATCH) {
            quitProgram = 0;
            chosenFighter = clicked;
            platform::postQuitRequest();
        }
        if (currentPage == MENU_QUIT) platform::postQuitRequest();
        openPage(currentPage);
    }
}

void MenuScreen::render() {
    if (currentPage == MENU_SERVERS || currentPage == MENU_OPTIONS || currentPage == MENU_REPLAYS) {
        // The pages' text follows the picture's size.
        fitFont(menuFontHeight(menuView()), MENU_FONT_WEIGHT, "Lucida Console");
        int mx, my;
        cursorInWindow(&mx, &my);
        MenuRect spot;
        if (currentPage == MENU_SERVERS) {
            drawMenuPicture(serversPicture);
            bool caretOn = platform::timeGetTime() / 500 % 2 == 0;
            drawServersPage(serversPage, caretOn, hostStatus());
            if (serversPage.hovered(mx, MENU_HEIGHT - my, &spot)) drawMenuSpot(spot);
        } else if (currentPage == MENU_REPLAYS) {
            drawMenuPicture(replaysPicture);
            drawReplaysPage(replaysPage);
            if (replaysPage.hovered(mx, MENU_HEIGHT - my, &spot)) drawMenuSpot(spot);
        } else {
            drawMenuPicture(optionsPicture);
            drawOptionsPage(optionsPage);
            if (optionsPage.hovered(mx, MENU_HEIGHT - my, &spot)) drawMenuSpot(spot);
        }
        drawMenuCursor(cursorImage, cursorOnMenu());
        platform::swapBuffers(glWindow.hdc);
        return;
    }
    if (currentPage == MENU_START_MATCH || currentPage == MENU_QUIT || currentPage == MENU_PLAY_REPLAY)
        return;
    if (currentPage < 0 || currentPage >= int32_t(pages.size())) return;
    const MenuPage& page = pages[size_t(currentPage)];
    drawMenuPicture(page.background);
    if (page.hoveredButton != -1) drawMenuHighlight(page.buttons[size_t(page.hoveredButton)]);
    drawMenuCursor(cursorImage, cursorOnMenu());
    platform::swapBuffers(glWindow.hdc);
}

void MenuScreen::updateServers(int mx, int my, bool click) {
    serversPage.refresh(platform::timeGetTime(), hostedServerRunning());
    // The hosted server answering shows it listens: its bots may join now.
    bool botsWanted = hostedServer.botCount > 0 && !hostedServer.botsStarted;
    if (botsWanted && serversPage.browser.count() > 0 && serversPage.browser.server(0).hosted &&
        startHostedBots())  // the hosted server is always listed first
        trace(TRACE_HOST_BOTS, int(hostedServer.botCount), int(hostedServer.bots));
    traceServerRows();

    ServersAction action = ServersAction::None;
    TypedKey keys[TYPED_KEYS_KEPT];
    int n = takeTyped(keys, TYPED_KEYS_KEPT);
    for (int i = 0; i < n && action == ServersAction::None; ++i) action = serversPage.typed(keys[i]);
    if (click && action == ServersAction::None) {
        MenuRect spot;
        if (serversPage.hovered(mx, my, &spot)) playSound(clickSound, CHANNEL_STEP);
        action = serversPage.clicked(mx, my);
    }
    std::string fields = std::string(serversPage.address.text()) + " " + serversPage.name.text();
    if (fields != tracedFields) {
        trace(TRACE_SERVERS_FIELDS, serversPage.address.text(), serversPage.name.text());
        tracedFields = fields;
    }

    if (action == ServersAction::Host) {
        host();
    } else if (action == ServersAction::StopHost) {
        if (hostedServerRunning()) trace(TRACE_HOST_STOPPED);
        stopHostedServer();
        hostFailed = false;
    } else if (action == ServersAction::Join) {
        Settings chosen = settingsCopy();
        platform::copyText(chosen.serverName, serversPage.chosenServer());
        platform::copyText(chosen.playerName, serversPage.name.empty() ? "Unknown"
                                                                         : serversPage.playerName());
        // The match reads the settings file again: held when it cannot keep them.
        bool saved = saveOrHoldSettings("../config.cfg", chosen, KEY_SERVER_NAME | KEY_PLAYER_NAME);
        trace(TRACE_SERVER_CHOSEN, chosen.serverName, chosen.playerName, saved ? 1 : 0);
        currentPage = 1;
        trace(TRACE_MENU_CLICK, currentPage);
    }
}

void MenuScreen::host() {
    const ServersPage& p = serversPage;
    hostFailed = !startHostedServer(p.mapChoice().c_str(), p.maxPlayers, p.fragLimit, p.botCount);
    if (hostFailed) return;
    serversPage.browser.setHosting(true);
    trace(TRACE_HOST_STARTED, hostedServer.mapName, int(hostedServer.maxPlayers),
          int(hostedServer.fragLimit), int(hostedServer.botCount), int(hostedServer.server));
}

std::string MenuScreen::hostStatus() const {
    if (hostFailed) return "Could not start the server";
    if (hostedServer.server == platform::NO_PROCESS && hostedServer.mapName[0] != '\0')
        return "The server ended: see server.log";
    if (hostedServer.server == platform::NO_PROCESS) return "";
    for (size_t i = 0; i < serversPage.browser.count(); ++i)
        if (serversPage.browser.server(i).hosted) return std::string("Hosting ") + hostedServer.mapName;
    return "Starting the server...";
}

void MenuScreen::traceServerRows() {
    const ServerBrowser& b = serversPage.browser;
    tracedRows.resize(b.count());
    for (size_t i = 0; i < b.count(); ++i) {
        const FoundServer& s = b.server(i);
        char line[160];
        std::snprintf(line, sizeof line, TRACE_SERVER_LISTED, int(i), s.addressText, s.mapName,
                      int(s.occupied), int(s.maxPlayers), int(s.fragLimit), s.hosted ? 1 : 0);
        if (tracedRows[i] == line) continue;
        tracedRows[i] = line;
        trace(TRACE_SERVER_LISTED, int(i), s.addressText, s.mapName, int(s.occupied),
              int(s.maxPlayers), int(s.fragLimit), s.hosted ? 1 : 0);
    }
}

void MenuScreen::updateOptions(int mx, int my, bool click) {
    int row = click ? optionsPage.clicked(mx, my) : -1;
    if (row < 0) return;
    playSound(clickSound, CHANNEL_STEP);
    // A mode passed over on the way is refused as a full-screen mode is.
    if (optionsPage.tooLargeMode()[0] != '\0')
        trace(TRACE_OPTION_REFUSED, row, optionsPage.tooLargeMode());
    if (optionsPage.status() == SaveStatus::Refused) {
        trace(TRACE_OPTION_REFUSED, row, optionsPage.missingMode());
        return;
    }
    char value[40];
    optionsPage.valueText(row, value, sizeof value);
    trace(TRACE_OPTION_SET, row, value, optionsPage.status() == SaveStatus::Saved ? 1 : 0);
}
