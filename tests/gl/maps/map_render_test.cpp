// The bundled maps drawn from the match camera under an offscreen GL context:
// pixels of lit walls, culled back faces and the light's fall-off. The frames
// are saved as PNG pictures in the build's artifacts folder.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include "client/map/map.h"
#include "client/match/transform.h"
#include "client/core/records.h"
#include "client/shell/glwindow.h"
#include "tests/support/png_file.h"

namespace {

constexpr int WIDTH = 640, HEIGHT = 480;

class MapRender : public ::testing::Test {
protected:
    static void SetUpTestSuite() { useGlWindows(); ASSERT_TRUE(createGlWindow("maps", WIDTH, HEIGHT, 32, false)); }
    static void TearDownTestSuite() { killGlWindow(); }
};

// The match's camera for a fighter at `position` facing `heading` degrees.
void placeCamera(Vec3 position, float heading) {
    const float radians = heading * 3.14159265f / 180.0f;
    Vec3 forward{-std::sin(radians), std::cos(radians), 0.0f};
    Vec3 target = position + forward * 5.5f;
    setViewRotation(0.0f, 0.0f, -heading);
    setViewTranslation(-target.x, -target.y, -target.z - 15.0f);
}

struct Frame {
    std::vector<uint8_t> rgb;  // bottom row first
    float luminance(int x, int y) const {
        // Averaged over 3 x 3 pixels so texture filtering does not decide.
        float sum = 0.0f;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const uint8_t* p = &rgb[size_t(((y + dy) * WIDTH + (x + dx)) * 3)];
                sum += 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
            }
        return sum / 9.0f;
    }
    double litShare() const {
        size_t lit = 0;
        for (size_t i = 0; i < rgb.size(); i += 3) lit += (rgb[i] | rgb[i + 1] | rgb[i + 2]) > 8;
        return double(lit) / double(WIDTH * HEIGHT);
    }
};

Frame drawFrame(const Map& map) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyProjection();
    map.render();
    glFinish();
    Frame f;
    f.rgb.resize(size_t(WIDTH * HEIGHT * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, f.rgb.data());
    return f;
}

// Window pixel of a world point through the current projection (the map's
// model-view is the identity).
void project(Vec3 p, int& x, int& y) {
    float m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    float cx = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
    float cy = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
    float cw = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
    x = int(std::lround((cx / cw + 1.0f) * 0.5f * WIDTH));
    y = int(std::lround((cy / cw + 1.0f) * 0.5f * HEIGHT));
}

float luminanceAt(const Frame& f, Vec3 p) {
    int x, y;
    project(p, x, y);
    EXPECT_TRUE(x > 1 && y > 1 && x < WIDTH - 2 && y < HEIGHT - 2) << "point out of view";
    return f.luminance(x, y);
}

std::string artifact(const char* name) { return std::string(ARTIFACT_DIR) + "/" + name; }

}  // namespace

TEST_F(MapRender, HallFromACorner) {
    Map hall("../data/maps/hall/hall.bxm");
    ASSERT_TRUE(hall.readSucceeded());
    ASSERT_EQ(hall.materialList().size(), 5u);
    for (const MapMaterial& m : hall.materialList()) EXPECT_NE(m.textureName, 0u);
    // The north-west corner, looking south-east into the hall.
    placeCamera({-15.0f, 15.0f, 0.0f}, 225.0f);
    Frame frame = drawFrame(hall);
    EXPECT_TRUE(writePng(artifact("hall_spawn1.png"), WIDTH, HEIGHT, frame.rgb));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_GT(frame.litShare(), 0.75);  // the rest is the dark beyond the outer wall
    // The crate block next to the spawn: its top is lit well above the
    // ambient light alone, and brighter than the floor below it.
    float crateTop = luminanceAt(frame, {-10.0f, 10.0f, 1.5f});
    EXPECT_GT(crateTop, 40.0f);
    // With front faces culled instead of back faces, nothing that faces the
    // camera is drawn: floor and wall tops vanish.
    glFrontFace(GL_CW);
    Frame backs = drawFrame(hall);
    glFrontFace(GL_CCW);
    EXPECT_LT(backs.litShare(), 0.05);
    EXPECT_EQ(backs.luminance(WIDTH / 2, HEIGHT / 2), 0.0f);
}

TEST_F(MapRender, HallLightFallsOffWithDistance) {
    Map hall("../data/maps/hall/hall.bxm");
    ASSERT_TRUE(hall.readSucceeded());
    const MapLight& light = hall.mapLight();
    placeCamera({light.position.x, light.position.y - 5.5f, 0.0f}, 0.0f);
    Frame frame = drawFrame(hall);
    EXPECT_TRUE(writePng(artifact("hall_centre.png"), WIDTH, HEIGHT, frame.rgb));
    // Floor vertices 6 units apart: the floor texture repeats every 6 units, so
    // they show the same texel (inside a tile, away from the grout) and differ
    // only in the light they get.
    const float floorZ = -1.0f;
    Vec3 near{-2.0f, -2.0f, floorZ}, sameDistance{-2.0f, 4.0f, floorZ};
    Vec3 far{-8.0f, -2.0f, floorZ}, farToo{-8.0f, 4.0f, floorZ};
    float ln = luminanceAt(frame, near), ls = luminanceAt(frame, sameDistance);
    float lf = luminanceAt(frame, far), lt = luminanceAt(frame, farToo);
    EXPECT_NEAR(ln, ls, 2.0f);
    EXPECT_NEAR(lf, lt, 2.0f);
    EXPECT_GT(ln, lf + 3.0f);
}

TEST_F(MapRender, MazeFromARespawnPoint) {
    Map maze("../data/maps/maze/maze.bxm");
    ASSERT_TRUE(maze.readSucceeded());
    placeCamera(respawnPoints[0], 0.0f);
    Frame frame = drawFrame(maze);
    EXPECT_TRUE(writePng(artifact("maze_spawn1.png"), WIDTH, HEIGHT, frame.rgb));
    EXPECT_GT(frame.litShare(), 0.7);  // a spawn by the west wall sees a strip of the dark outside
    placeCamera({maze.mapLight().position.x, maze.mapLight().position.y - 5.5f, 0.0f}, 0.0f);
    EXPECT_TRUE(writePng(artifact("maze_centre.png"), WIDTH, HEIGHT, drawFrame(maze).rgb));
}
