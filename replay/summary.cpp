#include "replay/summary.h"

#include <cstdio>
#include <cstring>

#include "platform/text.h"

namespace replay {

uint16_t SummaryBuilder::playerFor(uint8_t number, const char* clientId, uint32_t timeMs) {
    uint16_t current = slotPlayer[number];
    if (current != NO_PLAYER && std::strcmp(result.players[current].clientId, clientId) == 0)
        return current;
    // The same client back in the same number is the same player.
    for (size_t i = result.players.size(); i-- > 0;) {
        const ReplayPlayer& p = result.players[i];
        if (p.player == number && std::strcmp(p.clientId, clientId) == 0)
            return slotPlayer[number] = uint16_t(i);
    }
    if (result.players.size() >= MAX_PLAYERS) return NO_PLAYER;
    ReplayPlayer p;
    p.player = number;
    p.firstMs = timeMs;
    platform::copyText(p.clientId, clientId);
    result.players.push_back(p);
    tracks.push_back(Track{});
    tracks.back().round = result.rounds.empty() ? 0 : result.rounds.size() - 1;
    return slotPlayer[number] = uint16_t(result.players.size() - 1);
}

void SummaryBuilder::add(const ReplayRecord& r) {
    if (r.timeMs > result.lengthMs) result.lengthMs = r.timeMs;
    if (r.flags & RECORD_GONE) {
        uint16_t index = slotPlayer[r.player];
        if (index != NO_PLAYER) result.players[index].lastMs = r.timeMs;
        slotPlayer[r.player] = NO_PLAYER;
        return;
    }
    // The state as a live relay would carry it: the shared parser reads it.
    char relay[MAX_STATE_LENGTH + 3] = "0 ";
    std::memcpy(relay + 2, r.text, size_t(r.length) + 1);
    protocol::RemoteState state;
    int fields = protocol::parseRelayMessage(relay, &state);
    if (fields < 2) return;  // not even a clientId
    uint16_t index = playerFor(r.player, state.clientId, r.timeMs);
    if (index == NO_PLAYER) return;
    ReplayPlayer& p = result.players[index];
    p.lastMs = r.timeMs;
    platform::copyText(p.name, state.name);
    if (result.rounds.empty()) {
        result.rounds.emplace_back();
        result.rounds.back().startMs = r.timeMs;
    }
    Track& track = tracks[index];
    if (fields >= 9) addFrags(index, r.timeMs, state.frags);
    if (fields >= 11 && std::strcmp(state.killerId, track.lastKiller) != 0) {
        platform::copyText(track.lastKiller, state.killerId);
        if (std::strcmp(state.killerId, "0") != 0 && result.kills.size() < MAX_KILLS) {
            ReplayKill kill;
            kill.timeMs = r.timeMs;
            kill.victim = index;
            for (size_t i = result.players.size(); i-- > 0;)
                if (std::strcmp(result.players[i].clientId, state.killerId) == 0) {
                    kill.killer = uint16_t(i);
                    break;
                }
            result.kills.push_back(kill);
        }
    }
}

void SummaryBuilder::addFrags(uint16_t index, uint32_t timeMs, int32_t frags) {
    Track& track = tracks[index];
    size_t current = result.rounds.size() - 1;
    if (frags < track.lastFrags) {
        // Frags start again from zero: the first player to do so in a round
        // shows that round is over (its pause has run out).
        if (track.round == current) {
            ReplayRound& round = result.rounds[current];
            if (!round.ended) {
                round.ended = true;
                round.endMs = timeMs;
                int32_t best = 0;
                for (const RoundFrags& f : round.frags)
                    if (f.frags > best) best = f.frags, round.winner = f.player;
            }
            if (result.rounds.size() < MAX_ROUNDS) {
                result.rounds.emplace_back();
                result.rounds.back().startMs = timeMs;
                ++current;
            }
        }
        track.round = current;
    } else if (track.round < current && track.lastFrags == 0) {
        track.round = current;  // had none to reset
    }
    track.lastFrags = frags;

    ReplayRound& round = result.rounds[track.round];
    RoundFrags* entry = nullptr;
    for (RoundFrags& f : round.frags)
        if (f.player == index) entry = &f;
    if (!entry) {
        round.frags.push_back(RoundFrags{index, frags});
        entry = &round.frags.back();
    }
    if (frags > entry->frags) entry->frags = frags;
    if (!round.ended) {
        round.endMs = timeMs;
        if (fragLimit > 0 && frags >= fragLimit) {
            round.ended = true;
            round.winner = index;
        }
    }
}

std::string encodeSummary(const ReplaySummary& s) {
    std::string out;
    putU32(&out, s.lengthMs);
    putU16(&out, uint16_t(s.players.size()));
    for (const ReplayPlayer& p : s.players) {
        out.push_back(char(p.player));
        putShortText(&out, p.clientId);
        putShortText(&out, p.name);
        putU32(&out, p.firstMs);
        putU32(&out, p.lastMs);
    }
    putU32(&out, uint32_t(s.kills.size()));
    for (const ReplayKill& k : s.kills) {
        putU32(&out, k.timeMs);
        putU16(&out, k.victim);
        putU16(&out, k.killer);
    }
    putU16(&out, uint16_t(s.rounds.size()));
    for (const ReplayRound& r : s.rounds) {
        putU32(&out, r.startMs);
        putU32(&out, r.endMs);
        out.push_back(char(r.ended ? 1 : 0));
        putU16(&out, r.winner);
        putU16(&out, uint16_t(r.frags.size()));
        for (const RoundFrags& f : r.frags) {
            putU16(&out, f.player);
            putU32(&out, uint32_t(f.frags));
        }
    }
    return out;
}

bool decodeSummary(const std::string& payload, ReplaySummary* s) {
    *s = ReplaySummary{};
    Cursor in(payload);
    uint16_t players = 0, rounds = 0;
    uint32_t kills = 0;
    if (!in.u32(&s->lengthMs) || !in.u16(&players) || players > MAX_PLAYERS) return false;
    for (uint16_t i = 0; i < players; ++i) {
        ReplayPlayer p;
        if (!in.u8(&p.player) || !in.shortText(p.clientId, sizeof p.clientId) ||
            !in.shortText(p.name, sizeof p.name) || !in.u32(&p.firstMs) || !in.u32(&p.lastMs))
            return false;
        s->players.push_back(p);
    }
    auto known = [&](uint16_t index) { return index == NO_PLAYER || index < players; };
    if (!in.u32(&kills) || kills > MAX_KILLS || kills > in.left() / 8) return false;
    for (uint32_t i = 0; i < kills; ++i) {
        ReplayKill k;
        if (!in.u32(&k.timeMs) || !in.u16(&k.victim) || !in.u16(&k.killer)) return false;
        if (k.victim >= players || !known(k.killer)) return false;
        s->kills.push_back(k);
    }
    if (!in.u16(&rounds) || rounds > MAX_ROUNDS) return false;
    for (uint16_t i = 0; i < rounds; ++i) {
        ReplayRound r;
        uint8_t ended = 0;
        uint16_t count = 0;
        if (!in.u32(&r.startMs) || !in.u32(&r.endMs) || !in.u8(&ended) || ended > 1 ||
            !in.u16(&r.winner) || !known(r.winner) || !in.u16(&count) || count > players)
            return false;
        r.ended = ended == 1;
        for (uint16_t k = 0; k < count; ++k) {
            RoundFrags f;
            uint32_t frags = 0;
            if (!in.u16(&f.player) || f.player >= players || !in.u32(&frags)) return false;
            f.frags = int32_t(frags);
            r.frags.push_back(f);
        }
        s->rounds.push_back(r);
    }
    return in.left() == 0;
}

}  // namespace replay
