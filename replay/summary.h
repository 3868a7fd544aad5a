// What a recording holds, at a glance: who played, every kill, and each
// round's frags and winner, all derived from the recorded states alone (a
// kill is a victim's killerId changing to another player's clientId; a round
// ends when a player reaches the frag limit, or, with no limit known, when
// frags start again from zero). The writer builds it as it goes and stores it
// at the end of the file; for a file cut short the reader builds it again.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "replay/format.h"

namespace replay {

// One client as seen in one player number (a server slot may see several).
struct ReplayPlayer {
    uint8_t player = 0;
    char clientId[protocol::CLIENT_ID_SIZE] = "0";
    char name[protocol::NAME_SIZE] = "";  // the last one it used, raw bytes
    uint32_t firstMs = 0, lastMs = 0;
};

constexpr uint16_t NO_PLAYER = 0xFFFF;

struct ReplayKill {
    uint32_t timeMs = 0;
    uint16_t victim = 0;          // index into players
    uint16_t killer = NO_PLAYER;  // index into players; NO_PLAYER: not recorded
};

struct RoundFrags {
    uint16_t player = 0;  // index into players
    int32_t frags = 0;    // the most it had in the round
};

struct ReplayRound {
    uint32_t startMs = 0, endMs = 0;
    bool ended = false;           // false: the recording stopped during it
    uint16_t winner = NO_PLAYER;  // the first to the limit (most frags without one)
    std::vector<RoundFrags> frags;
};

// Bounds that keep a summary small whatever a file holds.
constexpr size_t MAX_PLAYERS = 1024;
constexpr size_t MAX_KILLS = 100000;
constexpr size_t MAX_ROUNDS = 4096;

struct ReplaySummary {
    std::vector<ReplayPlayer> players;
    std::vector<ReplayKill> kills;
    std::vector<ReplayRound> rounds;
    uint32_t lengthMs = 0;
};

// Feeds records in time order and keeps the summary up to date.
class SummaryBuilder {
public:
    explicit SummaryBuilder(int32_t fragLimit) : fragLimit(fragLimit) {
        for (uint16_t& p : slotPlayer) p = NO_PLAYER;
    }
    void add(const ReplayRecord& record);
    // The summary so far; the last round still open stays `ended` false.
    const ReplaySummary& summary() const { return result; }

private:
    struct Track {  // per ReplayPlayer
        int32_t lastFrags = 0;
        size_t round = 0;  // the round its frags count for
        char lastKiller[protocol::CLIENT_ID_SIZE] = "0";
    };
    uint16_t playerFor(uint8_t number, const char* clientId, uint32_t timeMs);
    void addFrags(uint16_t index, uint32_t timeMs, int32_t frags);

    int32_t fragLimit;
    ReplaySummary result;
    std::vector<Track> tracks;
    uint16_t slotPlayer[256];  // player number -> its current ReplayPlayer
};

// The SUMM chunk's payload, and back. Reading fails on anything malformed.
std::string encodeSummary(const ReplaySummary& summary);
bool decodeSummary(const std::string& payload, ReplaySummary* summary);

}  // namespace replay
