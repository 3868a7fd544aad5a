// Arbitrary bytes as a replay file. Whatever opens must answer every question
// and hand out only records that could have been written: a known player
// number, a text as long as it says, no flag but the ones we write.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "replay/reader.h"

using namespace replay;

#define check(ok)                                                           \
    do {                                                                    \
        if (!(ok)) {                                                        \
            std::fprintf(stderr, "broken: %s (line %d)\n", #ok, __LINE__); \
            __builtin_trap();                                               \
        }                                                                   \
    } while (0)

namespace {
size_t readOn(ReplayReader& r) {
    ReplayRecord rec;
    size_t n = 0;
    while (r.next(&rec)) {
        check(rec.length <= MAX_STATE_LENGTH);
        check(std::strlen(rec.text) == rec.length);
        check((rec.flags & ~(RECORD_GONE | RECORD_KEYFRAME)) == 0);
        check(!(rec.flags & RECORD_GONE) || rec.length == 0 || (rec.flags & RECORD_KEYFRAME) == 0);
        ++n;
    }
    return n;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReplayReader r;
    if (!r.openMemory(data, size)) return 0;
    check(std::strlen(r.header().mapName) <= MAX_HEADER_TEXT);
    uint32_t length = r.lengthMs();
    const ReplaySummary& s = r.summary();
    check(s.players.size() <= MAX_PLAYERS && s.kills.size() <= MAX_KILLS);
    for (const ReplayKill& k : s.kills) check(k.victim < s.players.size());
    for (const ReplayRound& round : s.rounds)
        for (const RoundFrags& f : round.frags) check(f.player < s.players.size());
    size_t all = readOn(r);
    r.seek(length / 2);
    readOn(r);
    r.seek(0);
    check(readOn(r) == all);
    return 0;
}
