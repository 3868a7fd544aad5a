// The message loop that drives one screen (menu or match) frame by frame.
// A screen is any type with update() and render(); the loop ends on the quit
// request, and the screen's own quitProgram flag says what happens next.
#pragma once
#include "client/core/frame_pacer.h"
#include "client/core/records.h"
#include "platform/clock.h"
#include "platform/window.h"

// The menu is a still picture: more frames show nothing new.
constexpr int MENU_MAX_FPS = 60;
// In the background no frame runs; the queue is looked at this often.
constexpr uint32_t BACKGROUND_POLL_MS = 10;

// What the end-to-end tests read in the trace: the first frame of each
// screen and every change in the number of held keys and mouse buttons.
void traceFrame(bool firstFrame);

// maxFps: frames a second at most (0: as many as the machine draws).
template <class Screen>
void runScreenLoop(Screen& screen, int maxFps = 0) {
    platform::Message m;
    bool firstFrame = true;
    FramePacer pacer(maxFps);
    for (;;) {
        if (platform::peekMessage(&m)) {
            if (m.type == platform::MessageType::Quit) return;
            platform::dispatchMessage(m);
            continue;
        }
        // Without a cap a frame runs whenever the queue is empty; with one it
        // waits for its time, and without the focus the loop only naps.
        if (inputState.windowActive != 1) {
            platform::sleepMs(BACKGROUND_POLL_MS);
            continue;
        }
        if (uint32_t wait = pacer.waitMs(platform::timeGetTime())) {
            platform::sleepMs(wait);
            continue;
        }
        pacer.started(platform::timeGetTime());
        traceFrame(firstFrame);
        firstFrame = false;
        screen.update();
        screen.render();
    }
}
