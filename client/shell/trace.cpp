#include "client/shell/trace.h"

#include "client/shell/screen_loop.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"

namespace {
FILE* traceFile() {
    static FILE* out = [] {
        const char* path = std::getenv("BLASTAVIA_TRACE");
        return path && *path ? std::fopen(path, "a") : nullptr;
    }();
    return out;
}
}  // namespace

bool traceEnabled() { return traceFile() != nullptr; }

void trace(const char* format, ...) {
    FILE* out = traceFile();
    if (!out) return;
    std::fprintf(out, "%u ", platform::timeGetTime());
    va_list args;
    va_start(args, format);
    std::vfprintf(out, format, args);
    va_end(args);
    std::fputc('\n', out);
    std::fflush(out);
}

void traceFrame(bool firstFrame) {
    if (!traceEnabled()) return;
    if (firstFrame) trace("first frame %dx%d", glWindow.width, glWindow.height);
    static int lastHeld = 0;
    int held = 0;
    for (uint8_t k : inputState.keys) held += k;
    if (held != lastHeld) trace("keys held %d", held);
    lastHeld = held;
    static int lastButtons = 0;
    int buttons = inputState.leftButton + inputState.rightButton;
    if (buttons != lastButtons) trace("buttons held %d", buttons);
    lastButtons = buttons;
}
