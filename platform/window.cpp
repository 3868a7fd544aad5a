#include "platform/window.h"

#include "platform/window_gaps.h"

#include <SDL.h>
#include <cstdio>
#include <cstring>

#include "platform/system.h"
#include "platform/virtual_keys.h"

namespace platform {

struct Window {
    SDL_Window* sdl = nullptr;
    WindowProc proc = nullptr;
};

struct GlContext {
    SDL_GLContext sdl = nullptr;
};

namespace {

// Translation of an SDL key code to a Windows virtual-key code (0 if unknown).
uint32_t virtualKeyFromSdl(int sdlKeycode);

struct WindowClass {
    char name[64] = {};
    WindowProc proc = nullptr;
};

constexpr int CLASS_SLOTS = 4;
WindowClass classes[CLASS_SLOTS];
Window* currentWindow = nullptr;  // the window whose procedure gets the messages
bool quitPending = false;
bool videoReady = false;
SDL_DisplayMode requestedMode{};
bool modeRequested = false;

bool ensureVideo() {
    if (videoReady) return true;
    // The screen saver stays off while a game window exists (SDL's default,
    // stated so nobody turns it back on by accident).
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    // Closing the window is a message for the game, not a process exit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Keep the old-style mouse warping (no relative-mode emulation).
    SDL_SetHint(SDL_HINT_MOUSE_RELATIVE_MODE_WARP, "0");
    // A click that gives the window the focus is a click, as on Windows. On
    // X11, SDL otherwise drops a press read within 10 ms of the focus change,
    // which on a busy machine is every click queued behind it.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    videoReady = true;
    sys::endWhenTheDisplayGoes();
    return true;
}

WindowClass* findClass(const char* name) {
    for (WindowClass& c : classes)
        if (c.proc && std::strcmp(c.name, name) == 0) return &c;
    return nullptr;
}

bool translate(const SDL_Event& e, Message* m) {
    *m = Message{};
    switch (e.type) {
    case SDL_QUIT:  // a signal or the desktop asked the program to end
        m->type = MessageType::Close;
        return true;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            m->type = MessageType::Size;
            m->lParam = (uint32_t(e.window.data1) & 0xFFFF) | (uint32_t(e.window.data2) << 16);
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED: m->type = MessageType::SetFocus; return true;
        case SDL_WINDOWEVENT_FOCUS_LOST: m->type = MessageType::KillFocus; return true;
        case SDL_WINDOWEVENT_CLOSE: m->type = MessageType::Close; return true;
        default: return false;
        }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        uint32_t vk = virtualKeyFromSdl(e.key.keysym.sym);
        if (vk == 0) return false;
        bool down = e.type == SDL_KEYDOWN;
        // Alt, F10 and anything typed with Alt are system keys, as on Windows.
        bool system = vk == VK_MENU || vk == VK_F10 || (e.key.keysym.mod & KMOD_ALT);
        if (system)
            m->type = down ? MessageType::SysKeyDown : MessageType::SysKeyUp;
        else
            m->type = down ? MessageType::KeyDown : MessageType::KeyUp;
        m->wParam = vk;
        return true;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        if (e.button.button == SDL_BUTTON_LEFT)
            m->type = down ? MessageType::LButtonDown : MessageType::LButtonUp;
        else if (e.button.button == SDL_BUTTON_RIGHT)
            m->type = down ? MessageType::RButtonDown : MessageType::RButtonUp;
        else
            return false;
        return true;
    }
    default:
        return false;
    }
}

}  // namespace

long defaultWindowProc(const Message&) { return 0; }

bool registerWindowClass(const char* name, WindowProc proc) {
    if (!name || !proc || findClass(name)) return false;
    for (WindowClass& c : classes) {
        if (!c.proc) {
            std::snprintf(c.name, sizeof c.name, "%s", name);
            c.proc = proc;
            return true;
        }
    }
    return false;
}

bool unregisterWindowClass(const char* name) {
    WindowClass* c = findClass(name);
    if (!c) return false;
    *c = WindowClass{};
    return true;
}

namespace {
bool closestDisplayMode(int width, int height, int colourBits, SDL_DisplayMode* got) {
    if (!ensureVideo()) return false;
    SDL_DisplayMode want{};
    want.w = width;
    want.h = height;
    want.format = colourBits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    if (!SDL_GetClosestDisplayMode(0, &want, got)) return false;
    return got->w == width && got->h == height;
}
}  // namespace

bool hasDisplayMode(int width, int height, int colourBits) {
    SDL_DisplayMode got{};
    return closestDisplayMode(width, height, colourBits, &got);
}

bool changeDisplayMode(int width, int height, int colourBits) {
    SDL_DisplayMode got{};
    if (!closestDisplayMode(width, height, colourBits, &got)) return false;
    requestedMode = got;
    modeRequested = true;
    return true;
}

bool desktopDisplayMode(int* width, int* height, int* colourBits) {
    SDL_DisplayMode mode{};
    if (!ensureVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    if (mode.w <= 0 || mode.h <= 0) return false;
    *width = mode.w;
    *height = mode.h;
    int bits = int(SDL_BITSPERPIXEL(mode.format));
    *colourBits = bits > 16 ? 32 : 16;  // the depths a window can ask for
    return true;
}

void restoreDisplayMode() {
    // SDL gives the desktop mode back when the full-screen window goes away.
    modeRequested = false;
}

Window* createWindow(const char* className, const char* title, int width, int height,
                     int colourBits, ScreenFill fill) {
    WindowClass* c = findClass(className);
    if (!c || !ensureVideo()) return nullptr;
    int channel = colourBits <= 16 ? 5 : 8;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, colourBits <= 16 ? 6 : 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fill == ScreenFill::ModeSwitch) flags |= SDL_WINDOW_FULLSCREEN;
    else if (fill == ScreenFill::Desktop) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    else flags |= SDL_WINDOW_RESIZABLE;
    SDL_Window* sdl = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (!sdl) return nullptr;
    if (fill == ScreenFill::ModeSwitch && modeRequested) SDL_SetWindowDisplayMode(sdl, &requestedMode);
    Window* w = new Window;
    w->sdl = sdl;
    w->proc = c->proc;
    currentWindow = w;
    SDL_StartTextInput();  // Char messages for the menu's text fields
    Message create;
    create.type = MessageType::Create;
    w->proc(create);
    return w;
}

bool destroyWindow(Window* w) {
    if (!w) return false;
    if (currentWindow == w) currentWindow = nullptr;
    SDL_DestroyWindow(w->sdl);
    delete w;
    return true;
}

void showAndFocusWindow(Window* w) {
    if (!w) return;
    SDL_ShowWindow(w->sdl);
    SDL_RaiseWindow(w->sdl);
    SDL_SetWindowInputFocus(w->sdl);
    releaseStaleButtons(w->sdl);
}

void clientSize(Window* w, int* width, int* height) {
    SDL_GetWindowSize(w->sdl, width, height);
}

GlContext* createGlContext(Window* w) {
    if (!w) return nullptr;
    SDL_GLContext sdl = SDL_GL_CreateContext(w->sdl);
    if (!sdl) return nullptr;
    GlContext* c = new GlContext;
    c->sdl = sdl;
    return c;
}

bool makeCurrent(Window* w, GlContext* c) {
    if (!w || !c) return SDL_GL_MakeCurrent(nullptr, nullptr) == 0 || !videoReady;
    return SDL_GL_MakeCurrent(w->sdl, c->sdl) == 0;
}

bool deleteGlContext(GlContext* c) {
    if (!c) return false;
    SDL_GL_DeleteContext(c->sdl);
    delete c;
    return true;
}

void swapBuffers(Window* w) {
    if (w) SDL_GL_SwapWindow(w->sdl);
}

bool setSwapInterval(int interval) { return SDL_GL_SetSwapInterval(interval) == 0; }

namespace {
// Typed text arrives from SDL as UTF-8 runs; the game takes it one printable
// ASCII character at a time. Anything else (accents, emoji) has no glyph in
// the game's font and no place in a name or an address, so it is dropped.
char typedRun[SDL_TEXTINPUTEVENT_TEXT_SIZE] = {};
size_t typedAt = 0;

bool nextTypedChar(Message* out) {
    while (typedRun[typedAt] != '\0') {
        unsigned char c = static_cast<unsigned char>(typedRun[typedAt++]);
        if (c >= 0x20 && c <= 0x7E) {
            *out = Message{};
            out->type = MessageType::Char;
            out->wParam = c;
            return true;
        }
    }
    return false;
}
}  // namespace

bool peekMessage(Message* out) {
    // The quit request comes first: a screen whose construction failed must
    // end before it runs a single frame.
    if (quitPending) {
        quitPending = false;
        *out = Message{};
        out->type = MessageType::Quit;
        return true;
    }
    if (!videoReady) return false;
    if (nextTypedChar(out)) return true;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_TEXTINPUT) {
            std::memcpy(typedRun, e.text.text, sizeof typedRun);
            typedRun[sizeof typedRun - 1] = '\0';
            typedAt = 0;
            if (nextTypedChar(out)) return true;
            continue;
        }
        if (translate(e, out)) return true;
    }
    return false;
}

void dispatchMessage(const Message& m) {
    if (currentWindow && currentWindow->proc) currentWindow->proc(m);
}

void postQuitRequest() { quitPending = true; }

bool quitRequestPending() { return quitPending; }

void showCursor(bool show) {
    if (ensureVideo()) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

// While a window exists the cursor is read from the window's own motion
// events and warped through it: SDL then knows the warped position at once,
// so a frame right after a warp never measures the old movement twice.
void getCursorPos(int* x, int* y) {
    *x = *y = 0;
    if (!videoReady) return;
    if (!currentWindow) {
        SDL_GetGlobalMouseState(x, y);
        return;
    }
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(currentWindow->sdl, &wx, &wy);
    SDL_GetMouseState(x, y);
    *x += wx;
    *y += wy;
}

void setCursorPos(int x, int y) {
    if (!videoReady) return;
    if (!currentWindow) {
        SDL_WarpMouseGlobal(x, y);
        return;
    }
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(currentWindow->sdl, &wx, &wy);
    SDL_WarpMouseInWindow(currentWindow->sdl, x - wx, y - wy);
}

void screenToClient(Window* w, int* x, int* y) {
    if (!w) return;
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(w->sdl, &wx, &wy);
    *x -= wx;
    *y -= wy;
}

void showWarningBox(Window* owner, const char* text, const char* caption) {
    if (quitPending) return;  // a pending quit closes the box at once: only the first is seen
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    sys::beforeMessageBox();
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, owner ? owner->sdl : nullptr);
    sys::afterMessageBox();
}

namespace {
uint32_t virtualKeyFromSdl(int k) {
    if (k >= SDLK_a && k <= SDLK_z) return uint32_t(KEY_A + (k - SDLK_a));
    if (k >= SDLK_0 && k <= SDLK_9) return uint32_t(KEY_0 + (k - SDLK_0));
    if (k >= SDLK_F1 && k <= SDLK_F12) return uint32_t(VK_F1 + (k - SDLK_F1));
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return uint32_t(VK_NUMPAD0 + 1 + (k - SDLK_KP_1));
    switch (k) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_KP_0: return VK_NUMPAD0;
    default: return 0;
    }
}
}  // namespace

}  // namespace platform
