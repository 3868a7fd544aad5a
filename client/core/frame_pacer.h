// Frames at most so many a second: each frame is due one period after the
// one before (kept in fractions of a millisecond, so 144 a second alternates
// 7 and 6 ms rather than drifting), and a frame that came late moves the
// schedule on instead of being caught up with a burst.
#pragma once
#include <cstdint>

class FramePacer {
public:
    // fps 0: no cap, every frame is due at once.
    explicit FramePacer(int fps) : periodMs(fps > 0 ? 1000.0 / fps : 0.0) {}
    // Milliseconds until the next frame is due at `now` (0: run it now).
    uint32_t waitMs(uint32_t now) const;
    // A frame starts at `now`.
    void started(uint32_t now);

private:
    double periodMs;
    bool scheduled = false;
    uint32_t base = 0;    // our clock, ms
    double dueAfter = 0;  // the next frame is due this long after base
};
