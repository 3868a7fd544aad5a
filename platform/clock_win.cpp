// The clock, sleeping and the process id on Windows: the multimedia timer the
// game was timed with, at its finest period so Sleep and timeGetTime tick in
// single milliseconds rather than the default 15.6.
#include "platform/clock.h"
#include "platform/system.h"

#include <windows.h>
#include <mmsystem.h>

namespace platform {

namespace {
struct FineTimer {
    FineTimer() { timeBeginPeriod(1); }
    ~FineTimer() { timeEndPeriod(1); }
} fineTimer;
}  // namespace

uint32_t sys::clockMs() { return ::timeGetTime(); }

void sleepMs(uint32_t ms) { Sleep(ms); }

int currentProcessId() { return int(GetCurrentProcessId()); }

}  // namespace platform
