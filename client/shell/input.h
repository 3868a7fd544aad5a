// Keyboard and mouse as the window procedure records them, the mouse-look
// measurement and the fatal-error path. Main thread only.
#pragma once
#include <cstdint>

namespace platform {
struct Message;
}

// Windows virtual-key codes the game acts on (letters are their capitals).
enum : uint32_t {
    VK_TAB = 0x09,
    VK_CONTROL = 0x11,
    VK_ESCAPE = 0x1B,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_F12 = 0x7B,
    KEY_A = 0x41,
    KEY_D = 0x44,
    KEY_S = 0x53,
    KEY_W = 0x57,
    KEY_X = 0x58,
    KEY_Z = 0x5A,
};

// One key press (virtual-key code, repeats included) or one typed printable
// character, in the order they came: what the menu's text fields read.
struct TypedKey {
    uint32_t virtualKey = 0;  // 0 for a typed character
    char character = 0;       // 0 for a key press
};
constexpr int TYPED_KEYS_KEPT = 32;

struct InputState {
    uint8_t keys[256] = {};    // 1 while the key with that virtual-key code is held
    uint8_t leftButton = 0;
    uint8_t rightButton = 0;   // recorded; nothing acts on it
    uint8_t mouseLook = 0;     // 1: mouseDelta measures movement and re-centres
    uint8_t windowActive = 1;  // frames run only while the window has the focus
    // Typed since the menu last took them; beyond TYPED_KEYS_KEPT they are
    // dropped, so a screen that never reads them (the match) loses nothing.
    TypedKey typed[TYPED_KEYS_KEPT];
    int typedCount = 0;
};

// Appends to inputState.typed (dropped when full); takeTyped empties it.
void queueTyped(uint32_t virtualKey, char character);
int takeTyped(TypedKey* out, int max);

// Process lifetime; written by windowProc, and by the screens as the game says.
extern InputState inputState;

// The window procedure of the game's window class.
long windowProc(const platform::Message& m);

struct MouseDelta {
    int32_t x, y;
};
// In mouse-look mode the cursor movement since the last call (cursor pinned at
// the window centre); otherwise the cursor's screen position.
MouseDelta mouseDelta();
// Replace the measurement (nullptr restores it); tests move the mouse this way.
using MouseDeltaSource = MouseDelta (*)();
void setMouseDeltaSource(MouseDeltaSource source);
// The window's own measurement; the window plugs it in when it opens, so
// programs without a window link no window code and read a still mouse.
void setWindowMouseSource(MouseDeltaSource source);
MouseDelta windowMouseDelta();

// Shows a warning box captioned "Error" (and writes the text to standard error),
// then asks the program to quit. Returns to the caller, which carries on.
void fatalError(const char* message);
