// The message loop that drives one screen (menu or match) frame by frame.
// A screen is any type with update() and render(); the loop ends on the quit
// request, and the screen's own quitProgram flag says what happens next.
#pragma once
#include "client/core/records.h"
#include "platform/window.h"

// What the end-to-end tests read in the trace: the first frame of each
// screen and every change in the number of held keys and mouse buttons.
void traceFrame(bool firstFrame);

template <class Screen>
void runScreenLoop(Screen& screen) {
    platform::Message m;
    bool firstFrame = true;
    for (;;) {
        if (platform::peekMessage(&m)) {
            if (m.type == platform::MessageType::Quit) return;
            platform::dispatchMessage(m);
            continue;
        }
        // No frame cap and no sleep: a frame runs whenever the queue is empty.
        if (inputState.windowActive == 1) {
            traceFrame(firstFrame);
            firstFrame = false;
            screen.update();
            screen.render();
        }
    }
}
