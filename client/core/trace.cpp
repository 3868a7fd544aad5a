#include "client/core/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "client/core/records.h"
#include "platform/clock.h"

namespace {
FILE* traceFile() {
    TraceRecord& t = processRecords.trace;
    if (!t.opened) {
        t.opened = true;
        const char* path = std::getenv("BLASTAVIA_TRACE");
        t.file = path && *path ? std::fopen(path, "a") : nullptr;
    }
    return t.file;
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
