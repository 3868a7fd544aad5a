#include "platform/clock.h"

#include <ctime>
#include <unistd.h>

namespace platform {

namespace {
ClockSource clockOverride = nullptr;

uint32_t monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
    return uint32_t(ms);
}
}  // namespace

uint32_t timeGetTime() { return clockOverride ? clockOverride() : monotonicMs(); }

void setClockSource(ClockSource source) { clockOverride = source; }

void sleepMs(uint32_t ms) {
    timespec ts{time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
}

int currentProcessId() { return int(getpid()); }

}  // namespace platform
