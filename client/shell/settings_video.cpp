#include "client/shell/glwindow.h"
#include "client/shell/settings.h"
#include "platform/window.h"

namespace {

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

bool initMenuVideo() {
    loadSettings("../config.cfg");
    return openWindow({640, 480, 16});
}

bool initMatchVideo() {
    loadSettings("../config.cfg");
    return openWindow(videoModeFor(settings.videoMode));
}
