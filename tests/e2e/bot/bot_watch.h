// A watching client for the bot tests: joins like a player (dead, far off the
// map, so bots ignore it) and tallies from the relayed states what every other
// player did: kills by killer transitions, frags, and where it ever stood.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "client/map/map.h"
#include "client/net/net_client.h"

struct Watched {
    std::string name;
    std::string lastKiller = "0";
    int frags = 0;
    int credited = 0;  // states that newly named this player as a killer
    int deaths = 0;    // states that newly named a killer for this player
    int badPositions = 0;
    float badX = 0, badY = 0;
};

class BotWatch {
public:
    explicit BotWatch(const char* mapPath);
    bool join();
    // Reads the table every few milliseconds for the given time.
    void watch(uint32_t ms);
    // Watches until some player reaches `frags` or the time runs out; true if reached.
    bool watchUntilFrags(int frags, uint32_t ms);

    std::map<std::string, Watched> players;  // by client id
    Map map;

private:
    void poll();
    bool inWallOrOutside(float x, float y) const;
    NetClient net;
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
};
