// Every match the game plays goes to a recording in "../replays/" (beside
// bin/, where screenshots go), unless the recordMatches setting is 0: our own
// states as sent and every other player's as received, each at its time since
// the match began. The writer's own thread does the disk; the frame only
// hands the states over. A failure (a folder that cannot be written, a full
// disk) ends the recording with one event message; the match plays on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "client/net/net_client.h"
#include "replay/writer.h"

constexpr const char* REPLAY_FOLDER = "../replays";
// Player number of our own states in the file; the others keep their table index.
constexpr uint8_t OWN_PLAYER_NUMBER = protocol::SLOT_COUNT;

class MatchRecording {
public:
    MatchRecording() = default;
    ~MatchRecording() { stop(); }
    MatchRecording(const MatchRecording&) = delete;
    MatchRecording& operator=(const MatchRecording&) = delete;

    // After a successful join: the map is the first part of the join's map path.
    void start(NetClient& net, const char* playerName, uint32_t now);
    // Once a frame: hands over what crossed the wire since the last frame.
    void update();
    // Finishes the file (its summary and index) and names it.
    void stop();
    bool active() const { return net != nullptr; }

private:
    NetClient* net = nullptr;
    uint32_t startedAt = 0;
    replay::ReplayWriter writer;
    std::vector<WireState> batch;
};

// "hall" from "hall/hall.bxm".
std::string mapNameOfPath(const char* mapPath);
