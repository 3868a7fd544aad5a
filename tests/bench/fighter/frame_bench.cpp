// Whole frames under Mesa's llvmpipe at 640 x 480 (offscreen): the local
// fighter's update with collision, then drawing the "hall" map, the fighter,
// its beam, crosshair and the fps line. The baseline is an empty frame (clear
// and swap) measured in the same run. Run from build/stage/bin.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "client/map/map.h"
#include "client/match/collision.h"
#include "client/match/fighter_media.h"
#include "client/match/local_fighter.h"
#include "client/match/match_screen.h"
#include "client/core/records.h"
#include "client/shell/glwindow.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "client/ui/font.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace {

uint32_t now = 100000;
uint32_t fakeClock() { return now; }
MouseDelta stillMouse() { return {0, 0}; }

double emptyFrameNs = 0.0;

// Both frames wait for the rasteriser, so the figure is the drawing's cost and
// not how many frames the driver lets us queue.
void emptyFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    platform::swapBuffers(glWindow.hdc);
}

void BM_EmptyFrame(benchmark::State& state) {
    auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) emptyFrame();
    auto t1 = std::chrono::steady_clock::now();
    emptyFrameNs = std::chrono::duration<double, std::nano>(t1 - t0).count() / state.iterations();
}

void BM_HallFrame(benchmark::State& state) {
    Map map("../data/maps/hall/hall.bxm");
    if (!map.readSucceeded()) {
        state.SkipWithError("hall did not load (run from build/stage/bin)");
        return;
    }
    LocalFighter f(2);
    f.respawn();
    inputState.keys['W'] = 1;
    inputState.keys['Z'] = 1;
    inputState.keys[VK_CONTROL] = 1;
    frameClock.frameTimeMs = 16;
    auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        now += 16;
        addTextLine(0.71f, 0.91f, 1, 1, 1, "fps: 60");
        f.update();
        collideWithMap(f, map);
        if (f.beam.visible) clipBeamToMap(f.beam, map);
        placeCamera(f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        applyProjection();
        map.render();
        f.draw();
        drawTextOverlay();
        glFinish();
        platform::swapBuffers(glWindow.hdc);
    }
    auto t1 = std::chrono::steady_clock::now();
    double perFrame = std::chrono::duration<double, std::nano>(t1 - t0).count() / state.iterations();
    int faces = 0;
    for (const MapMesh& m : map.meshList()) faces += m.faceCount;
    state.counters["faces"] = faces;
    if (emptyFrameNs > 0.0) state.counters["xEmptyFrame"] = perFrame / emptyFrameNs;
}

}  // namespace

BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HallFrame)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    platform::setClockSource(fakeClock);
    setMouseDeltaSource(stillMouse);
    useGlWindows();
    if (!createGlWindow("Blastavia", 640, 480, 32, false)) {
        std::fprintf(stderr, "no GL window\n");
        return 1;
    }
    useGlFighterMedia();
    createFont(18, 500, "Lucida Console");
    benchmark::RunSpecifiedBenchmarks();
    deleteFont();
    fighterMedia = silentFighterMedia();
    killGlWindow();
    return 0;
}
