// The match rules every player's program applies in the same order each frame,
// the game and the bots alike: the local frame (hits, our own step, collision,
// the published state) and the remote-state rules (mirror, round end, kill
// credit, beam). Callers only present what the rules report.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "client/map/map_model.h"

#include "protocol/protocol.h"

struct Fighter;
class LocalFighter;

// The still pause after a round ends, scoreboard up, before everyone restarts.
constexpr uint32_t ROUND_PAUSE_MS = 5000;

// The round's end as every player's program keeps it, the game and the bots
// alike: the frame that sees a frag count at the limit plays on and shows the
// scoreboard; from the next frame nothing is played for ROUND_PAUSE_MS (the
// network goes on sending the last state), then the round restarts. A clock,
// not a sleep: the thread stays free for its window and its messages.
class RoundPause {
public:
    enum class Step {
        Play,     // no pause: play the frame
        Began,    // the pause starts with this frame: play nothing
        Holding,  // still paused: play nothing
        Restart,  // the pause is over: the round restarted, play the frame
    };
    // A remote-state rule saw the round end (the next step begins the pause).
    void roundEnded() { ended = true; }
    // What this frame does at `now` (ms); at Restart the local fighter has
    // already restarted its round (restartRound).
    Step step(uint32_t now, LocalFighter& local);
    bool paused() const { return holding || ended; }

private:
    bool ended = false;
    bool holding = false;
    uint32_t until = 0;
};

// Our next state for the wire from the fighter's last published copy (all but clientId).
void fillStateMessage(LocalFighter& local, protocol::StateMessage& m);

// --- The remote-state rules: one relayed state onto its fighter -------------

// How late a state can still arrive after newer ones from the same player:
// datagrams overtake each other on a busy network, and the server relays
// whatever it last received. An old state is no news: a kill it names was
// credited already, a frag count at the limit belongs to the round just
// ended. Loopback with 50 +- 20 ms of jitter each way, reordering and
// duplicates shows states up to about 330 ms late (p99 about 120 ms); the
// window must stay below a death's 492 ms of naming its killer, so that the
// next death by the same hand is still seen.
constexpr uint32_t LATE_STATE_MS = 400;

// What one relayed state did to the match.
struct RemoteOutcome {
    bool roundOver = false;     // a frag count is at the limit: the round ends
    bool killCredited = false;  // it names us as its new killer: we gained a frag
};

// The rules for one state applied at `now` (ms, our clock), in their order:
// body, round end (tested before this state's credit, so our own last frag
// ends the round one frame later), death and kill credit, beam.
RemoteOutcome applyRemoteRules(Fighter& remote, const protocol::RemoteState& s,
                               LocalFighter& local, int32_t fragLimit, uint32_t now);

// A remote's identity, position, heading, animation cell and frags.
void mirrorRemoteBody(Fighter& f, const protocol::RemoteState& s);
// The round ends once our frags reach the limit, or a remote's do in the round
// we play: that remote was seen below the limit since our round began, longer
// than LATE_STATE_MS ago, so its count at the limit is not a late state from
// before its restart.
bool roundEnds(Fighter& f, const protocol::RemoteState& s, const LocalFighter& local,
               int32_t fragLimit, uint32_t now);
// Death and killer from the state. Each death of the remote that names us is
// credited once, on the first state that names us (dead, killerId ours); that
// death is over once a state that no longer names us is applied more than
// LATE_STATE_MS after the credit, and naming states until LATE_STATE_MS after
// that still belong to it. True when local gained a frag.
bool takeKillCredit(Fighter& f, const protocol::RemoteState& s, LocalFighter& local,
                    uint32_t now);
void mirrorRemoteBeam(Fighter& f, const protocol::RemoteState& s);

// --- The local frame ---------------------------------------------------------

// What the local frame did.
struct LocalFrame {
    const Fighter* killer = nullptr;  // whose beam ended on us: we died this frame
};

// The local fighter's frame: each remote's sprite cell and the beams that end
// on us, then `move` (our own step: the game's update, or a bot's step with its
// brain's input), then walls and bodies, the beam cut at the walls, and the
// state the send thread publishes.
LocalFrame playLocalFrame(LocalFighter& local, Fighter* const remotes[protocol::SLOT_COUNT],
                          const std::vector<MapMesh>& meshes, const std::function<void()>& move);

// The remote's visible beam ends on the living local fighter: it dies, and
// names the remote as its killer. True on that hit.
bool takeHit(LocalFighter& local, const Fighter& remote);
// After the pause at a round's end: alive, no frags, no killer named, at a
// respawn point, in the next round.
void restartRound(LocalFighter& local);
// After the move: walls, then every remote pushes us back, and a push never
// carries us into or through a wall; the position and the beam, cut at the
// walls, go out in the published state.
void collideAndPublish(LocalFighter& local, Fighter* const remotes[protocol::SLOT_COUNT],
                       const std::vector<MapMesh>& meshes);
