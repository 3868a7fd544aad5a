// Releasing a map frees exactly what it appended, also after a failed read.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "client/map/map.h"
#include "tests/support/map_files.h"
#include "tests/unit/maps/test_services.h"

// Face arrays are the only array allocations a map makes: count them.
namespace {
long liveArrays = 0;
}
void* operator new[](size_t size) {
    ++liveArrays;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete[](void* p) noexcept {
    if (p) --liveArrays;
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept { operator delete[](p); }

namespace {

std::string material(const char* path) {
    return std::string("*MATERIAL 0 {\n*MAP_DIFFUSE {\n*BITMAP ") + path + "\n}\n}\n";
}
const std::string MESH =
    "*GEOMOBJECT {\n*MESH {\n*MESH_NUMVERTEX 3\n*MESH_NUMFACES 1\n*MESH_VERTEX_LIST {\n"
    "*MESH_VERTEX 0 0 0 0\n*MESH_VERTEX 1 1 0 0\n*MESH_VERTEX 2 0 1 0\n}\n*MESH_FACE_LIST {\n"
    "*MESH_FACE 0: A: 0 B: 1 C: 2\n}\n}\n}\n";

}  // namespace

TEST(MapRelease, FreesWhatWasAppendedBeforeAFailure) {
    textureLog = {};
    // Two materials and two meshes complete, then a third mesh cut short inside
    // its face list, after its faces were allocated.
    std::string text = material("a.tga") + MESH + material("b.jpg") + MESH +
                       MESH.substr(0, MESH.find("*MESH_FACE ")) + "*MESH_FACE 0: A: 0 B: 1 C: 2\n";
    long before = liveArrays;
    {
        Map map(TempFile(text).path.c_str(), FAKE_TEXTURES);
        EXPECT_FALSE(map.readSucceeded());
        EXPECT_EQ(map.meshList().size(), 2u);
        EXPECT_EQ(map.materialList().size(), 2u);
        EXPECT_EQ(liveArrays - before, 2);
        EXPECT_TRUE(textureLog.deleted.empty());
    }
    EXPECT_EQ(liveArrays, before);
    EXPECT_EQ(textureLog.deleted, (std::vector<unsigned int>{1, 2}));
}

TEST(MapRelease, TexturesNamedZeroAreNotDeleted) {
    textureLog = {};
    TempFile picture("x", ".tga");
    {
        // Geometry-only materials carry no texture; release must not pass 0 on.
        MapServices services = MAP_GEOMETRY_ONLY;
        services.deleteTexture = fakeDeleteTexture;
        Map map(TempFile(material(picture.path.c_str())).path.c_str(), services);
        EXPECT_TRUE(map.readSucceeded());
        ASSERT_EQ(map.materialList().size(), 1u);
        EXPECT_EQ(map.materialList()[0].textureName, 0u);
    }
    EXPECT_TRUE(textureLog.deleted.empty());
}

TEST(MapRelease, AFailedReadIsReportedOnceAndNormalsStillBuilt) {
    static int reports = 0;
    MapServices services = FAKE_TEXTURES;
    services.reportFailure = [](const char* message) {
        EXPECT_STREQ(message, "Map loading failed");
        ++reports;
    };
    Map map(TempFile(MESH + "*LIGHT {\n").path.c_str(), services);
    EXPECT_EQ(reports, 1);
    ASSERT_EQ(map.meshList().size(), 1u);
    EXPECT_EQ(map.meshList()[0].faces[0].planeNormal, (Vec3{0, 0, 1}));
}
