// The local fighter frame by frame with a hand-set clock, keys and mouse:
// walking, aiming, reload and beam timing, the death sequence, skins, and the
// state the send thread reads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "client/match/local_fighter.h"
#include "client/core/records.h"
#include "platform/thread.h"
#include "test_world.h"

using namespace testworld;

namespace {

class LocalFighterTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset();
        mouseLookFactor = 0.5f;
    }
};

TEST_F(LocalFighterTest, DiagonalIsNoFasterThanStraight) {
    LocalFighter f(0);
    inputState.keys['W'] = 1;
    inputState.keys['D'] = 1;
    frameClock.frameTimeMs = 100;  // step 0.8
    f.update();
    float perAxis = 0.8f / std::sqrt(2.0f);
    EXPECT_NEAR(f.body.position.x, perAxis, 1e-5);
    EXPECT_NEAR(f.body.position.y, perAxis, 1e-5);
    EXPECT_TRUE(f.moved);
    EXPECT_EQ(f.sphere.previous, (Vec3{0, 0, 0}));
    EXPECT_EQ(f.sphere.current, f.body.position);

    // Forward beats back and right beats left when both are held.
    inputState.keys['S'] = 1;
    inputState.keys['A'] = 1;
    f.update();
    EXPECT_NEAR(f.body.position.x, 2 * perAxis, 1e-5);
    EXPECT_NEAR(f.body.position.y, 2 * perAxis, 1e-5);
}

TEST_F(LocalFighterTest, KeysAndMouseTurnTheHeading) {
    LocalFighter f(2);  // speed 0.06
    frameClock.frameTimeMs = 100;  // step 0.6: 18 degrees by key
    inputState.keys['Z'] = 1;
    f.update();
    EXPECT_NEAR(f.body.rotation[2], 18.0f, 1e-4);
    inputState.keys['Z'] = 0;
    mouse = {10, 0};  // right turns clockwise: 5 degrees at factor 0.5
    f.update();
    EXPECT_NEAR(f.body.rotation[2], 13.0f, 1e-4);
    // Heading 90 faces -x; the crosshair sits aimDistance that way.
    mouse = {-154, 0};
    f.update();
    EXPECT_NEAR(f.forward.x, -1.0f, 1e-5);
    EXPECT_NEAR(f.right.y, 1.0f, 1e-5);
    EXPECT_NEAR(f.crosshair.position.x, -6.0f, 1e-4);
    EXPECT_FALSE(f.moved);
}

TEST_F(LocalFighterTest, AimDistanceStaysWithinItsRange) {
    LocalFighter f(0);
    mouse = {0, 1000};  // down pulls the crosshair in
    f.update();
    EXPECT_FLOAT_EQ(f.aimDistance, 1.0f);
    f.update();
    EXPECT_FLOAT_EQ(f.aimDistance, 1.0f);
    mouse = {0, -3};  // 3 * 0.5 / 15 = 0.1 further
    f.update();
    EXPECT_NEAR(f.aimDistance, 1.1f, 1e-5);
    mouse = {0, -1000};
    f.update();
    EXPECT_FLOAT_EQ(f.aimDistance, 12.5f);
    f.update();
    EXPECT_FLOAT_EQ(f.aimDistance, 12.5f);
    EXPECT_NEAR(f.crosshair.position.y, 12.5f, 1e-5);
}

TEST_F(LocalFighterTest, HeldFireShootsOncePerReloadAndShowsTheBeam300Ms) {
    const int32_t reloads[3] = {1500, 1200, 900};
    for (int skin = 0; skin < 3; ++skin) {
        reset();
        LocalFighter f(skin);
        inputState.keys[VK_CONTROL] = 1;
        uint32_t t0 = now;
        f.tryFire(playerInput());  // the first shot is free
        EXPECT_EQ(playedOn(CHANNEL_SHOT), 1);
        EXPECT_TRUE(f.beam.visible);
        EXPECT_NEAR(f.beam.length, 6.0f, 1e-5);
        now = t0 + 300;
        f.tryFire(playerInput());
        EXPECT_TRUE(f.beam.visible);
        now = t0 + 301;
        f.tryFire(playerInput());
        EXPECT_FALSE(f.beam.visible);
        now = t0 + uint32_t(reloads[skin]) - 1;
        f.tryFire(playerInput());
        EXPECT_EQ(playedOn(CHANNEL_SHOT), 1) << "skin " << skin;
        now = t0 + uint32_t(reloads[skin]);
        f.tryFire(playerInput());
        EXPECT_EQ(playedOn(CHANNEL_SHOT), 2) << "skin " << skin;
        EXPECT_TRUE(f.beam.visible);
    }
}

TEST_F(LocalFighterTest, TimersKeepRunningWhenTheClockWraps) {
    LocalFighter f(0);
    inputState.keys[VK_CONTROL] = 1;
    now = 0xFFFFFF00u;
    f.tryFire(playerInput());
    EXPECT_EQ(playedOn(CHANNEL_SHOT), 1);
    now = 0xFFFFFF00u + 1500u;  // wrapped past zero
    f.tryFire(playerInput());
    EXPECT_EQ(playedOn(CHANNEL_SHOT), 2);
}

TEST_F(LocalFighterTest, DeathSequencePlaysOnceWaitsAndRespawnsWithoutFiring) {
    std::srand(7);
    for (int i = 0; i < RESPAWN_POINT_COUNT; ++i) respawnPoints[i] = {10.0f * (i + 1), 0, 0};
    LocalFighter f(0);
    inputState.keys['W'] = 1;
    frameClock.frameTimeMs = 10;
    for (int i = 0; i < 3; ++i) now += 41, f.update();
    f.lastShotTime = now;  // the gun is loading, as after any shot
    f.beam.visible = 1;
    f.dead = 1;
    f.justKilled = 1;
    std::strcpy(f.killerId, "4242192.168.0.7");
    channelsPlayed.clear();
    Vec3 fellAt = f.body.position;

    std::string cells;
    for (int i = 0; i < 16; ++i) {
        f.update();
        EXPECT_FALSE(f.beam.visible);
        cells += std::to_string(f.animFrame) + " ";
        if (f.animFrame < 11) {
            EXPECT_STREQ(f.killerId, "4242192.168.0.7");
        }
        now += 41;
    }
    EXPECT_EQ(cells, "0 1 2 3 4 5 6 7 8 9 10 11 11 11 11 11 ");
    EXPECT_EQ(playedOn(CHANNEL_SQUISH), 1);
    EXPECT_STREQ(f.killerId, "0");
    EXPECT_TRUE(f.dead);
    EXPECT_EQ(f.body.position, fellAt);  // W is still held: no movement while dead

    now += 5000;  // reloaded long ago: the respawn click must still not fire
    inputState.leftButton = 1;
    f.update();
    EXPECT_FALSE(f.dead);
    EXPECT_EQ(inputState.leftButton, 0);
    bool atRespawn = false;
    for (const Vec3& p : respawnPoints) atRespawn = atRespawn || f.body.position == p;
    EXPECT_TRUE(atRespawn);
    EXPECT_EQ(f.sphere.current, f.body.position);
    EXPECT_EQ(f.sphere.previous, f.body.position);
    now += 41;
    f.update();
    EXPECT_EQ(playedOn(CHANNEL_SHOT), 0);
    EXPECT_FALSE(f.beam.visible);
}

TEST_F(LocalFighterTest, StandingShowsCellZeroWalkingStepsAtOnce) {
    LocalFighter f(0);
    frameClock.frameTimeMs = 10;
    for (int i = 0; i < 5; ++i) now += 41, f.update();
    EXPECT_EQ(f.animFrame, 0);
    EXPECT_EQ(playedOn(CHANNEL_STEP), 0);
    inputState.keys[VK_UP] = 1;
    f.update();
    EXPECT_EQ(playedOn(CHANNEL_STEP), 1);
}

TEST_F(LocalFighterTest, UnknownSkinPlaysAsSkinZero) {
    static std::string loaded;
    loaded.clear();
    fighterMedia.loadTexture = [](const char* path) -> uint32_t {
        loaded += std::string(path) + ";";
        return 1;
    };
    LocalFighter f(7);
    EXPECT_FLOAT_EQ(f.speed, 0.08f);
    EXPECT_EQ(f.reloadMs, 1500);
    EXPECT_EQ(loaded.find("../data/fighter/f1.tga;"), 0u);
    LocalFighter g(-1);
    EXPECT_FLOAT_EQ(g.speed, 0.08f);
    EXPECT_EQ(g.skin, -1);  // still reported as chosen
}

TEST_F(LocalFighterTest, AtlasCellsRunAlongUThenDownV) {
    Fighter f(0);
    f.updateTexCoords();
    EXPECT_FLOAT_EQ(f.spriteTexCoords[0][0], 0.0f);
    EXPECT_FLOAT_EQ(f.spriteTexCoords[0][1], 0.75f);
    EXPECT_FLOAT_EQ(f.spriteTexCoords[2][0], 0.25f);
    EXPECT_FLOAT_EQ(f.spriteTexCoords[2][1], 1.0f);
    f.animFrame = 11;
    f.updateTexCoords();
    EXPECT_FLOAT_EQ(f.spriteTexCoords[0][0], 0.75f);
    EXPECT_FLOAT_EQ(f.spriteTexCoords[0][1], 0.25f);
    EXPECT_FLOAT_EQ(f.spriteTexCoords[2][0], 1.0f);
    EXPECT_FLOAT_EQ(f.spriteTexCoords[2][1], 0.5f);
}

TEST_F(LocalFighterTest, SendThreadSeesOneMomentAtATime) {
    LocalFighter f(1);
    std::strcpy(f.name, "Ann");
    f.publishState();
    EXPECT_STREQ(f.publishedState().name, "Ann");
    EXPECT_EQ(f.publishedState().skin, 1);

    // The reader checks fields written together always arrive together.
    bool stop = false, torn = false;
    platform::Thread reader;
    reader.start([&] {
        while (!__atomic_load_n(&stop, __ATOMIC_ACQUIRE)) {
            PublishedState s = f.publishedState();
            if (s.x != s.y || s.x != float(s.frags) || s.beamLength != float(s.frags))
                __atomic_store_n(&torn, true, __ATOMIC_RELEASE);
        }
    });
    for (int i = 0; i < 20000; ++i) {
        f.publishedPosition = {float(i), float(i), 0};
        f.frags = i;
        f.beam.length = float(i);
        f.publishState();
    }
    __atomic_store_n(&stop, true, __ATOMIC_RELEASE);
    reader.join();
    EXPECT_FALSE(torn);
}

}  // namespace
