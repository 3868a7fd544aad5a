#include "client/core/frame_pacer.h"

#include <cmath>

namespace {
// now - base either way round, right across a wrap of the 32-bit clock
// (the base runs up to a period ahead of the clock).
double since(uint32_t now, uint32_t base) { return double(int32_t(now - base)); }
}  // namespace

uint32_t FramePacer::waitMs(uint32_t now) const {
    if (periodMs <= 0 || !scheduled) return 0;
    double left = dueAfter - since(now, base);
    return left > 0 ? uint32_t(std::ceil(left)) : 0u;
}

void FramePacer::started(uint32_t now) {
    if (periodMs <= 0) return;
    double late = since(now, base) - dueAfter;
    // A frame more than a period late (a stall, the window in the background)
    // starts a new schedule rather than a burst to catch up.
    if (!scheduled || late > periodMs || late < -periodMs) {
        base = now;
        dueAfter = 0;
    }
    dueAfter += periodMs;
    // Whole milliseconds move into the base, so the clock may wrap.
    double whole = std::floor(dueAfter);
    base += uint32_t(whole);
    dueAfter -= whole;
    scheduled = true;
}
