// The one game window and its OpenGL context, as the rest of the game sees it:
// its handles and client size (the record `glWindow`, client/core/records.h).
// Each screen opens it in its constructor and closes it in its destructor, so
// GL objects (textures, font lists) belong to one screen. The shell makes the
// window (client/shell/) and plugs that in at start: without it (tests, bots)
// no window opens.
#pragma once
#include <cstdint>

#include "client/core/settings.h"

namespace platform {
struct Window;
struct GlContext;
}  // namespace platform

struct GlWindow {
    platform::Window* hwnd = nullptr;     // owner of message boxes
    platform::Window* hdc = nullptr;      // the drawing surface (buffer swaps, fonts)
    platform::GlContext* hglrc = nullptr; // the current GL context
    const char* hinstance = "game";       // owner of the window class
    int32_t width = 640;                  // current client size
    int32_t height = 480;
    uint8_t fullscreen = 0;               // latest full-screen request (below)
};

// What GlWindow::fullscreen holds: a window the player may resize; full screen
// in a display mode of its own (the desktop's is restored when it closes); full
// screen over the desktop in the desktop's own mode (nothing to restore).
constexpr uint8_t WINDOWED = 0;
constexpr uint8_t FULLSCREEN_MODE_SWITCH = 1;
constexpr uint8_t FULLSCREEN_DESKTOP = 2;

constexpr const char* WINDOW_CLASS_NAME = "Window Class";

// What makes and ends windows; the shell's by default once plugged in.
struct WindowMaker {
    bool (*create)(const char* title, int width, int height, int colourBits, int fullscreen);
    bool (*kill)();
};
void setWindowMaker(const WindowMaker& maker);

// Opens the window (handles set, the size recorded, its GL context current).
// `fullscreen` is one of the three above (a true flag is a mode switch). False,
// with nothing left open, when it cannot be made.
bool createGlWindow(const char* title, int width, int height, int colourBits, int fullscreen);
// Closes it and clears the handles; true when there was nothing to close.
bool killGlWindow();

// The desktop's own mode as the display reports it (0 x 0 when it reports
// none), for the desktop row of the video modes.
VideoMode desktopVideoMode();

// Re-read the settings and open the menu window (640 x 480 x 16) or the match
// window (the configured video mode). The desktop's mode (videoMode 8) with
// full screen covers the desktop without a mode switch, for the menu as well.
// On failure: "Video initialization failed" box, quit request, false.
bool initMenuVideo();
bool initMatchVideo();

// Shows a warning box captioned "Error" (and writes the text to standard error),
// then asks the program to quit. Returns to the caller, which carries on.
void fatalError(const char* message);
