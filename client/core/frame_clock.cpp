#include "client/core/frame_clock.h"

#include "client/core/records.h"

void updateFrameClock() {
    frameClock.previousTime = frameClock.lastTime;
    frameClock.lastTime = platform::timeGetTime();
    frameClock.frameTimeMs = platform::elapsedMs(frameClock.lastTime, frameClock.previousTime);
    frameClock.accumulatedMs += frameClock.frameTimeMs;
    frameClock.framesCounted += 1;
    // The window is whatever whole frames cover a second; the rest is dropped.
    if (frameClock.accumulatedMs >= 1000) {
        frameClock.fps = frameClock.framesCounted;
        frameClock.accumulatedMs = 0;
        frameClock.framesCounted = 0;
    }
}
