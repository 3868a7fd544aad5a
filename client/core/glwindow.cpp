#include "client/core/glwindow.h"

#include "client/core/records.h"
#include "platform/window.h"

namespace {
WindowMaker maker = {nullptr, nullptr};

bool openWindow(const VideoMode& mode) {
    int fullscreen = WINDOWED;
    if ((settings.fullscreen & 0xFF) != 0)
        fullscreen = mode.desktop ? FULLSCREEN_DESKTOP : FULLSCREEN_MODE_SWITCH;
    if (createGlWindow("Blastavia", mode.width, mode.height, mode.colourBits, fullscreen))
        return true;
    platform::showCursor(true);
    platform::showWarningBox(glWindow.hwnd, "Video initialization failed", "Error");
    platform::postQuitRequest();
    return false;
}
}  // namespace

VideoMode desktopVideoMode() {
    VideoMode mode{0, 0, 32, true};
    if (!platform::desktopDisplayMode(&mode.width, &mode.height, &mode.colourBits))
        return VideoMode{0, 0, 32, true};
    return mode;
}

void setWindowMaker(const WindowMaker& m) { maker = m; }

bool createGlWindow(const char* title, int width, int height, int colourBits, int fullscreen) {
    return maker.create && maker.create(title, width, height, colourBits, fullscreen);
}

bool killGlWindow() { return !maker.kill || maker.kill(); }

bool initMenuVideo() {
    loadSettings("../config.cfg");
    // Full screen over the desktop needs no mode of the menu's size: the menu
    // takes the whole desktop and draws its pictures to fit.
    bool overDesktop = settings.videoMode == VIDEO_MODE_DESKTOP && (settings.fullscreen & 0xFF) != 0;
    return openWindow(overDesktop ? videoModeFor(VIDEO_MODE_DESKTOP, desktopVideoMode())
                                  : MENU_VIDEO_MODE);
}

bool initMatchVideo() {
    loadSettings("../config.cfg");
    int32_t row = settings.videoMode;
    return openWindow(videoModeFor(row, row == VIDEO_MODE_DESKTOP ? desktopVideoMode() : VideoMode{}));
}

void fatalError(const char* message) {
    platform::showCursor(true);
    platform::showWarningBox(glWindow.hwnd, message, "Error");
    platform::postQuitRequest();
}
