// The system's millisecond clock, sleeping and the process id.
// The clock is a wrapping 32-bit count of milliseconds; tests may replace it.
#pragma once
#include <cstdint>

namespace platform {

// Milliseconds of a monotonic clock, truncated to 32 bits (wraps after ~49 days).
uint32_t timeGetTime();

// Replace the clock (nullptr restores the real one). Tests drive game timing
// through this instead of waiting.
using ClockSource = uint32_t (*)();
void setClockSource(ClockSource source);

// now - then for two clock readings widened to 64 bits. A reading in the
// future gives a negative difference, but when the 32-bit clock has wrapped
// between the two (a drop of more than half its range) the true, small
// elapsed time comes back, so timers keep running across the wrap.
inline int64_t elapsedMs(uint64_t now, uint64_t then) {
    int64_t d = int64_t(now) - int64_t(then);
    if (d < -(int64_t(1) << 31)) d += int64_t(1) << 32;
    return d;
}

void sleepMs(uint32_t ms);
int currentProcessId();

}  // namespace platform
