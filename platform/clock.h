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

void sleepMs(uint32_t ms);
int currentProcessId();

}  // namespace platform
