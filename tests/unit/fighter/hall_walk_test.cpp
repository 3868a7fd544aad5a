// The fighter let loose in the real "hall" map (geometry only, no window):
// thousands of frames of random walking, turning, aiming and firing, with
// an occasional long frame. It never passes through a wall, never rests in
// one, and every beam ends at or before the first wall in its way.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "client/map/map.h"
#include "client/match/collision.h"
#include "client/match/local_fighter.h"
#include "client/core/records.h"
#include "test_world.h"

using namespace testworld;

namespace {

bool upright(const MapFace& f) { return std::fabs(f.planeNormal.z) < 0.01f; }

// A wall face the sphere centre lies inside the radius of, in front of it.
const MapFace* overlappedWall(const Map& map, Vec3 c, float radius) {
    for (const MapMesh& m : map.meshList())
        for (int32_t i = 0; i < m.faceCount; ++i) {
            const MapFace& f = m.faces[i];
            float d = dot(f.planeNormal, c) + f.planeDistance;
            if (upright(f) && d > 0.0f && d < radius - 0.01f &&
                pointInFace(c - f.planeNormal * d, f))
                return &f;
        }
    return nullptr;
}

const MapFace* crossedWall(const Map& map, Vec3 from, Vec3 to) {
    for (const MapMesh& m : map.meshList())
        for (int32_t i = 0; i < m.faceCount; ++i) {
            const MapFace& f = m.faces[i];
            Vec3 p;
            if (upright(f) && dot(f.planeNormal, from) + f.planeDistance > 0.0f &&
                segmentFaceCrossing(from, to, f, &p) && pointInFace(p, f))
                return &f;
        }
    return nullptr;
}

TEST(HallWalk, RandomPlayNeverLeavesTheOpenFloor) {
    reset();
    mouseLookFactor = 0.6f;
    Map map("../data/maps/hall/hall.bxm", MAP_GEOMETRY_ONLY);
    ASSERT_TRUE(map.readSucceeded()) << "run from build/stage/bin with the data built";
    std::srand(2026);
    LocalFighter f(0);
    f.respawn();
    const uint32_t keys[] = {'W', 'S', 'A', 'D', 'Z', 'X', VK_CONTROL};
    int beams = 0;
    for (int frame = 0; frame < 5000; ++frame) {
        if (frame % 20 == 0)
            for (uint32_t k : keys) inputState.keys[k] = (std::rand() % 3 == 0) ? 1 : 0;
        mouse = {std::rand() % 21 - 10, std::rand() % 11 - 5};
        // Mostly smooth frames, now and then a stall of up to two seconds.
        frameClock.frameTimeMs = (frame % 97 == 0) ? 2000 : 5 + std::rand() % 30;
        now += uint32_t(frameClock.frameTimeMs);
        Vec3 before = f.body.position;
        f.update();
        collideWithMap(f, map);
        if (f.beam.visible) {
            clipBeamToMap(f.beam, map);
            ++beams;
            // The clipped end lies on the wall itself; stop a hair short of it.
            Vec3 shortEnd = f.beam.start + (f.beam.end - f.beam.start) * 0.999f;
            ASSERT_EQ(crossedWall(map, f.beam.start, shortEnd), nullptr)
                << "beam passes a wall at frame " << frame;
        }
        Vec3 at = f.body.position;
        ASSERT_TRUE(std::isfinite(at.x) && std::isfinite(at.y)) << "frame " << frame;
        ASSERT_EQ(at.z, 0.0f);
        ASSERT_EQ(crossedWall(map, before, at), nullptr) << "through a wall at frame " << frame;
        // A long step can land beside a wall whose plane it started behind;
        // faces only push what comes from their front, so that overlap is
        // undone by the next ordinary frame, not by this one.
        if (frameClock.frameTimeMs < 100) {
            ASSERT_EQ(overlappedWall(map, at, f.sphere.radius), nullptr)
                << "in a wall at frame " << frame;
        }
    }
    EXPECT_GT(beams, 100);
}

}  // namespace
