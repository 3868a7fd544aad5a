#include "protocol/protocol.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace protocol {

int32_t messageChecksum(const char* text) {
    int32_t sum = 0;
    for (const char* p = text; *p != '\0'; ++p) sum += int32_t(static_cast<signed char>(*p));
    return sum;
}

size_t appendChecksum(char* text, size_t length, size_t capacity) {
    if (length >= capacity) return 0;
    text[length] = '\0';
    char suffix[16];
    int n = std::snprintf(suffix, sizeof suffix, "+%i ", int(messageChecksum(text)));
    if (n <= 0 || length + size_t(n) >= capacity) return 0;
    std::memcpy(text + length, suffix, size_t(n) + 1);
    return length + size_t(n);
}

bool verifyChecksum(char* text) {
    char* plus = std::strchr(text, '+');
    if (!plus) return false;
    // Read wide: a number outside 32 bits can never equal a real sum.
    long long expected = std::strtoll(plus + 1, nullptr, 0);
    *plus = '\0';
    return (long long)messageChecksum(text) == expected;
}

}  // namespace protocol
