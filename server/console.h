// The server's console lines: each is printed whole and flushed at once, so a
// pipe or log file shows joins as they happen.
#pragma once
#include <cstddef>
#include <cstdio>

// A null console drops the line.
void consoleLine(FILE* console, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A copy of a player-supplied text safe to print: control bytes become '?',
// so no name can drive the operator's terminal.
void printableText(const char* text, char* out, size_t size);
