// A fighter: one player's sprite with name, frags, death state and last shot;
// remote players are plain Fighters. A Fighter owns its three textures.
#pragma once
#include <cstdint>

#include "client/match/transform.h"
#include "client/geometry/vec3.h"
#include "protocol/protocol.h"

// The fighter's body for collision: a sphere centred in the plane z = 0.
struct CollisionSphere {
    Vec3 previous;  // centre before this frame's move
    Vec3 current;   // centre after it, corrected by collision
    float radius = 0.7f;
};

// The last shot: an instant beam from the shooter to its crosshair, cut at walls.
struct Beam {
    Transform transform;  // shooter's position and angles when firing
    Vec3 start;
    Vec3 end;
    Vec3 corners[4];      // the quad in the beam's frame, see setBeamCorners
    float length = 0.0f;
    uint8_t visible = 0;  // 1 for 300 ms after a shot
};

// The beam quad for a length: 0.1 wide at the gun (0.7 ahead, 0.17 to the
// left of the centre line), 0.1 wide and centred at the far end.
void setBeamCorners(Beam& beam, float length);

// What a skin trades: walking speed against time between shots.
struct Skin {
    const char* texturePath;
    float speed;      // a frame moves frame ms x speed x 0.1 units: 0.08 is 8 a second
    int32_t reloadMs;
};
constexpr int SKIN_COUNT = 3;
// The skin's row; a skin outside 0..2 plays as skin 0.
const Skin& skinFor(int32_t skin);

// What the match rules remember of a remote player between its states, since a
// state alone cannot tell whether it is new or an old one arriving late.
struct RemoteMemory {
    bool deathCredited = false;  // its current death was credited to us
    uint32_t creditedAt = 0;     // when (our clock)
    bool deathOverSeen = false;  // a state after that death no longer named us
    uint32_t deathOverAt = 0;
    uint32_t belowLimitRound = 0;  // our round (plus one) in which it was seen below the limit
    uint32_t belowLimitAt = 0;     // first such sighting in that round
};

constexpr float FIGHTER_RADIUS = 0.7f;
constexpr int ATLAS_LAST_CELL = 11;  // cells 0..11 of the 4 x 4 atlas are played

struct Fighter {
    explicit Fighter(int32_t skin);
    ~Fighter();
    Fighter(const Fighter&) = delete;
    Fighter& operator=(const Fighter&) = delete;

    // Beam and sprite; remote fighters only (the local fighter has its own).
    void draw();
    // The sprite's atlas cell from animFrame: cells run along u, then down v.
    void updateTexCoords();

    Transform body;  // heading in rotation[2], degrees, 0 faces +y
    char clientId[protocol::CLIENT_ID_SIZE] = "0";
    int32_t skin = 0;
    char name[protocol::NAME_SIZE] = "Unknown";
    Vec3 spriteCorners[4];
    float spriteTexCoords[4][2] = {};
    uint32_t skinTexture = 0;
    uint32_t bloodTexture = 0;
    uint32_t laserTexture = 0;
    int32_t animFrame = 0;
    uint8_t visible = 1;
    uint8_t dead = 0;
    char killerId[protocol::CLIENT_ID_SIZE] = "0";  // "0": none
    int32_t frags = 0;
    CollisionSphere sphere;
    Beam beam;
    RemoteMemory memory;  // remote fighters only
};
