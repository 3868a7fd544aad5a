#include "client/core/records.h"

#include "platform/clock.h"

ProcessRecords processRecords;
ScreenRecords screenRecords;
MatchRecords matchRecords;

namespace {
constexpr int MAX_ROOM_RESETS = 8;
void (*roomResets[MAX_ROOM_RESETS])() = {};
int roomResetCount = 0;
}  // namespace

void addProcessReset(void (*reset)()) {
    if (roomResetCount < MAX_ROOM_RESETS) roomResets[roomResetCount++] = reset;
}

void resetProcessRecords() {
    platform::setClockSource(nullptr);
    setMouseDeltaSource(nullptr);
    FILE* traceFile = processRecords.trace.file;  // an open trace stays open
    bool traceOpened = processRecords.trace.opened;
    processRecords = ProcessRecords{};
    processRecords.trace.file = traceFile;
    processRecords.trace.opened = traceOpened;
    for (int i = 0; i < roomResetCount; ++i) roomResets[i]();
}

void resetScreenRecords() {
    screenRecords = ScreenRecords{};
    // What was held or typed belonged to the window that went.
    releaseHeldInput();
    inputState.typedCount = 0;
    processRecords.text = TextTable{};
}

void resetMatchRecords() { matchRecords = MatchRecords{}; }
