#include "client/shell/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void trace(const char* format, ...) {
    static FILE* out = [] {
        const char* path = std::getenv("BLASTAVIA_TRACE");
        return path && *path ? std::fopen(path, "a") : nullptr;
    }();
    if (!out) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(out, format, args);
    va_end(args);
    std::fputc('\n', out);
    std::fflush(out);
}
