// One bot: a full client of its own (socket, threads, fighter, remote table)
// whose hands are a Brain. A bot touches no process-wide input or clock: its
// fighter steps on the input the brain decides. The bots of a process take
// their frames in turn on one thread, which costs least.
#pragma once
#include <cstdint>
#include <string>

#include "client/match/fighter.h"
#include "client/match/local_fighter.h"
#include "client/match/match_rules.h"
#include "client/match/remote_motion.h"
#include "client/net/net_client.h"
#include "tools/bot/brain.h"

class Map;

// What a bot has done so far.
struct BotEvents {
    int kills = 0;
    int deaths = 0;
    int rounds = 0;
};

class Bot {
public:
    Bot(int number, const std::string& name, int32_t skin, int skill, uint32_t seed);
    ~Bot();
    Bot(const Bot&) = delete;
    Bot& operator=(const Bot&) = delete;

    JoinOutcome join(const char* server);
    const protocol::JoinReply& reply() const { return net.reply(); }
    // Enter the arena: a random respawn point of the loaded map.
    void enter(const Map& map, uint32_t now);
    // One frame in the client's order: round pause, remote states, hits,
    // the brain's move, collision and the published state.
    void frame(uint32_t now);
    // No relay from the server for this long: it has gone.
    bool serverSilentFor(uint32_t now, uint32_t ms) const;

    const LocalFighter& fighter() const { return self; }
    const BotEvents& events() const { return tally; }

private:
    friend class BotTableEvents;
    int idTag;
    NetClient net;
    LocalFighter self;
    Fighter* remotes[protocol::SLOT_COUNT] = {};
    // The others as a player's screen shows them: the brain sees these places.
    RemoteMotion motions[protocol::SLOT_COUNT];
    bool shown[protocol::SLOT_COUNT] = {};
    Brain brain;
    const Map* map = nullptr;
    uint32_t lastFrame = 0;
    RoundPause roundPause;
    BotEvents tally;
};
