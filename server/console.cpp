#include "server/console.h"

#include <cstdarg>

void consoleLine(FILE* console, const char* format, ...) {
    if (!console) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(console, format, args);
    va_end(args);
    std::fflush(console);
}
