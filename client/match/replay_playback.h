// A recording played back: the fighters of every recorded player as they were
// at the playback position, moved on by the frame time at a chosen speed,
// paused, or sought to any moment (through the file's keyframes, never read
// from the start). States go through the same remote-fighter rules as in a
// match (body, death and killer, beam); what they tell (arrivals, departures,
// kills) comes back as events for the screen to show. No GL here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "client/match/fighter.h"
#include "client/match/remote_motion.h"
#include "replay/reader.h"

// Player numbers a recording may use that get a fighter (the game's ten
// table slots and its own, or a server's ten slots).
constexpr int PLAYBACK_PLAYERS = 16;
constexpr float PLAYBACK_SPEEDS[] = {0.25f, 0.5f, 1.0f, 2.0f, 4.0f, 8.0f};
constexpr int PLAYBACK_SPEED_COUNT = 6;
constexpr int PLAYBACK_NORMAL_SPEED = 2;
constexpr uint32_t SEEK_STEP_MS = 10000;

struct PlaybackEvent {
    enum Kind { Arrived, Left, Killed, RoundWon, Fired } kind;  // Fired: no text
    int player;        // the one it happened to (the victim of a kill)
    int killer = -1;   // Killed: the killer's player number, -1 when not recorded
    std::string text;  // "Rob1 killed Rob2", "Rob1 has connected"
};

class ReplayPlayback {
public:
    ReplayPlayback() = default;
    ~ReplayPlayback();
    ReplayPlayback(const ReplayPlayback&) = delete;
    ReplayPlayback& operator=(const ReplayPlayback&) = delete;

    bool open(const char* path);
    const replay::ReplayHeader& header() const { return reader.header(); }
    const replay::ReplaySummary& summary() { return reader.summary(); }
    uint32_t lengthMs() { return reader.lengthMs(); }

    // Moves the position on by `frameMs` of real time at the current speed
    // (nothing while paused), applying every record up to it; events raised
    // go to `events` (appended).
    void advance(float frameMs, std::vector<PlaybackEvent>* events);
    // Jumps to `ms` (clamped to the recording): the fighters are rebuilt from
    // the state at that moment, silently.
    void seek(uint32_t ms);
    // Before drawing: every fighter's body where it is shown at the position,
    // gliding along its recorded states as other players do in a match (the
    // next records put the bodies back on the states themselves).
    void placeShown();

    uint32_t position() const { return uint32_t(positionMs); }
    bool paused = false;
    int speedIndex = PLAYBACK_NORMAL_SPEED;
    float speed() const { return PLAYBACK_SPEEDS[speedIndex]; }
    bool atEnd() { return position() >= lengthMs(); }

    // The fighter of a player number, or null.
    Fighter* fighter(int player) const {
        return player >= 0 && player < PLAYBACK_PLAYERS ? fighters[player] : nullptr;
    }
    // Present players in number order: what 1-9 pick from.
    std::vector<int> presentPlayers() const;

private:
    void apply(const replay::ReplayRecord& record, std::vector<PlaybackEvent>* events);
    void clear();
    replay::ReplayReader reader;
    double positionMs = 0;
    Fighter* fighters[PLAYBACK_PLAYERS] = {};
    // Each fighter is drawn gliding along its recorded states, as other
    // players are in a match, on the playback clock.
    RemoteMotion motions[PLAYBACK_PLAYERS];
    replay::ReplayRecord ahead;  // read but not yet due
    bool haveAhead = false;
};
