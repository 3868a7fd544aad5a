// The player's own fighter: input, movement, aiming, firing, death and respawn.
// The match owns it; other threads read only the PublishedState copy, under a lock.
// A frame reads nothing but the FighterInput it is given: the game gathers it
// from the window's records, a bot from its brain.
#pragma once
#include <cstdint>
#include <type_traits>

#include "client/assets/sound.h"
#include "client/match/fighter.h"
#include "platform/mutex.h"
#include "protocol/protocol.h"

constexpr float AIM_DISTANCE_MIN = 1.0f;
constexpr float AIM_DISTANCE_MAX = 12.5f;
constexpr int64_t BEAM_SHOWN_MS = 300;
constexpr int64_t ANIM_CELL_MS = 40;  // one atlas cell per more than this

// Everything one frame of the fighter reads, in world terms.
struct FighterInput {
    uint8_t keys[256] = {};   // 1 while held, by virtual-key code (W, S, A, D, Z, X, arrows)
    bool fire = false;        // left button or Ctrl held
    float turnDegrees = 0.0f; // heading change from the mouse, counter-clockwise
    float aimOut = 0.0f;      // how far the crosshair moves out (negative: in)
    int64_t frameTimeMs = 0;  // the frame's length; movement scales by it
    uint64_t now = 0;         // the clock for reload, beam and animation
};

// What a frame used up: a fire press that respawned the fighter, or that came
// while it waited to respawn, must not fire again once it is back.
struct InputUsed {
    bool firePress = false;
};

// Crosshair units per degree of mouse look: a fifteenth.
constexpr float AIM_UNITS_PER_LOOK_DEGREE = 0.06666667f;

// The player's input for this frame from the window's records: keys, buttons,
// the mouse movement (read once a frame: it re-centres the cursor) scaled by
// mouseLookFactor, the frame clock and the clock.
FighterInput playerInput();

// The fields other players learn about us, taken at one moment: exactly the
// state message the send thread puts on the wire.
using PublishedState = protocol::StateMessage;

class LocalFighter final : public Fighter {
public:
    explicit LocalFighter(int32_t skin);
    ~LocalFighter();

    // The fighter's two virtual operations, its own and in this slot order
    // (update, then draw): they override nothing, since Fighter has no
    // virtual function, and draw hides Fighter's remote drawing. There is no
    // virtual destructor: a LocalFighter is owned as itself (by the match or
    // a bot), never deleted through a Fighter pointer.
    //
    // The game's frame of the fighter: the player's input, one step, and the
    // buttons a used-up press leaves released.
    virtual void update();
    // Beam, sprite, then the crosshair over everything.
    virtual void draw();

    // One frame from one input: turn, move, aim, fire, sounds, animation.
    InputUsed step(const FighterInput& in);
    void tryFire(const FighterInput& in);
    InputUsed tickAnimation(const FighterInput& in);
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
    uint32_t roundsRestarted = 0;  // rounds begun since joining: which round we play
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

static_assert(std::is_polymorphic_v<LocalFighter> && !std::is_polymorphic_v<Fighter>,
              "the local fighter is the one polymorphic class");

// Where the crosshair sits: aimDistance ahead along forward.
void placeCrosshair(LocalFighter& fighter);
