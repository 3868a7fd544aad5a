#include "client/match/local_fighter.h"

#include <cstdlib>
#include <cstring>

#include "client/map/map_model.h"
#include "client/match/fighter_media.h"
#include "client/match/movement.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "platform/clock.h"
#include "platform/text.h"

FighterInput playerInput() {
    FighterInput in;
    in.frameTimeMs = frameClock.frameTimeMs;
    MouseDelta mouse = mouseDelta();
    std::memcpy(in.keys, inputState.keys, sizeof in.keys);
    in.fire = inputState.leftButton || inputState.keys[VK_CONTROL];
    // Mouse right turns clockwise; mouse up pushes the crosshair out.
    in.turnDegrees = -(float(mouse.x) * mouseLookFactor);
    in.aimOut = -(float(mouse.y) * mouseLookFactor * AIM_UNITS_PER_LOOK_DEGREE);
    in.now = platform::timeGetTime();
    return in;
}

LocalFighter::LocalFighter(int32_t skinIndex) : Fighter(skinIndex) {
    platform::copyText(name, settingsCopy().playerName);
    lastAnimTick = platform::timeGetTime();
    const Skin& s = skinFor(skin);
    speed = s.speed;
    reloadMs = s.reloadMs;
    crosshairCorners[0] = {-0.2f, -0.2f, 0.0f};
    crosshairCorners[1] = {0.2f, -0.2f, 0.0f};
    crosshairCorners[2] = {0.2f, 0.2f, 0.0f};
    crosshairCorners[3] = {-0.2f, 0.2f, 0.0f};
    crosshair.setPosition(body.position.x, body.position.y + aimDistance, body.position.z);
    crosshairTexture = fighterMedia.loadTexture("../data/fighter/cross.tga");
    stepSound = fighterMedia.loadSound("../data/sfx/step.wav");
    shotSound = fighterMedia.loadSound("../data/sfx/shot.wav");
    squishSound = fighterMedia.loadSound("../data/sfx/squish.wav");
    publishState();
}

LocalFighter::~LocalFighter() {
    fighterMedia.deleteTexture(crosshairTexture);
    fighterMedia.freeSound(stepSound);
    fighterMedia.freeSound(shotSound);
    fighterMedia.freeSound(squishSound);
}

void placeCrosshair(LocalFighter& f) {
    f.crosshair.setPosition(f.body.position + f.forward * f.aimDistance);
}

void LocalFighter::update() {
    if (step(playerInput()).firePress) releaseButtons();
}

InputUsed LocalFighter::step(const FighterInput& in) {
    float distance = float(in.frameTimeMs) * speed * 0.1f;
    if (dead) {
        beam.visible = 0;
    } else {
        steerAndMove(*this, in, distance);
        aimDistance = aimDistance + in.aimOut;
        if (aimDistance > AIM_DISTANCE_MAX) aimDistance = AIM_DISTANCE_MAX;
        if (aimDistance < AIM_DISTANCE_MIN) aimDistance = AIM_DISTANCE_MIN;
        placeCrosshair(*this);
        crosshair.setRotation(body.rotation[0], body.rotation[1], body.rotation[2]);
        tryFire(in);
    }
    if (justKilled) fighterMedia.playSound(squishSound, CHANNEL_SQUISH);
    // Restarted every frame the walk cycle sits on a footfall cell.
    if (moved && animFrame % 6 == 0) fighterMedia.playSound(stepSound, CHANNEL_STEP);
    InputUsed used = tickAnimation(in);
    updateTexCoords();
    return used;
}

void LocalFighter::draw() { fighterMedia.drawLocalFighter(*this); }

void LocalFighter::tryFire(const FighterInput& in) {
    uint64_t now = in.now;
    if (in.fire && platform::elapsedMs(now, lastShotTime) >= reloadMs) {
        beam.start = body.position;
        lastShotTime = now;
        beam.visible = 1;
        beam.end = crosshair.position;
        beam.transform.setPosition(body.position);
        beam.transform.setRotation(body.rotation[0], body.rotation[1], body.rotation[2]);
        beam.length = length(beam.end - beam.start);
        setBeamCorners(beam, beam.length);
        fighterMedia.playSound(shotSound, CHANNEL_SHOT);
    }
    if (beam.visible && platform::elapsedMs(now, lastShotTime) > BEAM_SHOWN_MS) beam.visible = 0;
}

InputUsed LocalFighter::tickAnimation(const FighterInput& in) {
    InputUsed used;
    uint64_t now = in.now;
    if (platform::elapsedMs(now, lastAnimTick) > ANIM_CELL_MS) {
        lastAnimTick = now;
        animFrame += 1;
    }
    if (justKilled || (!dead && (!moved || animFrame > ATLAS_LAST_CELL))) {
        animFrame = 0;
        justKilled = 0;
    }
    if (dead && animFrame > ATLAS_LAST_CELL) {
        // The death sequence has played once: the last blood cell stays, the
        // killer is no longer named, and fire brings the fighter back.
        animFrame = ATLAS_LAST_CELL;
        platform::copyText(killerId, "0");
        if (in.fire) {
            respawn();
            dead = 0;
        }
        // The click that respawns must not also fire.
        used.firePress = true;
    }
    return used;
}

void LocalFighter::respawn() {
    const Vec3& p = respawnPoints[std::rand() % RESPAWN_POINT_COUNT];
    body.setPosition(p);
    sphere.current = sphere.previous = p;
}

// Where the fighter keeps each field of the state it publishes, by the field's
// name in the state message's list (a field added there fails to build until
// it is named here).
#define FIGHTER_clientId(f) (f).clientId
#define FIGHTER_name(f) (f).name
#define FIGHTER_skin(f) (f).skin
#define FIGHTER_x(f) (f).publishedPosition.x
#define FIGHTER_y(f) (f).publishedPosition.y
#define FIGHTER_yaw(f) (f).body.rotation[2]
#define FIGHTER_animFrame(f) (f).animFrame
#define FIGHTER_frags(f) (f).frags
#define FIGHTER_dead(f) (f).dead
#define FIGHTER_killerId(f) (f).killerId
#define FIGHTER_beamVisible(f) (f).beam.visible
#define FIGHTER_beamX(f) (f).beam.transform.position.x
#define FIGHTER_beamY(f) (f).beam.transform.position.y
#define FIGHTER_beamYaw(f) (f).beam.transform.rotation[2]
#define FIGHTER_beamLength(f) (f).beam.length
#define FIGHTER_beamEndX(f) (f).beam.end.x
#define FIGHTER_beamEndY(f) (f).beam.end.y

void LocalFighter::publishState() {
    PublishedState s;
#define BLAST_PUBLISH_TEXT(field, ...) platform::copyText(s.field, FIGHTER_##field(*this));
#define BLAST_PUBLISH_INT(field, type, ...) s.field = type(FIGHTER_##field(*this));
#define BLAST_PUBLISH_REAL(field) s.field = FIGHTER_##field(*this);
    BLAST_STATE_FIELDS(BLAST_PUBLISH_TEXT, BLAST_PUBLISH_INT, BLAST_PUBLISH_REAL)
#undef BLAST_PUBLISH_TEXT
#undef BLAST_PUBLISH_INT
#undef BLAST_PUBLISH_REAL
    platform::Lock hold(publishLock);
    published = s;
}

PublishedState LocalFighter::publishedState() {
    platform::Lock hold(publishLock);
    return published;
}
