// The match this game hosts from the menu's Servers page: a `server` started
// from the game's own bin/ folder (the working folder), optionally with bots
// from the same folder. It ends with the game: stopHostedServer on the way
// out, and the system's parent-death signal when the game is killed
// (platform/process.h). Main thread only.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/process.h"
#include "protocol/discovery.h"

struct HostedServer {
    platform::ProcessId server = platform::NO_PROCESS;
    platform::ProcessId bots = platform::NO_PROCESS;
    char mapName[protocol::DISCOVERY_MAP_FIELD] = "";
    int32_t maxPlayers = 0;
    int32_t fragLimit = 0;
    int32_t botCount = 0;   // wanted; started once the server answers
    bool botsStarted = false;
};

// Process lifetime: empty until the player hosts, emptied by stopHostedServer.
extern HostedServer hostedServer;

// What the page may ask for.
constexpr int32_t HOST_PLAYERS_MIN = 2, HOST_PLAYERS_MAX = 10;
constexpr int32_t HOST_FRAGS_MIN = 1, HOST_FRAGS_MAX = 99;
constexpr int32_t HOST_BOTS_MAX = 9;

// The maps a hosted server can run: the folders of `mapsFolder` that hold
// their own <name>.bxm and whose name a discovery reply can carry, sorted.
std::vector<std::string> hostableMaps(const char* mapsFolder);

// Stops any hosted server, then starts "./server MAP PLAYERS FRAGS" with its
// console sent to ../server.log. False when the values are outside the
// limits above or the program could not be started.
bool startHostedServer(const char* mapName, int32_t maxPlayers, int32_t fragLimit,
                       int32_t botCount);
// Starts the bots the host asked for, once: called when the hosted server
// has been seen answering (it listens by then). True when bots run now.
bool startHostedBots();
// True while the hosted server process runs.
bool hostedServerRunning();
// Ends the bots and the server (a no-op when nothing is hosted).
void stopHostedServer();
