// The server's console lines: each is printed whole and flushed at once, so a
// pipe or log file shows joins as they happen.
#pragma once
#include <cstddef>
#include <cstdio>

// A null console drops the line.
void consoleLine(FILE* console, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Player-supplied texts go through platform::printableText (platform/text.h)
// before they are printed, so no name can drive the operator's terminal.
