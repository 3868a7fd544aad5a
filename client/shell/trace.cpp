#include "client/shell/trace.h"

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
