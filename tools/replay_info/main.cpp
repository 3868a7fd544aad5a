// `replay-info FILE [--states]`: what a recording holds, as plain lines an
// operator's script can read: the header, the length, the players, each
// round's frags and winner, the kills; with --states every record too.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/text.h"
#include "replay/folder.h"
#include "replay/reader.h"

using namespace replay;

namespace {

std::string clock(uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%03u", ms / 60000, ms / 1000 % 60, ms % 1000);
    return text;
}

std::string shown(const char* text) {
    char out[protocol::NET_BUFFER_SIZE];
    platform::printableText(text, out, sizeof out);
    return out;
}

std::string playerName(const ReplaySummary& s, uint16_t index) {
    if (index == NO_PLAYER || index >= s.players.size()) return "?";
    return shown(s.players[index].name);
}

}  // namespace

int main(int argc, char** argv) {
    platform::keepStandardStreamsBinary();
    bool states = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--states") == 0) states = true;
        else if (!path) path = argv[i];
        else path = nullptr, i = argc;
    }
    if (!path) {
        std::fprintf(stderr, "usage: replay-info FILE [--states]\n");
        return 2;
    }
    ReplayReader reader;
    if (!reader.open(path)) {
        std::fprintf(stderr, "replay-info: %s: not a readable recording\n", path);
        return 1;
    }
    const ReplayHeader& h = reader.header();
    std::string stamp = recordingBaseName(h.startTime, "");
    std::printf("map %s\n", shown(h.mapName).c_str());
    std::printf("recorded-by %s\n", shown(h.recordedBy).c_str());
    std::printf("started %" PRIu64 " %.8s-%.6s UTC\n", h.startTime, stamp.c_str(),
                stamp.c_str() + 9);
    std::printf("frag-limit %d\n", int(h.fragLimit));
    std::printf("finished %s\n", reader.finished() ? "yes" : "no");
    std::printf("length %u %s\n", reader.lengthMs(), clock(reader.lengthMs()).c_str());
    const ReplaySummary& s = reader.summary();
    std::printf("players %zu\n", s.players.size());
    for (size_t i = 0; i < s.players.size(); ++i) {
        const ReplayPlayer& p = s.players[i];
        std::printf("player %zu slot=%u id=%s name=%s from=%u to=%u\n", i + 1, p.player,
                    shown(p.clientId).c_str(), shown(p.name).c_str(), p.firstMs, p.lastMs);
    }
    std::printf("rounds %zu\n", s.rounds.size());
    for (size_t i = 0; i < s.rounds.size(); ++i) {
        const ReplayRound& r = s.rounds[i];
        std::printf("round %zu from=%u to=%u %s winner=%s", i + 1, r.startMs, r.endMs,
                    r.ended ? "ended" : "unfinished",
                    r.winner == NO_PLAYER ? "-" : playerName(s, r.winner).c_str());
        for (const RoundFrags& f : r.frags)
            std::printf(" %s=%d", playerName(s, f.player).c_str(), int(f.frags));
        std::printf("\n");
    }
    std::printf("kills %zu\n", s.kills.size());
    for (const ReplayKill& k : s.kills)
        std::printf("kill %u %s %s\n", k.timeMs, playerName(s, k.killer).c_str(),
                    playerName(s, k.victim).c_str());
    if (states) {
        ReplayRecord r;
        while (reader.next(&r)) {
            if (r.flags & RECORD_GONE) std::printf("state %u %u gone\n", r.timeMs, r.player);
            else std::printf("state %u %u %s\n", r.timeMs, r.player, shown(r.text).c_str());
        }
        if (reader.damaged()) std::printf("damaged\n");
    }
    return 0;
}
