// Walls, fighters and beams: the worked contacts, the long-frame crossing, beam
// clipping, the hit radius, and degenerate input that must not poison positions.
#include <gtest/gtest.h>

#include <cmath>

#include "client/match/collision.h"
#include "client/match/local_fighter.h"
#include "client/match/match_rules.h"
#include "test_world.h"

using namespace testworld;

namespace {

class Collision : public ::testing::Test {
protected:
    void SetUp() override { reset(); }

    // Places the move of this frame directly, as steerAndMove would leave it.
    void move(LocalFighter& f, Vec3 from, Vec3 to) {
        f.sphere.previous = from;
        f.sphere.current = to;
        f.body.setPosition(to);
    }

    void expectAt(const LocalFighter& f, Vec3 p) {
        EXPECT_NEAR(f.sphere.current.x, p.x, 1e-5);
        EXPECT_NEAR(f.sphere.current.y, p.y, 1e-5);
        EXPECT_NEAR(f.sphere.current.z, p.z, 1e-5);
        EXPECT_EQ(f.body.position, f.sphere.current);
    }

    bool finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
};

TEST_F(Collision, WorkedContactsTouchSlideAndCross) {
    World w;
    w.addMesh({wallAtXZero()});
    LocalFighter f(0);

    move(f, {1, 0, 0}, {0.5f, 0, 0});
    Vec3 p;
    ASSERT_TRUE(sphereFaceContact(f.sphere, w.faceLists[0][0], &p));
    EXPECT_NEAR(p.x, 0.0f, 1e-6);
    EXPECT_TRUE(collideWithMap(f, w.meshes()));
    expectAt(f, {0.701f, 0, 0});

    move(f, {1, 0, 0}, {0.5f, 0.3f, 0});
    EXPECT_TRUE(collideWithMap(f, w.meshes()));
    expectAt(f, {0.701f, 0.3f, 0});

    move(f, {1, 0, 0}, {-0.5f, 0.3f, 0});
    ASSERT_TRUE(sphereFaceContact(f.sphere, w.faceLists[0][0], &p));
    EXPECT_NEAR(p.y, 0.2f, 1e-6);
    EXPECT_TRUE(collideWithMap(f, w.meshes()));
    expectAt(f, {0.701f, 0.2f, 0});
    // The crosshair follows the corrected body.
    EXPECT_NEAR(f.crosshair.position.y, 0.2f + f.aimDistance, 1e-5);
}

TEST_F(Collision, StandingInsideTheRadiusIsPushedOnceThenStays) {
    World w;
    w.addMesh({wallAtXZero()});
    LocalFighter f(0);
    move(f, {0.5f, 0, 0}, {0.5f, 0, 0});
    EXPECT_TRUE(collideWithMap(f, w.meshes()));
    expectAt(f, {0.701f, 0, 0});
    move(f, f.sphere.current, f.sphere.current);
    EXPECT_FALSE(collideWithMap(f, w.meshes()));
    expectAt(f, {0.701f, 0, 0});
}

TEST_F(Collision, BackOfAFaceNeverCollides) {
    World w;
    w.addMesh({wallAtXZero()});
    LocalFighter f(0);
    move(f, {-0.3f, 0, 0}, {0.3f, 0, 0});  // from behind through the wall
    EXPECT_FALSE(collideWithMap(f, w.meshes()));
    move(f, {-0.2f, 0, 0}, {-2, 0, 0});  // walking away behind it
    EXPECT_FALSE(collideWithMap(f, w.meshes()));
    expectAt(f, {-2, 0, 0});
}

TEST_F(Collision, EdgesPushAFighterPassingACorner) {
    World w;
    // A wall in x = 0 whose last edge stands upright at y = 0, front +x.
    w.addMesh({face({0, 0, -10}, {0, 5, 0}, {0, 0, 10})});
    LocalFighter f(0);
    move(f, {0.2f, -2, 0}, {0.2f, -0.3f, 0});  // ends 0.36 from the upright edge
    EXPECT_TRUE(collideWithMap(f, w.meshes()));
    Vec3 away{0.2f, -0.3f, 0};
    expectAt(f, normalize(away) * 0.701f);
}

TEST_F(Collision, LongFrameStepIsStoppedAtTheWall) {
    World w;
    w.addMesh({wallAcrossY(5)});
    LocalFighter f(0);
    inputState.keys['W'] = 1;
    frameClock.frameTimeMs = 5000;  // 40 units at speed 0.08
    f.update();
    EXPECT_NEAR(f.body.position.y, 40.0f, 1e-3);
    EXPECT_TRUE(collideWithMap(f, w.meshes()));
    expectAt(f, {0, 5 - 0.701f, 0});
}

TEST_F(Collision, WallsTooCloseToPassBetweenGiveUpTheMove) {
    World w;
    // Two walls facing each other one unit apart: each pushes into the other.
    w.addMesh({wallAtXZero(), face({1, 100, -100}, {1, -100, -100}, {1, 0, 100})});
    LocalFighter f(0);
    move(f, {0.5f, 0, 0}, {0.5f, 0.2f, 0});
    EXPECT_TRUE(collideWithMap(f, w.meshes()));
    expectAt(f, {0.5f, 0, 0});
}

TEST_F(Collision, DegenerateFacesLeaveEveryPositionANumber) {
    World w;
    // A triangle squashed to a line and one squashed to a point: no plane.
    w.addMesh({face({0, 0, 0}, {1, 0, 0}, {2, 0, 0}), face({3, 3, 0}, {3, 3, 0}, {3, 3, 0})});
    LocalFighter f(0);
    move(f, {0.5f, -1, 0}, {0.5f, 0, 0});  // centre lands exactly on the line
    collideWithMap(f, w.meshes());
    EXPECT_TRUE(finite(f.sphere.current));
    EXPECT_GE(length(f.sphere.current - Vec3{0.5f, 0, 0}), 0.7f);
    move(f, {3, 2, 0}, {3, 3, 0});  // and exactly on the point
    collideWithMap(f, w.meshes());
    EXPECT_TRUE(finite(f.sphere.current));
    EXPECT_NEAR(length(f.sphere.current - Vec3{3, 3, 0}), 0.701f, 1e-5);
    EXPECT_TRUE(finite(f.crosshair.position));
}

TEST_F(Collision, FightersArePushedApartEvenFromTheSameSpot) {
    LocalFighter local(0);
    Fighter remote(1);
    remote.sphere.current = remote.sphere.previous = {2, 2, 0};
    local.sphere.current = {2, 2, 0};
    EXPECT_TRUE(collideWithFighter(local, remote));
    EXPECT_NEAR(local.sphere.current.x, 2 + 1.401f, 1e-5);
    EXPECT_FLOAT_EQ(local.sphere.current.y, 2);
    EXPECT_EQ(local.body.position, local.sphere.current);

    // So far out the 0.01 nudge is lost to rounding: still apart, no NaN.
    remote.sphere.current = {1e6f, 0, 0};
    local.sphere.current = {1e6f, 0, 0};
    EXPECT_TRUE(collideWithFighter(local, remote));
    EXPECT_TRUE(finite(local.sphere.current));
    EXPECT_GT(local.sphere.current.x, 1e6f + 1.3f);

    remote.dead = 1;
    local.sphere.current = remote.sphere.current;
    EXPECT_FALSE(collideWithFighter(local, remote));
}

TEST_F(Collision, APushFromAnotherFighterNeverCarriesThroughAWall) {
    // Both at one spot 1 in front of a wall: the push out along +x would end
    // 0.4 behind it and leave the fighter outside the arena for good.
    World w;
    w.addMesh({face({3, 100, -100}, {3, -100, -100}, {3, 0, 100})});  // x = 3, front -x
    LocalFighter local(0);
    Fighter remote(1);
    Fighter* remotes[protocol::SLOT_COUNT] = {&remote};
    remote.sphere.current = remote.sphere.previous = {2, 0, 0};
    local.body.setPosition(2, 0, 0);
    local.sphere.current = local.sphere.previous = {2, 0, 0};
    collideAndPublish(local, remotes, w.meshes());
    EXPECT_LE(local.sphere.current.x, 3 - 0.7f);
    EXPECT_EQ(local.body.position, local.sphere.current);
    EXPECT_FLOAT_EQ(local.publishedState().x, local.sphere.current.x);

    // Away from walls the push is whole, as before.
    remote.sphere.current = {-5, 0, 0};
    local.sphere.current = local.sphere.previous = {-5, 0, 0};
    collideAndPublish(local, remotes, w.meshes());
    EXPECT_NEAR(local.sphere.current.x, -5 + 1.401f, 1e-5);
}

TEST_F(Collision, BeamStopsAtTheNearerOfTwoWalls) {
    World w;
    w.addMesh({wallAcrossY(6)});
    // The nearer wall faces away from the shooter: beams stop on either side.
    w.addMesh({face({100, 3, -100}, {-100, 3, -100}, {0, 3, 100})});
    Beam beam;
    beam.start = {0, 0, 0};
    beam.end = {0, 10, 0};
    beam.length = 10;
    clipBeamToMap(beam, w.meshes());
    EXPECT_NEAR(beam.end.y, 3.0f, 1e-5);
    EXPECT_NEAR(beam.length, 3.0f, 1e-5);
    EXPECT_NEAR(beam.corners[2].y, 3.0f, 1e-5);
    EXPECT_FLOAT_EQ(beam.corners[0].x, -0.22f);
}

TEST_F(Collision, BeamInAFacePlaneOrOfNoLengthIsNotCut) {
    World w;
    w.addMesh({wallAtXZero()});
    Beam beam;
    beam.start = {0, -1, 0};
    beam.end = {0, 5, 0};
    beam.length = 6;
    clipBeamToMap(beam, w.meshes());
    EXPECT_EQ(beam.end, (Vec3{0, 5, 0}));
    EXPECT_FLOAT_EQ(beam.length, 6);

    beam.start = beam.end = {1, 1, 0};
    beam.length = 0;
    clipBeamToMap(beam, w.meshes());
    EXPECT_EQ(beam.end, (Vec3{1, 1, 0}));
    EXPECT_EQ(beam.length, 0.0f);
}

TEST_F(Collision, BeamEndKillsWithinPointFiftySixOfALivingFighter) {
    LocalFighter local(0);
    local.sphere.current = {2, 3, 0};
    Fighter remote(0);
    remote.beam.visible = 1;
    remote.beam.end = {2.55f, 3, 0};
    EXPECT_TRUE(isHitByBeam(local, remote));
    remote.beam.end = {2, 3.57f, 0};
    EXPECT_FALSE(isHitByBeam(local, remote));
    remote.beam.end = {2, 3, 0};
    remote.beam.visible = 0;
    EXPECT_FALSE(isHitByBeam(local, remote));
    remote.beam.visible = 1;
    local.dead = 1;
    EXPECT_FALSE(isHitByBeam(local, remote));
}

TEST_F(Collision, CrosshairAimsOnlyAtTheLiving) {
    LocalFighter local(0);
    Fighter remote(0);
    remote.sphere.current = {0, 6.5f, 0};
    EXPECT_TRUE(isAimedAt(local, remote));  // crosshair starts at (0, 6, 0)
    remote.dead = 1;
    EXPECT_FALSE(isAimedAt(local, remote));
}

TEST_F(Collision, PointInFaceNeedsNearlyAFullTurn) {
    MapFace f = face({0, 0, 0}, {3, 0, 0}, {0, 3, 0});
    EXPECT_TRUE(pointInFace({1, 1, 0}, f));
    EXPECT_FALSE(pointInFace({2, 2, 0}, f));
    EXPECT_FALSE(pointInFace({0, 0, 0}, f));  // a corner subtends too little
}

}  // namespace
