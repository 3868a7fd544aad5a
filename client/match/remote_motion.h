// How another player is shown: states arrive every 20 ms at best, late,
// bunched, out of order or not at all, while frames run at any rate. Drawing
// each newest state as it comes makes a walker stand for some frames and jump
// for one, and a late state pulls it back. A RemoteMotion keeps a short
// history of one player's states (stamped with our clock as they arrive) and
// draws the player gliding along the path they describe, a small delay behind
// the newest one: the delay grows with the unevenness of the arrivals, so a
// late state is usually already covered. Along that path the shown point only
// goes forward, at the speed the states show, gently steered towards "the
// newest state, as old as the delay"; when states stop it goes on briefly
// along the last direction, then stands. A state that lies on the path
// already walked, within what a walk covers in 150 ms, is a late one and is
// dropped (a player really turning back shows once further back); a jump further than a walk could cover
// (respawn) is shown at once. Positions or headings that are no numbers, or
// absurd, never enter the history.
//
// Only what is drawn follows this; the rules keep the received states.
// Plain logic: no GL, no clock of its own (the caller passes the times).
#pragma once
#include <cstdint>

#include "protocol/protocol.h"

struct Fighter;
class NetClient;

struct ShownPose {
    float x = 0.0f;
    float y = 0.0f;
    float yaw = 0.0f;  // degrees, 0 faces +y, in [0, 360)
};

class RemoteMotion {
public:
    // One relayed state of the player, arrived at `arrivedMs` (our clock).
    // The same position and heading again only says the player is still heard.
    void received(float x, float y, float yaw, double arrivedMs);
    // Where the player is shown at `nowMs`; call once per frame, times rising.
    // False while no sane state has arrived: nothing to draw.
    bool shownAt(double nowMs, ShownPose* out);
    // Forget everything: the slot is vacant or another player took it.
    void reset();

    // The delay aimed at behind the newest state, ms.
    double delayMs() const;

    // For the feeding code (placeShownRemotes): the player this history is
    // of, and how many relays of its slot were seen.
    char clientId[protocol::CLIENT_ID_SIZE] = "";
    uint32_t arrivalsSeen = 0;

private:
    struct Sample {
        double t = 0.0;    // arrival, our clock
        double arc = 0.0;  // path length from the first sample of this history
        float x = 0.0f, y = 0.0f, yaw = 0.0f;
    };
    static constexpr int HISTORY = 32;

    const Sample& sample(int back) const;  // 0: newest
    void restartAt(float x, float y, float yaw, double t);
    bool liesOnWalkedPath(float x, float y) const;
    void pointAtArc(double arc, float* x, float* y, float* yaw) const;
    void fitWalk();

    Sample samples[HISTORY];
    int count = 0;       // samples held, at most HISTORY
    int newest = -1;     // ring index of the newest
    double heardAt = 0;  // last arrival of any state, repeats included
    double speed = 0;         // path units per ms the states show
    double lineAtNewest = 0;  // the walk's line at the newest arrival
    double longestWait = 0;   // between two states lately, ms
    double shownArc = 0;
    double shownSpeed = 0;
    double shownYaw = 0;
    double lastFrame = 0;
    bool framed = false;     // shownAt ran since the last restart
    Sample left;                  // the newest state before the last jump
    bool jumped = false;
};

// Each frame after the remote-state rules: every present fighter's motion is
// fed with its slot's newest relay (if one came since the last frame), and
// the fighter's body is placed where it is shown, for drawing and sight; its
// collision sphere keeps the received position. shown[i] says whether slot
// i's fighter has a sane place to be drawn.
void placeShownRemotes(NetClient& net, Fighter* const fighters[protocol::SLOT_COUNT],
                       RemoteMotion motions[protocol::SLOT_COUNT], uint32_t now,
                       bool shown[protocol::SLOT_COUNT]);
