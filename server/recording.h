// Recordings for operators: with BLASTAVIA_RECORD=DIR in its environment the
// server records every state it accepts, under its slot, into DIR: one file
// from the moment a first player joins until the last one leaves, and a new
// one every hour of a longer match. Nothing else changes: command line,
// console lines and wire are the same. A folder that cannot be written or a
// full disk stops that recording, with one line on standard error.
#pragma once
#include <cstdint>
#include <string>

#include "replay/writer.h"
#include "server/player_slot.h"

constexpr uint32_t RECORDING_SPAN_MS = 60 * 60 * 1000;

class ServerRecording {
public:
    ServerRecording();  // reads BLASTAVIA_RECORD; off when unset or empty
    // Slot `index` has a new state, or has just been freed. Main thread only.
    void slotChanged(int index, const PlayerSlot& slot, const char* mapName, int32_t fragLimit);

private:
    void start(const char* mapName, int32_t fragLimit, uint32_t now);

    std::string folder;
    replay::ReplayWriter writer;
    uint32_t startedAt = 0;
    bool live[protocol::SLOT_COUNT] = {};
    std::string lastState[protocol::SLOT_COUNT];
};
