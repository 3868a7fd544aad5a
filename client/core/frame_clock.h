// The frame clock: how long the last frame took (movement scales by it) and the
// frames counted per window of at least one second. One process-wide instance.
#pragma once
#include <cstdint>

#include "platform/clock.h"

struct FrameClock {
    uint64_t lastTime = platform::timeGetTime();  // time of the latest tick
    uint64_t previousTime = lastTime;             // time of the tick before
    int64_t frameTimeMs = 0;    // lastTime - previousTime
    int64_t accumulatedMs = 0;  // towards the current fps window
    int32_t framesCounted = 0;  // ticks in the current window
    int32_t fps = 0;            // frames of the last completed window
};

// The record (`frameClock`, client/core/records.h) is stamped when the process
// starts and never reset, so a match's first frame covers the time in the menu.

// One tick, first thing in every match frame.
void updateFrameClock();
