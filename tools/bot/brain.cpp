#include "tools/bot/brain.h"

#include <cmath>
#include <cstring>

#include "client/match/collision.h"
#include "client/match/local_fighter.h"
#include "platform/text.h"
#include "tools/bot/sight.h"

namespace {

constexpr float GOAL_REACHED = 1.5f;
constexpr uint32_t GOAL_PATIENCE_MS = 6000;
constexpr uint32_t STUCK_CHECK_MS = 700;
constexpr float STUCK_DISTANCE = 0.4f;
constexpr float PROBE_DISTANCE = 2.0f;
constexpr float KEEP_DISTANCE = 7.0f;  // closer than this a bot stops advancing
constexpr float FIRE_TURN_LIMIT = 3.0f;
constexpr float WANDER_AIM_DISTANCE = 6.0f;
constexpr float RADIANS_TO_DEGREES = float(180.0 / PI);

Vec3 headingVector(float heading) {
    double t = headingRadians(heading);
    return {float(std::cos(t)), float(std::sin(t)), 0.0f};
}

}  // namespace

SkillProfile skillProfile(int skill) {
    static const SkillProfile PROFILES[5] = {
        {800, 14.0f, 2.0f, 200.0f},
        {550, 9.0f, 1.3f, 300.0f},
        {380, 5.5f, 0.8f, 420.0f},
        {250, 3.0f, 0.45f, 560.0f},
        {150, 1.5f, 0.2f, 720.0f},
    };
    if (skill < 1) skill = 1;
    if (skill > 5) skill = 5;
    return PROFILES[skill - 1];
}

float headingTowards(Vec3 d) { return std::atan2(-d.x, d.y) * RADIANS_TO_DEGREES; }

float headingDifference(float from, float to) {
    float d = std::fmod(to - from, 360.0f);
    if (d > 180.0f) d -= 360.0f;
    if (d < -180.0f) d += 360.0f;
    return d;
}

Brain::Brain(int skill, uint32_t seed) : profile(skillProfile(skill)), rng(seed) {}

float Brain::randomIn(float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(rng);
}

BotControls Brain::think(const LocalFighter& me, Fighter* const remotes[protocol::SLOT_COUNT],
                         const std::vector<MapMesh>& meshes, uint32_t now, int64_t frameMs) {
    BotControls c;
    c.aimDistance = me.aimDistance;
    if (me.dead) {
        // Fire brings a fighter back once its death has played.
        c.fire = true;
        targetId[0] = '\0';
        hasGoal = false;
        return c;
    }
    const Fighter* target = pickTarget(me, remotes, meshes);
    if (target && std::strcmp(target->clientId, targetId) != 0) {
        platform::copyText(targetId, target->clientId);
        targetSeenAt = now;
    }
    if (!target) targetId[0] = '\0';
    if (target && now - targetSeenAt >= profile.reactionMs)
        fight(me, *target, now, frameMs, c);
    else
        wander(me, meshes, now, frameMs, c);
    return c;
}

const Fighter* Brain::pickTarget(const LocalFighter& me,
                                 Fighter* const remotes[protocol::SLOT_COUNT],
                                 const std::vector<MapMesh>& meshes) const {
    const Fighter* best = nullptr;
    float bestDistance = 0.0f;
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        const Fighter* r = remotes[i];
        if (!r || r->dead) continue;
        Vec3 p = r->body.position;
        if (!inCameraView(me.body.position, me.forward, p)) continue;
        if (!lineOfSight(me.body.position, p, meshes)) continue;
        float d = length(p - me.body.position);
        if (!best || d < bestDistance) {
            best = r;
            bestDistance = d;
        }
    }
    return best;
}

void Brain::turnToward(const LocalFighter& me, float heading, int64_t frameMs,
                       BotControls& c) const {
    float turn = headingDifference(me.body.rotation[2], heading);
    float most = profile.turnDegreesPerSecond * float(frameMs) / 1000.0f;
    if (turn > most) turn = most;
    if (turn < -most) turn = -most;
    c.turnDegrees = turn;
}

void Brain::fight(const LocalFighter& me, const Fighter& target, uint32_t now, int64_t frameMs,
                  BotControls& c) {
    if (now - aimRolledAt > 300) {
        aimRolledAt = now;
        aimOffset = randomIn(-profile.aimErrorDegrees, profile.aimErrorDegrees);
        rangeOffset = randomIn(-profile.rangeError, profile.rangeError);
    }
    Vec3 toTarget = target.body.position - me.body.position;
    float distance = length(toTarget);
    float heading = headingTowards(toTarget) + aimOffset;
    turnToward(me, heading, frameMs, c);

    float wanted = distance + rangeOffset;
    if (wanted > AIM_DISTANCE_MAX) wanted = AIM_DISTANCE_MAX;
    if (wanted < AIM_DISTANCE_MIN) wanted = AIM_DISTANCE_MIN;
    c.aimDistance = wanted;

    float turnLeft = std::fabs(headingDifference(me.body.rotation[2], heading));
    // Like a player, it fires at the target as shown.
    c.fire = isAimedAtShown(me, target) && turnLeft < FIRE_TURN_LIMIT;

    if (now >= strafeFlipAt) {
        strafeRight = !strafeRight;
        strafeFlipAt = now + uint32_t(randomIn(500.0f, 1400.0f));
    }
    c.right = strafeRight;
    c.left = !strafeRight;
    c.forward = distance > KEEP_DISTANCE;
}

void Brain::pickGoal(const LocalFighter& me, const std::vector<MapMesh>& meshes, uint32_t now) {
    goalSetAt = now;
    hasGoal = true;
    // A respawn point in plain sight, else somewhere open in a random direction.
    int first = int(randomIn(0.0f, float(RESPAWN_POINT_COUNT)));
    for (int k = 0; k < RESPAWN_POINT_COUNT; ++k) {
        Vec3 p = respawnPoints[(first + k) % RESPAWN_POINT_COUNT];
        p.z = 0.0f;
        if (length(p - me.body.position) > GOAL_REACHED * 2 &&
            lineOfSight(me.body.position, p, meshes)) {
            goal = p;
            return;
        }
    }
    for (int tries = 0; tries < 8; ++tries) {
        Vec3 d = headingVector(randomIn(-180.0f, 180.0f));
        float reach = randomIn(3.0f, 10.0f);
        if (pathClear(me.body.position, d, reach, meshes)) {
            goal = me.body.position + d * reach;
            return;
        }
    }
    goal = me.body.position - me.forward * 3.0f;
}

void Brain::wander(const LocalFighter& me, const std::vector<MapMesh>& meshes, uint32_t now,
                   int64_t frameMs, BotControls& c) {
    Vec3 here = me.body.position;
    if (now - progressCheckedAt > STUCK_CHECK_MS) {
        // Pressed against a wall or another fighter: give up this goal.
        if (hasGoal && length(here - progressFrom) < STUCK_DISTANCE) {
            hasGoal = false;
            unstickUntil = now + 400;
        }
        progressFrom = here;
        progressCheckedAt = now;
    }
    if (!hasGoal || length(goal - here) < GOAL_REACHED || now - goalSetAt > GOAL_PATIENCE_MS)
        pickGoal(me, meshes, now);

    Vec3 toGoal = goal - here;
    float wanted = length(toGoal) > 0.01f ? headingTowards(toGoal) : me.body.rotation[2];
    // Along the wanted line if it is open, else the nearest open direction.
    static const float SWINGS[] = {0, 30, -30, 60, -60, 90, -90, 135, -135, 180};
    for (float swing : SWINGS) {
        if (pathClear(here, headingVector(wanted + swing), PROBE_DISTANCE, meshes)) {
            wanted += swing;
            break;
        }
    }
    turnToward(me, wanted, frameMs, c);
    // Walk once roughly facing the way; back off a little when stuck.
    float off = std::fabs(headingDifference(me.body.rotation[2], wanted));
    if (now < unstickUntil) {
        c.back = true;
        c.left = strafeRight;
        c.right = !strafeRight;
    } else {
        c.forward = off < 60.0f;
    }
    // A player glances about: pull the crosshair back to a middle distance.
    c.aimDistance = WANDER_AIM_DISTANCE;
}
