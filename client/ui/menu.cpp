#include "client/ui/menu.h"

#include <stddef.h>

#include "client/shell/glwindow.h"
#include "client/shell/input.h"
#include "client/shell/settings.h"
#include "client/shell/trace.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace {

MenuButton makeButton(int x0, int x1, int y0, int y1, int target) {
    return MenuButton{{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, target};
}

// The cursor in window pixels, y counted downwards as the desktop reports it.
void cursorInWindow(int* mx, int* my) {
    MouseDelta position = mouseDelta();  // absolute while mouse-look is off
    *mx = position.x;
    *my = position.y;
    platform::screenToClient(glWindow.hwnd, mx, my);
}

}  // namespace

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
    freeSound(clickSound);
    killGlWindow();
    trace(TRACE_MENU_CLOSED);
}

void MenuScreen::update() {
    if (inputState.keys[VK_ESCAPE]) currentPage = 0;
    if (currentPage < 0 || currentPage >= int32_t(pages.size())) return;
    MenuPage& page = pages[size_t(currentPage)];
    page.hoveredButton = -1;
    for (size_t i = 0; i < page.buttons.size(); ++i) {
        int mx, my;
        cursorInWindow(&mx, &my);
        if (buttonContains(page.buttons[i], mx, MENU_HEIGHT - my)) page.hoveredButton = int32_t(i);
    }
    if (inputState.leftButton && page.hoveredButton != -1) {
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
    }
    // A press counts once: the window procedure sets it on button-down only.
    inputState.leftButton = 0;
    inputState.rightButton = 0;
}

void MenuScreen::render() {
    if (currentPage == MENU_START_MATCH || currentPage == MENU_QUIT) return;
    if (currentPage < 0 || currentPage >= int32_t(pages.size())) return;
    const MenuPage& page = pages[size_t(currentPage)];
    drawMenuPicture(page.background);
    if (page.hoveredButton != -1) drawMenuHighlight(page.buttons[size_t(page.hoveredButton)]);
    int mx, my;
    cursorInWindow(&mx, &my);
    drawMenuCursor(cursorImage, mx, my);
    platform::swapBuffers(glWindow.hdc);
}
