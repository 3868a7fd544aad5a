#include "platform/clock.h"

#include "platform/system.h"

namespace platform {

namespace {
ClockSource clockOverride = nullptr;
}  // namespace

uint32_t timeGetTime() { return clockOverride ? clockOverride() : sys::clockMs(); }

void setClockSource(ClockSource source) { clockOverride = source; }

}  // namespace platform
