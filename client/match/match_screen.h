// One match on the client: it opens the match window, joins the server, loads
// the map the server names, runs every frame in a fixed order and leaves the
// server when it ends. It owns its map, its fighters, its music and its window.
#pragma once
#include <cstdint>

#include "client/assets/sound.h"
#include "client/match/match_recording.h"
#include "client/match/match_rules.h"
#include "client/match/remote_motion.h"
#include "client/net/server_browser.h"
#include "protocol/protocol.h"

class Map;
class LocalFighter;
struct Fighter;

class MatchScreen {
public:
    explicit MatchScreen(int32_t chosenFighter);
    ~MatchScreen();
    MatchScreen(const MatchScreen&) = delete;
    MatchScreen& operator=(const MatchScreen&) = delete;

    void update();
    void render();
    // Escape leaves the match, F12 takes a screenshot.
    void takeLeaveAndScreenshotKeys();

    Map* map = nullptr;
    LocalFighter* localFighter = nullptr;
    Fighter* remoteFighters[protocol::SLOT_COUNT] = {};
    // How each remote fighter is shown (its body follows this; the rules
    // keep the received state), and whether it has a sane place to be drawn.
    RemoteMotion remoteMotion[protocol::SLOT_COUNT];
    bool remoteShown[protocol::SLOT_COUNT] = {};
    uint8_t quitProgram = 1;  // 0 once the player leaves with Escape
    uint8_t roundOver = 0;    // a frag count reached the limit; the next update pauses
    RoundPause roundPause;    // the pause after a round's end
    Sound music = nullptr;
    bool hasVideo = false;  // the match window opened: GL may be used
    // Asks our server the discovery question once a second: its answer's
    // round trip is our ping on the scoreboard.
    ServerBrowser serverPing;
    MatchRecording recording;  // this match's file in ../replays, unless switched off
};

// Mirrors the network table into remote fighters through the remote-state
// rules: announces arrivals, departures and our kills, and ends the round.
void syncRemoteFighters(MatchScreen& match);
// Queues the scoreboard: the local player and every remote fighter by frags.
void drawScoreboard(MatchScreen& match);

// Camera 15 above a point 5.5 ahead of the fighter, turned with its heading
// so that the fighter always faces up the screen.
void placeCamera(const LocalFighter& fighter);

// Shows the timed event line (and traces it for the end-to-end tests).
void announce(float red, float green, float blue, const char* text);
