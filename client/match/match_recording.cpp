#include "client/match/match_recording.h"

#include <cstring>

#include "client/core/trace.h"
#include "client/match/match_screen.h"
#include "replay/folder.h"

std::string mapNameOfPath(const char* mapPath) {
    const char* slash = std::strchr(mapPath, '/');
    return slash ? std::string(mapPath, size_t(slash - mapPath)) : std::string(mapPath);
}

void MatchRecording::start(NetClient& link, const char* playerName, uint32_t now) {
    stop();
    std::string map = mapNameOfPath(link.reply().mapPath);
    if (!writer.open(REPLAY_FOLDER, map.c_str(), playerName, link.reply().fragLimit,
                     replay::KEEP_RECORDINGS))
        return;
    net = &link;
    startedAt = now;
    net->wireLog.setEnabled(true);
    trace(TRACE_RECORDING_STARTED, map.c_str());
}

void MatchRecording::update() {
    if (!net) return;
    net->wireLog.take(&batch);
    for (const WireState& s : batch) {
        // States that came between the join and the first frame count as its start.
        int32_t since = int32_t(s.atMs - startedAt);
        uint32_t ms = since > 0 ? uint32_t(since) : 0;
        uint8_t player = s.slot == OWN_STATE_SLOT ? OWN_PLAYER_NUMBER : uint8_t(s.slot);
        if (s.gone) writer.recordGone(ms, player);
        else writer.record(ms, player, s.text.c_str());
    }
    std::string failure;
    if (writer.takeFailure(&failure)) {
        // One message, then nothing more of it: the match goes on unrecorded.
        announce(1.0f, 0.5f, 0.0f, failure.c_str());
        net->wireLog.setEnabled(false);
        net = nullptr;
        writer.close();
    }
}

void MatchRecording::stop() {
    if (!writer.isOpen()) return;
    if (net) {
        update();
        net->wireLog.setEnabled(false);
        net = nullptr;
    }
    writer.close();
    std::string path = writer.finishedPath();
    if (!path.empty()) trace(TRACE_RECORDING_FINISHED, path.c_str());
}
