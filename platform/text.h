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

}  // namespace platform
