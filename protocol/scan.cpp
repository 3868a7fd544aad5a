#include "protocol/scan.h"

#include <cstdlib>

namespace protocol {

namespace {
// scanf's white space in the C locale; bytes above 127 are never blanks.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
}  // namespace

bool TextScanner::token(char* out, size_t size) {
    while (isBlank(*p)) ++p;
    if (*p == '\0') return false;
    size_t n = 0;
    for (; *p != '\0' && !isBlank(*p); ++p) {
        if (n + 1 < size) out[n++] = *p;
    }
    if (size > 0) out[n] = '\0';
    return true;
}

bool TextScanner::integer(int32_t* out) {
    char* end = nullptr;
    long v = std::strtol(p, &end, 0);
    if (end == p) return false;
    p = end;
    *out = int32_t(uint32_t(static_cast<unsigned long>(v)));
    return true;
}

bool TextScanner::real(float* out) {
    char* end = nullptr;
    float v = std::strtof(p, &end);
    if (end == p) return false;
    p = end;
    *out = v;
    return true;
}

bool readInteger(const char* text, int32_t* out) {
    TextScanner scan(text);
    return scan.integer(out);
}

}  // namespace protocol
