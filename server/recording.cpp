#include "server/recording.h"

#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"

ServerRecording::ServerRecording() {
    const char* dir = std::getenv("BLASTAVIA_RECORD");
    if (dir) folder = dir;
}

void ServerRecording::start(const char* mapName, int32_t fragLimit, uint32_t now) {
    writer.open(folder.c_str(), mapName, "server", fragLimit);
    startedAt = now;
}

void ServerRecording::slotChanged(int index, const PlayerSlot& slot, const char* mapName,
                                  int32_t fragLimit) {
    if (folder.empty()) return;
    uint32_t now = platform::timeGetTime();
    if (slot.vacant == 0) {
        live[index] = true;
        lastState[index] = slot.lastState;
        if (!writer.isOpen()) {
            start(mapName, fragLimit, now);
        } else if (now - startedAt >= RECORDING_SPAN_MS) {
            // A new file each hour, opening with every player's latest state.
            writer.close();
            start(mapName, fragLimit, now);
            for (int i = 0; i < protocol::SLOT_COUNT; ++i)
                if (live[i]) writer.record(0, uint8_t(i), lastState[i].c_str());
        }
        writer.record(now - startedAt, uint8_t(index), slot.lastState);
    } else if (live[index]) {
        live[index] = false;
        writer.recordGone(now - startedAt, uint8_t(index));
        bool anyone = false;
        for (bool l : live) anyone = anyone || l;
        if (!anyone) writer.close();
    }
    std::string failure;
    if (writer.takeFailure(&failure)) std::fprintf(stderr, "%s \n", failure.c_str());
}
