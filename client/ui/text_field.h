// A one-line text field of the menu (server address, player name): at most
// its capacity of characters, typed at the end and taken back with Backspace.
// Only printable ASCII without blanks is taken: the settings file keeps each
// value as one word, so a blank would cut it short on the next read.
#pragma once
#include <cstddef>

class TextField {
public:
    static constexpr size_t MAX_CAPACITY = 31;

    // `forbidden`: more characters refused (the name refuses '+', which ends
    // a state's text on the wire). A capacity above MAX_CAPACITY is cut to it.
    explicit TextField(size_t capacity, const char* forbidden = "");

    // Replaces the text as if it were typed: refused characters are skipped,
    // and typing stops at the capacity.
    void set(const char* text);
    // False when refused: the field is full or the character is not taken.
    bool type(char c);
    // Backspace: false when the field is already empty.
    bool erase();
    void clear();

    bool accepts(char c) const;
    const char* text() const { return buffer; }
    size_t length() const { return used; }
    size_t capacity() const { return limit; }
    bool empty() const { return used == 0; }

private:
    char buffer[MAX_CAPACITY + 1] = {};
    size_t limit;
    size_t used = 0;
    const char* forbidden;
};
