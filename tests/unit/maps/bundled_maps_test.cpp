// The maps we ship, loaded headless: they read, every face faces the way a
// player needs it to, the fighters' plane stays clear of the floor, the four
// spawn points stand on open floor and the one light reaches every corner.
#include <gtest/gtest.h>

#include <cstring>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "client/map/map.h"
#include "tests/support/normals_oracle.h"

namespace {

struct Classified {
    std::vector<const MapFace*> floor, tops, sides, outside;
};

// The ground beyond the outer walls is its own mesh, dressed as "outside".
bool isOutside(const Map& map, const MapMesh& mesh) {
    const auto& materials = map.materialList();
    return mesh.materialIndex >= 0 && size_t(mesh.materialIndex) < materials.size() &&
           (std::strstr(materials[size_t(mesh.materialIndex)].bitmapPath, "rubble") ||
            std::strstr(materials[size_t(mesh.materialIndex)].bitmapPath, "grass"));
}

Classified classify(const Map& map) {
    Classified c;
    for (const MapMesh& mesh : map.meshList()) {
        if (isOutside(map, mesh)) {
            for (int i = 0; i < mesh.faceCount; ++i) c.outside.push_back(&mesh.faces[i]);
            continue;
        }
        for (int i = 0; i < mesh.faceCount; ++i) {
            const MapFace& f = mesh.faces[i];
            if (f.planeNormal.z == 1.0f)
                (f.corners[0].position.z < 0.0f ? c.floor : c.tops).push_back(&f);
            else
                c.sides.push_back(&f);
        }
    }
    return c;
}

float side(float ax, float ay, float bx, float by, float px, float py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

bool onFloor(const Classified& c, float x, float y) {
    for (const MapFace* f : c.floor) {
        const Vec3 &a = f->corners[0].position, &b = f->corners[1].position, &d = f->corners[2].position;
        if (side(a.x, a.y, b.x, b.y, x, y) >= 0 && side(b.x, b.y, d.x, d.y, x, y) >= 0 &&
            side(d.x, d.y, a.x, a.y, x, y) >= 0)
            return true;
    }
    return false;
}

Vec3 centroid(const MapFace& f) {
    return (f.corners[0].position + f.corners[1].position + f.corners[2].position) * (1.0f / 3.0f);
}

class BundledMap : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(BundledMap, LoadsAndIsBuiltForPlay) {
    std::string name = GetParam();
    for (Vec3& p : respawnPoints) p = {999.0f, 999.0f, 999.0f};
    Map map(("../data/maps/" + name + "/" + name + ".bxm").c_str(), LEVEL_GEOMETRY_ONLY);
    ASSERT_TRUE(map.readSucceeded());

    bool tga = false, jpg = false;
    for (const MapMaterial& m : map.materialList()) {
        std::string path = m.bitmapPath;
        EXPECT_EQ(path.rfind("../data/maps/" + name + "/", 0), 0u) << path;
        tga |= path.find(".tga") != std::string::npos;
        jpg |= path.find(".jpg") != std::string::npos;
    }
    EXPECT_TRUE(tga && jpg) << "both picture loaders serve every map";
    for (const MapMesh& mesh : map.meshList()) {
        EXPECT_GE(mesh.materialIndex, 0);
        EXPECT_LT(size_t(mesh.materialIndex), map.materialList().size());
    }

    Classified c = classify(map);
    ASSERT_FALSE(c.floor.empty());
    ASSERT_FALSE(c.tops.empty());
    ASSERT_FALSE(c.sides.empty());
    for (const MapFace* f : c.floor)
        for (const MapVertex& v : f->corners) {
            EXPECT_LE(v.position.z, -0.7f);  // below the fighters' sphere
            EXPECT_EQ(v.normal, (Vec3{0, 0, 1}));
        }
    for (const MapFace* f : c.sides) {
        EXPECT_EQ(f->planeNormal.z, 0.0f);
        // Lit flat: no corner shares a vertex number with another wall.
        for (const MapVertex& v : f->corners) EXPECT_EQ(v.normal, f->planeNormal);
        // The front looks onto open floor, the back into the wall.
        Vec3 in = centroid(*f), n = f->planeNormal;
        EXPECT_TRUE(onFloor(c, in.x + 0.5f * n.x, in.y + 0.5f * n.y));
        EXPECT_FALSE(onFloor(c, in.x - 0.5f * n.x, in.y - 0.5f * n.y));
    }

    for (const Vec3& p : respawnPoints) {
        EXPECT_EQ(p.z, 0.0f);
        EXPECT_TRUE(onFloor(c, p.x, p.y)) << p.x << " " << p.y;
        // The fighters' sphere (radius 0.7) fits at the spawn point.
        for (const MapFace* f : c.sides) {
            Vec3 q = centroid(*f);
            float along = std::fabs(-f->planeNormal.y * (p.x - q.x) + f->planeNormal.x * (p.y - q.y));
            float distance = dot(f->planeNormal, p) + f->planeDistance;
            if (along < 1.0f && distance > 0.0f) {
                EXPECT_GT(distance, 0.7f);
            }
        }
    }

    // The ground outside lies at floor height, below every fighter, facing up.
    EXPECT_EQ(c.outside.size(), 8u);
    for (const MapFace* f : c.outside) {
        EXPECT_FLOAT_EQ(f->planeNormal.z, 1.0f);
        EXPECT_LE(f->corners[0].position.z, -0.7f);
    }

    // One light for the whole level: every floor corner gets a fair share. GL
    // attenuates the light's ambient too; the scene ambient of 0.2 is not.
    const MapLight& light = map.mapLight();
    for (const MapFace* f : c.floor)
        for (const MapVertex& v : f->corners) {
            Vec3 d = light.position - v.position;
            float fall = 1.0f / (1.0f + light.attenuation * dot(d, d));
            EXPECT_GT(0.2f + fall * (light.ambient[1] + light.diffuse[1] * d.z / length(d)), 0.3f);
        }
}

TEST_P(BundledMap, NormalsEqualTheAllPairsReference) {
    std::string path = std::string("../data/maps/") + GetParam() + "/" + GetParam() + ".bxm";
    Map shipped(path.c_str(), MAP_GEOMETRY_ONLY);
    Map raw(MAP_GEOMETRY_ONLY);
    ASSERT_TRUE(raw.readMapFile(path.c_str()));
    ASSERT_EQ(raw.meshList().size(), shipped.meshList().size());
    for (size_t m = 0; m < raw.meshList().size(); ++m) {
        MapMesh reference = raw.meshList()[m];
        buildFlatNormals(reference);
        smoothNormalsAllPairs(reference);
        const MapMesh& mesh = shipped.meshList()[m];
        ASSERT_EQ(mesh.faceCount, reference.faceCount);
        EXPECT_EQ(std::memcmp(mesh.faces, reference.faces, sizeof(MapFace) * size_t(mesh.faceCount)), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Maps, BundledMap, ::testing::Values("hall", "maze"));
