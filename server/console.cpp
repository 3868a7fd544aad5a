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

void printableText(const char* text, char* out, size_t size) {
    if (size == 0) return;
    size_t n = 0;
    for (; text[n] != '\0' && n + 1 < size; ++n) {
        unsigned char c = static_cast<unsigned char>(text[n]);
        out[n] = c < 32 || c == 127 ? '?' : char(c);
    }
    out[n] = '\0';
}
