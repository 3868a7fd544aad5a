// The one game window and its OpenGL context. Each screen creates it in its
// constructor and destroys it in its destructor, so GL objects (textures, font
// lists) belong to one screen.
#pragma once
#include <cstdint>

namespace platform {
struct Window;
struct GlContext;
}  // namespace platform

struct GlWindow {
    platform::Window* hwnd = nullptr;     // owner of message boxes
    platform::Window* hdc = nullptr;      // the drawing surface (buffer swaps, fonts)
    platform::GlContext* hglrc = nullptr; // the current GL context
    const char* hinstance = nullptr;      // owner of the window class
    int32_t width = 640;                  // current client size
    int32_t height = 480;
    uint8_t fullscreen = 0;               // latest full-screen request
};

// Process lifetime; handles are set by createGlWindow and cleared by killGlWindow.
extern GlWindow glWindow;

constexpr const char* WINDOW_CLASS_NAME = "Window Class";

bool createGlWindow(const char* title, int width, int height, int colourBits, bool fullscreen);
bool killGlWindow();
void resizeGlScene(int width, int height);
void initGlState();
