#include "client/core/glwindow.h"

#include "client/core/records.h"
#include "platform/window.h"

namespace {
WindowMaker maker = {nullptr, nullptr};

bool openWindow(const VideoMode& mode) {
    if (createGlWindow("Blastavia", mode.width, mode.height, mode.colourBits,
                       (settings.fullscreen & 0xFF) != 0))
        return true;
    platform::showCursor(true);
    platform::showWarningBox(glWindow.hwnd, "Video initialization failed", "Error");
    platform::postQuitRequest();
    return false;
}
}  // namespace

void setWindowMaker(const WindowMaker& m) { maker = m; }

bool createGlWindow(const char* title, int width, int height, int colourBits, bool fullscreen) {
    return maker.create && maker.create(title, width, height, colourBits, fullscreen);
}

bool killGlWindow() { return !maker.kill || maker.kill(); }

bool initMenuVideo() {
    loadSettings("../config.cfg");
    return openWindow(MENU_VIDEO_MODE);
}

bool initMatchVideo() {
    loadSettings("../config.cfg");
    return openWindow(videoModeFor(settings.videoMode));
}

void fatalError(const char* message) {
    platform::showCursor(true);
    platform::showWarningBox(glWindow.hwnd, message, "Error");
    platform::postQuitRequest();
}
