// States on a real network come late, twice, or out of order. Timelines of
// arrivals (ms on our clock) as loopback with jitter shows them: each death
// is credited once, a restarted fighter names no killer, and a frag count at
// the limit from before a player's restart does not end the next round.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "client/match/local_fighter.h"
#include "client/match/match_rules.h"
#include "platform/text.h"
#include "protocol/protocol.h"
#include "test_world.h"

using namespace testworld;

namespace {

struct Arrival {
    uint32_t at;
    int32_t frags;
    bool dead;
    const char* killer;
};

protocol::RemoteState stateOf(int32_t frags, bool dead, const char* killer) {
    protocol::RemoteState s;
    platform::copyText(s.clientId, "v");
    platform::copyText(s.name, "Vic");
    s.vacant = 0;
    s.frags = frags;
    s.dead = dead;
    platform::copyText(s.killerId, killer);
    return s;
}

// Applies each arrival in turn; the number of kills credited and of states
// that ended the round.
struct Tally {
    int credits = 0;
    int roundEnds = 0;
};
Tally play(Fighter& remote, LocalFighter& local, const std::vector<Arrival>& arrivals,
           int32_t limit = 10) {
    Tally t;
    for (const Arrival& a : arrivals) {
        RemoteOutcome o = applyRemoteRules(remote, stateOf(a.frags, a.dead, a.killer), local,
                                           limit, a.at);
        t.credits += o.killCredited;
        t.roundEnds += o.roundOver;
    }
    return t;
}

// Our published state as another player receives it: through the wire's
// state and relay texts.
protocol::RemoteState overTheWire(LocalFighter& f) {
    char state[protocol::NET_BUFFER_SIZE], relay[protocol::NET_BUFFER_SIZE];
    protocol::formatStateMessage(f.publishedState(), state, sizeof state);
    EXPECT_TRUE(protocol::verifyChecksum(state));
    protocol::formatRelayMessage(0, state, relay, sizeof relay);
    EXPECT_TRUE(protocol::verifyChecksum(relay));
    protocol::RemoteState s;
    protocol::parseRelayMessage(relay, &s);
    return s;
}

class LateStates : public ::testing::Test {
protected:
    void SetUp() override {
        reset();
        platform::copyText(local.clientId, "me");
    }
    LocalFighter local{0};
    Fighter victim{1};
};

TEST_F(LateStates, EachDeathIsCreditedOnceWhateverOrderItsStatesArriveIn) {
    // One death by us, its states overtaken by older ones.
    Tally t = play(victim, local, {
        {1000, 0, false, "0"},
        {1010, 0, true, "me"},   // killed: credited here
        {1012, 0, true, "me"},   // the same state twice
        {1020, 0, false, "0"},   // a state from before the death, late
        {1030, 0, true, "me"},
        {1520, 0, true, "0"},    // the death sequence has run out
        {1550, 0, true, "me"},   // a late one from within it
        {1580, 0, false, "0"},   // respawned
        {1640, 0, true, "me"},   // still a late one of that death
        {1700, 0, false, "0"},
    });
    EXPECT_EQ(t.credits, 1);
    EXPECT_EQ(local.frags, 1);

    // The next death by us, a second later, counts; so does one right after a
    // respawn that no alive state showed (dead "0", then named again at once).
    t = play(victim, local, {
        {2600, 0, true, "me"},
        {2620, 0, false, "0"},   // late
        {3120, 0, true, "0"},
        {3140, 0, true, "me"},   // may still be the last of the death before
        {3300, 0, true, "me"},
        {3500, 0, true, "me"},   // more than the window after: a new death
        {3600, 0, true, "me"},
    });
    EXPECT_EQ(t.credits, 2);
    EXPECT_EQ(local.frags, 3);
}

TEST_F(LateStates, OnlyADeadVictimNamingUsIsACredit) {
    // Alive with our id (a client that leaves its last killer in its state after
    // a restart), or another killer: no frag. Its real death by us: one.
    Tally t = play(victim, local, {
        {1000, 0, false, "me"},
        {1500, 0, false, "me"},
        {2000, 0, true, "other"},
        {2600, 0, false, "0"},
        {3000, 0, true, "me"},
        {3600, 0, true, "me"},
    });
    EXPECT_EQ(t.credits, 1);
}

TEST_F(LateStates, ARestartedFighterNamesNoKillerAndItsNextDeathByTheSameHandCounts) {
    LocalFighter dying(1);
    platform::copyText(dying.clientId, "v");
    // Killed by us just before the round ended; its pause; the restart.
    dying.dead = 1;
    platform::copyText(dying.killerId, "me");
    dying.publishState();
    EXPECT_TRUE(applyRemoteRules(victim, overTheWire(dying), local, 10, 1000).killCredited);
    restartRound(dying);
    dying.publishState();
    protocol::RemoteState restarted = overTheWire(dying);
    EXPECT_EQ(restarted.dead, 0);
    EXPECT_STREQ(restarted.killerId, "0");
    EXPECT_FALSE(applyRemoteRules(victim, restarted, local, 10, 6500).killCredited);
    // Killed by us again in the new round: the killer changes on the wire.
    dying.dead = 1;
    platform::copyText(dying.killerId, "me");
    dying.publishState();
    EXPECT_TRUE(applyRemoteRules(victim, overTheWire(dying), local, 10, 9000).killCredited);
    EXPECT_EQ(local.frags, 2);
}

TEST_F(LateStates, AFragCountFromTheRoundJustEndedDoesNotEndTheNextOne) {
    const int32_t LIMIT = 10;
    Fighter winner(2);
    // The winner climbs to the limit: our round ends.
    Tally t = play(winner, local, {{1000, 3, false, "0"}, {20000, 9, false, "0"},
                                   {20500, 10, false, "0"}}, LIMIT);
    EXPECT_EQ(t.roundEnds, 1);
    restartRound(local);
    // Our pause is over before the winner's; then its restart reaches us, and
    // late states from its pause come after it.
    t = play(winner, local, {
        {25500, 10, false, "0"},  // still paused over there
        {25600, 10, false, "0"},
        {25650, 0, false, "0"},   // restarted
        {25700, 10, false, "0"},  // late
        {25900, 10, false, "0"},  // late
        {25920, 0, false, "0"},
    }, LIMIT);
    EXPECT_EQ(t.roundEnds, 0);
    // This round's own end still comes, at once.
    t = play(winner, local, {{60000, 9, false, "0"}, {61000, 10, false, "0"}}, LIMIT);
    EXPECT_EQ(t.roundEnds, 1);

    // A player first seen at the limit joined during its pause: not our round's end.
    Fighter newcomer(0);
    LocalFighter joined(0);
    EXPECT_EQ(play(newcomer, joined, {{1000, 10, false, "0"}, {3000, 10, false, "0"}}, LIMIT)
                  .roundEnds, 0);
    // Our own last frag ends it on the next state, whoever it comes from.
    joined.frags = LIMIT;
    EXPECT_EQ(play(newcomer, joined, {{3100, 0, false, "0"}}, LIMIT).roundEnds, 1);
}

}  // namespace
