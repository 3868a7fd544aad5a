// One local-fighter frame per iteration (update, then collision with every
// face, then clipping a visible beam) on the "hall" map and on a generated
// field of pillars of 100,000 faces. Each figure also comes as a ratio to a
// plain scan of as many faces (one plane distance each), measured in the same
// run, so results compare across machines.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "client/map/map.h"
#include "client/match/collision.h"
#include "client/match/local_fighter.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "platform/clock.h"
#include "tests/unit/fighter/test_world.h"

namespace {

uint32_t now = 100000;
uint32_t fakeClock() { return now; }
MouseDelta stillMouse() { return {0, 0}; }

// Square pillars 1 unit wide, 3 apart, 8 outward faces each.
struct PillarField {
    std::vector<MapFace> faces;
    std::vector<MapMesh> meshes;

    PillarField(int columns, int rows) {
        for (int i = 0; i < columns; ++i)
            for (int j = 0; j < rows; ++j) addPillar(i * 3.0f, j * 3.0f);
        MapMesh m;
        m.faceCount = int32_t(faces.size());
        m.faces = faces.data();
        meshes.push_back(m);
    }

    void addPillar(float x, float y) {
        Vec3 c[4] = {{x, y, 0}, {x + 1, y, 0}, {x + 1, y + 1, 0}, {x, y + 1, 0}};
        for (int k = 0; k < 4; ++k) {
            Vec3 a = c[k], b = c[(k + 1) % 4];
            Vec3 a0{a.x, a.y, -1}, b0{b.x, b.y, -1}, a1{a.x, a.y, 1}, b1{b.x, b.y, 1};
            faces.push_back(testworld::face(a0, b0, b1));
            faces.push_back(testworld::face(a0, b1, a1));
        }
    }
};

const PillarField& field() {
    static PillarField f(125, 100);  // 125 x 100 x 8 = 100,000 faces
    return f;
}

// Nanoseconds per face of one plane distance over the big field: the unit
// every frame figure is divided by (times the map's face count).
double planeScanNsPerFace() {
    static double cached = 0.0;
    if (cached > 0.0) return cached;
    const std::vector<MapMesh>& meshes = field().meshes;
    Vec3 p{1.5f, 1.5f, 0};
    int rounds = 50;
    auto t0 = std::chrono::steady_clock::now();
    float sink = 0.0f;
    for (int r = 0; r < rounds; ++r)
        for (const MapMesh& m : meshes)
            for (int32_t i = 0; i < m.faceCount; ++i)
                sink += dot(m.faces[i].planeNormal, p) + m.faces[i].planeDistance;
    benchmark::DoNotOptimize(sink);
    auto t1 = std::chrono::steady_clock::now();
    cached = std::chrono::duration<double, std::nano>(t1 - t0).count() / rounds /
             double(meshes[0].faceCount);
    return cached;
}

// The fighter walks forward, turning slowly so it keeps meeting walls, and
// fires whenever it can.
void frames(benchmark::State& state, const std::vector<MapMesh>& meshes, Vec3 start, bool shoot) {
    platform::setClockSource(fakeClock);
    setMouseDeltaSource(stillMouse);
    mouseLookFactor = 0.6f;
    LocalFighter f(2);
    f.body.setPosition(start);
    f.sphere.current = f.sphere.previous = f.body.position;
    inputState.keys['W'] = 1;
    inputState.keys['Z'] = 1;
    inputState.keys[VK_CONTROL] = shoot ? 1 : 0;
    frameClock.frameTimeMs = 16;
    double perFace = planeScanNsPerFace();
    long pushes = 0;
    auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        now += 16;
        f.update();
        pushes += collideWithMap(f, meshes);
        if (f.beam.visible) clipBeamToMap(f.beam, meshes);
        f.publishedPosition = f.body.position;
        f.publishState();
    }
    auto t1 = std::chrono::steady_clock::now();
    double perFrame = std::chrono::duration<double, std::nano>(t1 - t0).count() / state.iterations();
    int64_t faces = 0;
    for (const MapMesh& m : meshes) faces += m.faceCount;
    state.counters["faces"] = double(faces);
    state.counters["xPlaneScan"] = perFrame / (perFace * double(faces));
    state.counters["pushedFrames"] = double(pushes) / double(state.iterations());
}

// Between the first two pillar rows.
void BM_FieldWalking(benchmark::State& state) { frames(state, field().meshes, {2, 2, 0}, false); }
void BM_FieldWalkingAndFiring(benchmark::State& state) {
    frames(state, field().meshes, {2, 2, 0}, true);
}

void BM_HallWalkingAndFiring(benchmark::State& state) {
    static Map hall("../data/maps/hall/hall.bxm", MAP_GEOMETRY_ONLY);
    if (!hall.readSucceeded()) {
        state.SkipWithError("hall did not load (run from build/stage/bin)");
        return;
    }
    frames(state, hall.meshList(), respawnPoints[0], true);
}

void BM_PlaneScanBaseline(benchmark::State& state) {
    const std::vector<MapMesh>& meshes = field().meshes;
    Vec3 p{1.5f, 1.5f, 0};
    for (auto _ : state) {
        float sink = 0.0f;
        for (const MapMesh& m : meshes)
            for (int32_t i = 0; i < m.faceCount; ++i)
                sink += dot(m.faces[i].planeNormal, p) + m.faces[i].planeDistance;
        benchmark::DoNotOptimize(sink);
    }
}

}  // namespace

BENCHMARK(BM_PlaneScanBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FieldWalking)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FieldWalkingAndFiring)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HallWalkingAndFiring)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
