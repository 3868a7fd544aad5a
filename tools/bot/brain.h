// A bot's player: looks at what its screen would show and decides the keys,
// the turn, the aim and the button for the next frame. One Brain per bot; it
// owns only its plans.
#pragma once
#include <cstdint>
#include <random>
#include <vector>

#include "client/map/map_model.h"
#include "client/geometry/vec3.h"
#include "protocol/protocol.h"

struct Fighter;
class LocalFighter;

// What a player's hands would do this frame, in world terms.
struct BotControls {
    bool forward = false, back = false, left = false, right = false;
    bool fire = false;
    float turnDegrees = 0.0f;  // heading change, counter-clockwise
    float aimDistance = 0.0f;  // where the crosshair should be; see Brain::think
};

// The skill levels 1..5: how slow to react, how far off the aim, how fast the turn.
struct SkillProfile {
    uint32_t reactionMs;
    float aimErrorDegrees;
    float rangeError;
    float turnDegreesPerSecond;
};
SkillProfile skillProfile(int skill);

// The heading (degrees, 0 faces +y, counter-clockwise) that faces along d.
float headingTowards(Vec3 d);
// The turn from one heading to another, in -180..180.
float headingDifference(float from, float to);

class Brain {
public:
    Brain(int skill, uint32_t seed);

    // The controls for this frame; aimDistance is always set (the fighter's
    // own when the brain leaves the aim alone).
    BotControls think(const LocalFighter& me, Fighter* const remotes[protocol::SLOT_COUNT],
                      const std::vector<MapMesh>& meshes, uint32_t nowMs, int64_t frameMs);

private:
    const Fighter* pickTarget(const LocalFighter& me, Fighter* const remotes[protocol::SLOT_COUNT],
                              const std::vector<MapMesh>& meshes) const;
    void fight(const LocalFighter& me, const Fighter& target, uint32_t now, int64_t frameMs,
               BotControls& c);
    void wander(const LocalFighter& me, const std::vector<MapMesh>& meshes, uint32_t now,
                int64_t frameMs, BotControls& c);
    void pickGoal(const LocalFighter& me, const std::vector<MapMesh>& meshes, uint32_t now);
    // Turns toward the heading no faster than the skill allows.
    void turnToward(const LocalFighter& me, float heading, int64_t frameMs, BotControls& c) const;
    float randomIn(float low, float high);

    SkillProfile profile;
    std::mt19937 rng;
    char targetId[protocol::CLIENT_ID_SIZE] = "";
    uint32_t targetSeenAt = 0;
    uint32_t aimRolledAt = 0;
    float aimOffset = 0.0f, rangeOffset = 0.0f;
    uint32_t strafeFlipAt = 0;
    bool strafeRight = false;
    Vec3 goal;
    bool hasGoal = false;
    uint32_t goalSetAt = 0;
    Vec3 progressFrom;
    uint32_t progressCheckedAt = 0;
    uint32_t unstickUntil = 0;
};
