#include "client/ui/text_field.h"

#include <cstring>

TextField::TextField(size_t capacity, const char* refused)
    : limit(capacity < MAX_CAPACITY ? capacity : MAX_CAPACITY), forbidden(refused ? refused : "") {}

bool TextField::accepts(char c) const {
    return c > ' ' && c <= '~' && std::strchr(forbidden, c) == nullptr;
}

void TextField::set(const char* text) {
    clear();
    for (const char* c = text ? text : ""; *c && used < limit; ++c) type(*c);
}

bool TextField::type(char c) {
    if (used >= limit || !accepts(c)) return false;
    buffer[used++] = c;
    buffer[used] = '\0';
    return true;
}

bool TextField::erase() {
    if (used == 0) return false;
    buffer[--used] = '\0';
    return true;
}

void TextField::clear() {
    used = 0;
    buffer[0] = '\0';
}
