// Map::render's light set-up measured on a white test floor: the colour at a
// vertex is exactly what the map's light asks GL for, meshes without faces or
// without a material are harmless, and lighting is off afterwards.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <string>

#include "client/map/map.h"
#include "client/match/transform.h"
#include "client/core/records.h"
#include "client/shell/glwindow.h"
#include "tests/support/map_files.h"

namespace {

constexpr int SIZE = 256;

class MapLightGl : public ::testing::Test {
protected:
    static void SetUpTestSuite() { useGlWindows(); ASSERT_TRUE(createGlWindow("light", SIZE, SIZE, 32, false)); }
    static void TearDownTestSuite() { killGlWindow(); }
};

std::string whiteTarga() {
    std::string t(18, '\0');
    t[2] = 2;
    t[12] = 4;
    t[14] = 4;
    t[16] = 24;
    return t + std::string(4 * 4 * 3, '\xff');
}

// A 5 x 5 vertex floor at z = 0 from -8 to 8, one light above the origin; then
// an empty mesh and a small untextured square (material 7 does not exist).
std::string testMap(const std::string& texture, float attenuation) {
    std::string s = "*MATERIAL 0 {\n*MAP_DIFFUSE {\n*BITMAP " + texture + "\n}\n}\n";
    s += "*GEOMOBJECT {\n*MESH {\n*MESH_NUMVERTEX 25\n*MESH_NUMFACES 32\n*MESH_VERTEX_LIST {\n";
    for (int i = 0; i < 25; ++i)
        s += "*MESH_VERTEX " + std::to_string(i) + " " + std::to_string((i % 5 - 2) * 4) + " " +
             std::to_string((i / 5 - 2) * 4) + " 0\n";
    s += "}\n*MESH_FACE_LIST {\n";
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            int a = y * 5 + x;
            s += "*MESH_FACE 0: A: " + std::to_string(a) + " B: " + std::to_string(a + 1) +
                 " C: " + std::to_string(a + 6) + "\n";
            s += "*MESH_FACE 0: A: " + std::to_string(a) + " B: " + std::to_string(a + 6) +
                 " C: " + std::to_string(a + 5) + "\n";
        }
    s += "}\n}\n*MATERIAL_REF 0\n}\n";
    s += "*GEOMOBJECT {\n*MESH {\n}\n*MATERIAL_REF 0\n}\n";
    s += "*GEOMOBJECT {\n*MESH {\n*MESH_NUMVERTEX 3\n*MESH_NUMFACES 1\n*MESH_VERTEX_LIST {\n"
         "*MESH_VERTEX 0 -4 -4 0.5\n*MESH_VERTEX 1 -3 -4 0.5\n*MESH_VERTEX 2 -3 -3 0.5\n}\n"
         "*MESH_FACE_LIST {\n*MESH_FACE 0: A: 0 B: 1 C: 2\n}\n}\n*MATERIAL_REF 7\n}\n";
    s += "*LIGHT {\n*POSITION 0 0 5\n*AMBIENT 0.1 0.05 0.0\n*DIFFUSE 0.2 0.15 0.3\n*ATTENUATION " +
         std::to_string(attenuation) + "\n}\n";
    s += "*RESPOINTS {\n*POINT 0 0 0\n}\n";  // the game loads only whole levels
    return s;
}

// Expected channel value at a floor point from the GL lighting model: the light
// model's default scene ambient (0.2) plus the attenuated sum of the light's
// ambient, diffuse and specular terms. With shininess 0 the specular term is
// 1 straight under the light; elsewhere GL implementations differ (the half
// vector means nothing with the view folded into the projection), so there
// only its bounds 0 and 1 are known.
float expected(Vec3 p, float attenuation, float ambient, float diffuse, float specular) {
    Vec3 d = Vec3{0, 0, 5} - p;
    float fall = 1.0f / (1.0f + attenuation * dot(d, d));
    return std::fmin(1.0f, 0.2f + fall * (ambient + diffuse * (d.z / length(d) + specular))) * 255.0f;
}

void expectLit(const uint8_t rgb[3], Vec3 p, float attenuation) {
    const float ambient[3] = {0.1f, 0.05f, 0.0f}, diffuse[3] = {0.2f, 0.15f, 0.3f};
    for (int c = 0; c < 3; ++c) {
        if (p.x == 0.0f && p.y == 0.0f) {
            EXPECT_NEAR(rgb[c], expected(p, attenuation, ambient[c], diffuse[c], 1.0f), 2.5) << c;
        } else {
            EXPECT_GE(rgb[c] + 2.5f, expected(p, attenuation, ambient[c], diffuse[c], 0.0f)) << c;
            EXPECT_LE(rgb[c] - 2.5f, expected(p, attenuation, ambient[c], diffuse[c], 1.0f)) << c;
        }
    }
}

void readPixel(Vec3 p, uint8_t rgb[3]) {
    float m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    float cx = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
    float cy = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
    float cw = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
    int x = int(std::lround((cx / cw + 1.0f) * 0.5f * SIZE));
    int y = int(std::lround((cy / cw + 1.0f) * 0.5f * SIZE));
    ASSERT_TRUE(x >= 0 && y >= 0 && x < SIZE && y < SIZE) << "point out of view";
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

}  // namespace

TEST_F(MapLightGl, VertexColoursFollowTheLight) {
    TempFile texture(whiteTarga(), ".tga");
    for (float attenuation : {0.0f, 0.05f}) {
        Map map(TempFile(testMap(texture.path, attenuation)).path.c_str());
        ASSERT_TRUE(map.readSucceeded());
        setViewRotation(0, 0, 0);
        setViewTranslation(0, 0, -12);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        applyProjection();
        map.render();
        EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        for (Vec3 p : {Vec3{0, 0, 0}, Vec3{4, 0, 0}, Vec3{4, 4, 0}, Vec3{-4, -4, 0}}) {
            uint8_t rgb[3];
            readPixel(p, rgb);
            SCOPED_TRACE(testing::Message() << "at " << p.x << ", " << p.y << ", a = " << attenuation);
            expectLit(rgb, p, attenuation);
        }
        // The square with no material is drawn, lit, on top of the floor.
        uint8_t rgb[3];
        readPixel({-3.3f, -3.8f, 0.5f}, rgb);
        EXPECT_GT(rgb[2], 0);
    }
}
