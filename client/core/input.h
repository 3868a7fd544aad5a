// Keyboard and mouse as the window procedure records them, and the mouse-look
// measurement. The record itself (`inputState`) lives with the process's
// records (client/core/records.h). Main thread only.
#pragma once
#include <cstdint>

#include "platform/virtual_keys.h"

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
    uint8_t lookCentreMoved = 0;  // 1: the client size changed since mouse-look last read
    // Typed since the menu last took them; beyond TYPED_KEYS_KEPT they are
    // dropped, so a screen that never reads them (the match) loses nothing.
    TypedKey typed[TYPED_KEYS_KEPT];
    int typedCount = 0;
};

// Appends to inputState.typed (dropped when full); takeTyped empties it.
void queueTyped(uint32_t virtualKey, char character);
int takeTyped(TypedKey* out, int max);

// A mouse press counts once: the window procedure sets a button on its
// button-down message only, and whoever acts on the press lets both buttons go
// here (the menu in each update, a dead fighter while its press respawns it).
void releaseButtons();
// Whether the left button is down, letting both go: the menu's click.
bool takeLeftPress();
// Nothing held any more, keys and buttons alike: the window regained the
// focus, and a key let go while it was away must not stay held.
void releaseHeldInput();

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
