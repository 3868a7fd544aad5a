// The frame clock: how long the last frame took (movement scales by it) and the
// frames counted per window of at least one second. One process-wide instance.
#pragma once
#include <cstdint>

struct FrameClock {
    uint64_t lastTime = 0;      // time of the latest tick
    uint64_t previousTime = 0;  // time of the tick before
    int64_t frameTimeMs = 0;    // lastTime - previousTime
    int64_t accumulatedMs = 0;  // towards the current fps window
    int32_t framesCounted = 0;  // ticks in the current window
    int32_t fps = 0;            // frames of the last completed window
};

// Process lifetime: both stamps start at the clock's reading when the process
// starts; never reset, so a match's first frame covers the time in the menu.
extern FrameClock frameClock;

// One tick, first thing in every match frame.
void updateFrameClock();
