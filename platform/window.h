// The window, its OpenGL context, its message queue, the cursor and the
// warning box, over SDL2. The rest of the client sees only these types: keys
// arrive as Windows virtual-key codes, window events as the messages a Windows
// window procedure would get, so the game's input code reads like the original.
// A Window and a GlContext are owned by whoever created them and must be
// released with destroyWindow / deleteGlContext.
#pragma once
#include <cstdint>

namespace platform {

enum class MessageType : uint8_t {
    None,
    Quit,         // the quit request (postQuitRequest)
    Create,       // sent once while a window is being created
    Size,         // lParam: client width in the low word, height in the high word
    SetFocus,
    KillFocus,
    Close,        // the user asked to close the window
    KeyDown,      // wParam: virtual-key code; repeats while held
    KeyUp,
    SysKeyDown,   // Alt, F10 and keys pressed with Alt: not game keys
    SysKeyUp,
    SysCommand,   // wParam: system command code
    LButtonDown,
    LButtonUp,
    RButtonDown,
    RButtonUp,
    Char,         // wParam: one printable ASCII character typed (' '..'~')
};

struct Message {
    MessageType type = MessageType::None;
    uint32_t wParam = 0;
    uint32_t lParam = 0;
};

// System commands a game window refuses while it exists.
constexpr uint32_t SC_SCREENSAVE = 0xF140;
constexpr uint32_t SC_MONITORPOWER = 0xF170;

// A window procedure returns 0 for a handled message, or defaultWindowProc's result.
using WindowProc = long (*)(const Message&);
long defaultWindowProc(const Message& m);

struct Window;
struct GlContext;

// A class ties a name to a window procedure; names are unique while registered.
bool registerWindowClass(const char* name, WindowProc proc);
bool unregisterWindowClass(const char* name);

// Ask for a full-screen display mode; false if the display has no such mode.
// The mode takes effect with the next full-screen window.
bool changeDisplayMode(int width, int height, int colourBits);
void restoreDisplayMode();
// Whether changeDisplayMode would succeed, without asking for the mode.
bool hasDisplayMode(int width, int height, int colourBits);
// The desktop's own mode (the first display's resolution and colour depth);
// false, with nothing written, when the display reports none.
bool desktopDisplayMode(int* width, int* height, int* colourBits);

// How a window fills the screen: not at all, in the display mode asked for
// with changeDisplayMode, or over the whole desktop in its own mode (no mode
// switch, so any display can do it).
enum class ScreenFill : uint8_t { Windowed, ModeSwitch, Desktop };

// A window whose client area is width x height at the screen's top-left, with a
// title bar, that the player may resize or maximise (Size messages follow), or
// full screen. Colour bits 16 or 32, 16-bit depth, double buffered. Dispatches
// Create to the class's procedure before returning.
Window* createWindow(const char* className, const char* title, int width, int height,
                     int colourBits, ScreenFill fill);
bool destroyWindow(Window* w);
void showAndFocusWindow(Window* w);
void clientSize(Window* w, int* width, int* height);

GlContext* createGlContext(Window* w);
bool makeCurrent(Window* w, GlContext* c);  // (nullptr, nullptr): none current
bool deleteGlContext(GlContext* c);
void swapBuffers(Window* w);
// Whether each swap of the current context waits for the display's vertical
// refresh (1) or not (0). False when the driver does not let us choose; it
// then swaps as it likes.
bool setSwapInterval(int interval);

// The message queue. peekMessage removes and returns the next message, if any.
bool peekMessage(Message* out);
void dispatchMessage(const Message& m);
void postQuitRequest();
bool quitRequestPending();

// The cursor, in screen coordinates.
void showCursor(bool show);
void getCursorPos(int* x, int* y);
void setCursorPos(int x, int y);
void screenToClient(Window* w, int* x, int* y);

// A modal warning box owned by `owner` (may be null). It is also written to
// standard error. With a quit request pending it closes at once, so of several
// fatal errors only the first is seen.
void showWarningBox(Window* owner, const char* text, const char* caption);

}  // namespace platform
