// Bounded text copies for the fixed-size, zero-terminated fields every record
// uses: nothing outside input says can overflow one.
#pragma once
#include <cstddef>
#include <cstring>

namespace platform {

// Copies at most size - 1 bytes of src into dst and terminates it.
inline void copyText(char* dst, size_t size, const char* src) {
    if (size == 0) return;
    size_t n = std::strlen(src);
    if (n >= size) n = size - 1;
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

template <size_t N>
inline void copyText(char (&dst)[N], const char* src) {
    copyText(dst, N, src);
}

// A copy of a player-supplied text safe to show on a terminal: control bytes
// become '?', so no name can drive it.
inline void printableText(const char* text, char* out, size_t size) {
    if (size == 0) return;
    size_t n = 0;
    for (; text[n] != '\0' && n + 1 < size; ++n) {
        unsigned char c = static_cast<unsigned char>(text[n]);
        out[n] = c < 32 || c == 127 ? '?' : char(c);
    }
    out[n] = '\0';
}

}  // namespace platform
