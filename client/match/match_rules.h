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

// Our next state for the wire from the fighter's last published copy (all but clientId).
void fillStateMessage(LocalFighter& local, protocol::StateMessage& m);

// --- The remote-state rules: one relayed state onto its fighter -------------

// What one relayed state did to the match.
struct RemoteOutcome {
    bool roundOver = false;     // a frag count is at the limit: the round ends
    bool killCredited = false;  // it names us as its new killer: we gained a frag
};

// The rules for one state, in their order: body, round end (tested before this
// state's credit, so our own last frag ends the round one frame later), death
// and kill credit, beam.
RemoteOutcome applyRemoteRules(Fighter& remote, const protocol::RemoteState& s,
                               LocalFighter& local, int32_t fragLimit);

// A remote's identity, position, heading, animation cell and frags.
void mirrorRemoteBody(Fighter& f, const protocol::RemoteState& s);
// The round ends once any frag count reaches the limit.
bool fragLimitReached(int32_t remoteFrags, int32_t localFrags, int32_t fragLimit);
// Death and killer from the state. A kill is credited once: on the first state
// that names us as a new killer local gains a frag and this returns true.
bool takeKillCredit(Fighter& f, const protocol::RemoteState& s, LocalFighter& local);
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
// After the pause at a round's end: alive, no frags, at a respawn point.
void restartRound(LocalFighter& local);
// After the move: walls, then every remote pushes us back, and a push never
// carries us into or through a wall; the position and the beam, cut at the
// walls, go out in the published state.
void collideAndPublish(LocalFighter& local, Fighter* const remotes[protocol::SLOT_COUNT],
                       const std::vector<MapMesh>& meshes);
