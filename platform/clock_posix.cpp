// The clock, sleeping and the process id on Linux.
#include "platform/clock.h"
#include "platform/system.h"

#include <ctime>
#include <unistd.h>

namespace platform {

uint32_t sys::clockMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
    return uint32_t(ms);
}

void sleepMs(uint32_t ms) {
    timespec ts{time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
}

int currentProcessId() { return int(getpid()); }

}  // namespace platform
