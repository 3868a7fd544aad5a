#include "client/shell/glwindow.h"

#include <GL/gl.h>

#include "client/core/records.h"
#include "client/shell/window_proc.h"
#include "platform/window.h"

namespace {

bool endGlWindow();

bool makeGlWindow(const char* title, int width, int height, int colourBits, int fullscreen) {
    glWindow.width = width;
    glWindow.height = height;
    glWindow.fullscreen = uint8_t(fullscreen == FULLSCREEN_DESKTOP ? FULLSCREEN_DESKTOP
                                  : fullscreen ? FULLSCREEN_MODE_SWITCH : WINDOWED);
    setWindowMouseSource(windowMouseDelta);

    if (!platform::registerWindowClass(WINDOW_CLASS_NAME, windowProc)) return false;

    // From here every failure releases what it made, the class included, so the
    // next attempt can register it again.
    bool modeSwitch = glWindow.fullscreen == FULLSCREEN_MODE_SWITCH;
    if (modeSwitch && !platform::changeDisplayMode(width, height, colourBits)) {
        glWindow.fullscreen = WINDOWED;
        endGlWindow();
        return false;
    }

    platform::ScreenFill fill = modeSwitch ? platform::ScreenFill::ModeSwitch
                                : glWindow.fullscreen == FULLSCREEN_DESKTOP ? platform::ScreenFill::Desktop
                                                                            : platform::ScreenFill::Windowed;
    glWindow.hwnd = platform::createWindow(WINDOW_CLASS_NAME, title, width, height, colourBits, fill);
    if (!glWindow.hwnd) {
        endGlWindow();
        return false;
    }
    glWindow.hdc = glWindow.hwnd;
    glWindow.hglrc = platform::createGlContext(glWindow.hwnd);
    if (!glWindow.hglrc || !platform::makeCurrent(glWindow.hdc, glWindow.hglrc)) {
        endGlWindow();
        return false;
    }

    // A driver that will not choose leaves the frame cap to do the pacing.
    platform::setSwapInterval(settings.vsync ? 1 : 0);
    platform::showAndFocusWindow(glWindow.hwnd);
    // Over the desktop the window takes the desktop's size, whatever was asked.
    if (glWindow.fullscreen == FULLSCREEN_DESKTOP) platform::clientSize(glWindow.hwnd, &width, &height);
    resizeGlScene(width, height);
    initGlState();
    return true;
}

bool endGlWindow() {
    if (glWindow.fullscreen == FULLSCREEN_MODE_SWITCH) platform::restoreDisplayMode();
    if (glWindow.hglrc) {
        if (!platform::makeCurrent(nullptr, nullptr)) return false;
        bool deleted = platform::deleteGlContext(glWindow.hglrc);
        glWindow.hglrc = nullptr;
        if (!deleted) return false;
    }
    glWindow.hdc = nullptr;  // the surface belongs to the window; nothing to release
    if (glWindow.hwnd) {
        bool destroyed = platform::destroyWindow(glWindow.hwnd);
        glWindow.hwnd = nullptr;
        if (!destroyed) return false;
    }
    platform::unregisterWindowClass(WINDOW_CLASS_NAME);
    return true;
}

}  // namespace

void useGlWindows() { setWindowMaker({makeGlWindow, endGlWindow}); }

void resizeGlScene(int width, int height) {
    // Nothing later divides by a side of 0 (the projection's aspect, the menu's fit).
    if (height <= 0) height = 1;
    if (width <= 0) width = 1;
    glWindow.width = width;
    glWindow.height = height;
    glViewport(0, 0, width, height);
}

void initGlState() {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_2D);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_COLOR_MATERIAL);
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}
