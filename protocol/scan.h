// Reading message text field by field the way "%s", "%i" and "%f" do, except
// that a string longer than its field is cut and the rest of its token skipped.
#pragma once
#include <cstddef>
#include <cstdint>

namespace protocol {

// Walks a zero-terminated text the caller owns; keeps only a position in it.
class TextScanner {
public:
    explicit TextScanner(const char* text) : p(text) {}

    // "%s" into a field of `size` bytes. False when no token is left.
    bool token(char* out, size_t size);
    // "%i": optional sign, decimal, 0x hex or leading-0 octal; wraps to 32 bits.
    bool integer(int32_t* out);
    // "%f" (any form strtof reads).
    bool real(float* out);

private:
    const char* p;
};

// Reads a whole text such as a command-line argument with "%i" rules.
// False (and *out untouched) when it does not start with a number.
bool readInteger(const char* text, int32_t* out);

}  // namespace protocol
