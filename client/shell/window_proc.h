// The game window's procedure: what each window message does to the input
// record and the window, and the window's own mouse measurement.
#pragma once

namespace platform {
struct Message;
}

// The window procedure of the game's window class.
long windowProc(const platform::Message& m);

// In mouse-look mode the cursor's movement since the last call, the cursor
// pinned back at the window's centre; otherwise its screen position.
struct MouseDelta;
MouseDelta windowMouseDelta();
