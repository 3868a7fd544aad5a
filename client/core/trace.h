// A line-per-event trace for the end-to-end tests: when BLASTAVIA_TRACE names a
// file, the client appends what a tester cannot see from outside (frames run,
// keys held), each line led by the millisecond clock. Silent otherwise.
#pragma once
#include "client/core/trace_lines.h"

void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool traceEnabled();
