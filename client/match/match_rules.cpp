#include "client/match/match_rules.h"

#include <cstring>

#include "client/match/collision.h"
#include "client/match/local_fighter.h"
#include "platform/clock.h"
#include "platform/text.h"

void fillStateMessage(LocalFighter& local, protocol::StateMessage& m) {
    m = local.publishedState();
}

RemoteOutcome applyRemoteRules(Fighter& f, const protocol::RemoteState& s, LocalFighter& local,
                               int32_t fragLimit, uint32_t now) {
    RemoteOutcome outcome;
    mirrorRemoteBody(f, s);
    outcome.roundOver = roundEnds(f, s, local, fragLimit, now);
    outcome.killCredited = takeKillCredit(f, s, local, now);
    mirrorRemoteBeam(f, s);
    return outcome;
}

void mirrorRemoteBody(Fighter& f, const protocol::RemoteState& s) {
    platform::copyText(f.clientId, s.clientId);
    f.skin = s.skin;  // the texture chosen at creation stays
    platform::copyText(f.name, s.name);
    f.body.setPosition(s.x, s.y, 0.0f);
    f.body.setRotation(0.0f, 0.0f, s.yaw);
    f.sphere.current = f.sphere.previous = f.body.position;
    f.animFrame = s.animFrame;
    f.frags = s.frags;
}

bool roundEnds(Fighter& f, const protocol::RemoteState& s, const LocalFighter& local,
               int32_t fragLimit, uint32_t now) {
    RemoteMemory& m = f.memory;
    uint32_t round = local.roundsRestarted + 1;  // 0: never seen below the limit
    if (s.frags < fragLimit && m.belowLimitRound != round) {
        m.belowLimitRound = round;
        m.belowLimitAt = now;
    }
    bool remoteAtLimit = s.frags >= fragLimit && m.belowLimitRound == round &&
                         platform::elapsedMs(now, m.belowLimitAt) > int64_t(LATE_STATE_MS);
    return remoteAtLimit || local.frags >= fragLimit;
}

bool takeKillCredit(Fighter& f, const protocol::RemoteState& s, LocalFighter& local,
                    uint32_t now) {
    f.dead = s.dead;
    platform::copyText(f.killerId, s.killerId);
    RemoteMemory& m = f.memory;
    bool namesUs = s.dead != 0 && std::strcmp(s.killerId, local.clientId) == 0;
    if (m.deathCredited) {
        // Only a state applied well after the credit can be from after that death.
        if (!namesUs && platform::elapsedMs(now, m.creditedAt) > int64_t(LATE_STATE_MS)) {
            m.deathCredited = false;
            m.deathOverSeen = true;
            m.deathOverAt = now;
        }
        return false;
    }
    if (!namesUs) return false;
    // Just after the credited death was seen over, a naming state may be its late one.
    if (m.deathOverSeen && platform::elapsedMs(now, m.deathOverAt) <= int64_t(LATE_STATE_MS))
        return false;
    m.deathCredited = true;
    m.creditedAt = now;
    m.deathOverSeen = false;
    local.frags += 1;
    return true;
}

void mirrorRemoteBeam(Fighter& f, const protocol::RemoteState& s) {
    f.beam.visible = s.beamVisible;
    f.beam.transform.setPosition(s.beamX, s.beamY, 0.0f);
    f.beam.transform.setRotation(0.0f, 0.0f, s.beamYaw);
    setBeamCorners(f.beam, s.beamLength);
    f.beam.end = {s.beamEndX, s.beamEndY, 0.0f};
}

LocalFrame playLocalFrame(LocalFighter& local, Fighter* const remotes[protocol::SLOT_COUNT],
                          const std::vector<MapMesh>& meshes, const std::function<void()>& move) {
    LocalFrame frame;
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        Fighter* remote = remotes[i];
        if (!remote) continue;
        remote->updateTexCoords();
        // Once dead, no later beam hits: one killer at most.
        if (takeHit(local, *remote)) frame.killer = remote;
    }
    move();
    collideAndPublish(local, remotes, meshes);
    return frame;
}

bool takeHit(LocalFighter& local, const Fighter& remote) {
    if (!isHitByBeam(local, remote)) return false;
    local.justKilled = 1;
    local.dead = 1;
    platform::copyText(local.killerId, remote.clientId);
    return true;
}

RoundPause::Step RoundPause::step(uint32_t now, LocalFighter& local) {
    if (ended) {
        ended = false;
        holding = true;
        until = now + ROUND_PAUSE_MS;
        return Step::Began;
    }
    if (!holding) return Step::Play;
    if (platform::elapsedMs(now, until) < 0) return Step::Holding;
    holding = false;
    restartRound(local);
    return Step::Restart;
}

void restartRound(LocalFighter& local) {
    local.dead = 0;
    local.frags = 0;
    // Our states go to everyone: a killer still named would hide that
    // player's next kill of us, which changes no killerId.
    platform::copyText(local.killerId, "0");
    local.roundsRestarted += 1;
    local.respawn();
}

void collideAndPublish(LocalFighter& local, Fighter* const remotes[protocol::SLOT_COUNT],
                       const std::vector<MapMesh>& meshes) {
    collideWithMap(local, meshes);
    Vec3 beforePushes = local.sphere.current;
    bool pushed = false;
    for (int i = 0; i < protocol::SLOT_COUNT; ++i)
        if (remotes[i]) pushed = collideWithFighter(local, *remotes[i]) || pushed;
    // Two fighters at one respawn point by a wall push each other up to a
    // body's width: met like a move, the wall stops that push.
    if (pushed) {
        local.sphere.previous = beforePushes;
        collideWithMap(local, meshes);
    }
    local.publishedPosition = local.body.position;
    if (local.beam.visible) clipBeamToMap(local.beam, meshes);
    local.publishState();
}
