// The player's own fighter: input, movement, aiming, firing, death and respawn.
// The match owns it; other threads read only the PublishedState copy, under a lock.
#pragma once
#include <cstdint>

#include "client/assets/sound.h"
#include "client/match/fighter.h"
#include "platform/mutex.h"
#include "protocol/protocol.h"

constexpr float AIM_DISTANCE_MIN = 1.0f;
constexpr float AIM_DISTANCE_MAX = 12.5f;
constexpr int64_t BEAM_SHOWN_MS = 300;
constexpr int64_t ANIM_CELL_MS = 40;  // one atlas cell per more than this

// The fields other players learn about us, taken at one moment: exactly the
// state message the send thread puts on the wire.
using PublishedState = protocol::StateMessage;

class LocalFighter final : public Fighter {
public:
    explicit LocalFighter(int32_t skin);
    ~LocalFighter();

    // One frame: turn, move, aim, fire, sounds, animation.
    virtual void update();
    // Beam, sprite, then the crosshair over everything.
    virtual void draw();

    void tryFire();
    void tickAnimation();
    // To a random one of the four respawn points; heading and aim are kept.
    void respawn();

    // Main thread, once a frame after collision: refresh the shared copy.
    void publishState();
    // Any thread: a copy of the last published state, whole.
    PublishedState publishedState();

    Vec3 publishedPosition;
    Vec3 forward{0.0f, 1.0f, 0.0f};
    Vec3 right{1.0f, 0.0f, 0.0f};
    float speed = 0.0f;
    uint8_t moved = 0;
    uint8_t justKilled = 0;
    uint64_t lastAnimTick = 0;
    Transform crosshair;
    Vec3 crosshairCorners[4];
    uint32_t crosshairTexture = 0;
    float aimDistance = 6.0f;
    int32_t reloadMs = 0;
    uint64_t lastShotTime = 0;  // 0: the first shot is free
    Sound stepSound = nullptr;
    Sound shotSound = nullptr;
    Sound squishSound = nullptr;

private:
    platform::Mutex publishLock;
    PublishedState published;
};

// Where the crosshair sits: aimDistance ahead along forward.
void placeCrosshair(LocalFighter& fighter);
