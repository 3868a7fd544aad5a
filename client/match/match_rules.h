// The match rules every player's program applies in the same order each frame:
// remote states mirrored onto fighters, hits, the kill credit, the round end.
#pragma once
#include <cstdint>
#include <vector>

#include "client/map/map_model.h"

#include "protocol/protocol.h"

struct Fighter;
class LocalFighter;

// Our next state for the wire from the fighter's last published copy (all but clientId).
void fillStateMessage(LocalFighter& local, protocol::StateMessage& m);

// A remote's identity, position, heading, animation cell and frags.
void mirrorRemoteBody(Fighter& f, const protocol::RemoteState& s);
// The round ends once any frag count reaches the limit.
bool fragLimitReached(int32_t remoteFrags, int32_t localFrags, int32_t fragLimit);
// Death and killer from the state. A kill is credited once: on the first state
// that names us as a new killer local gains a frag and this returns true.
bool takeKillCredit(Fighter& f, const protocol::RemoteState& s, LocalFighter& local);
void mirrorRemoteBeam(Fighter& f, const protocol::RemoteState& s);

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
