// The map reader: the format's rules, the edge cases exporters and people
// produce, and every way a broken file must fail or be repaired.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "client/assets/texture.h"
#include "client/map/map.h"
#include "tests/support/map_files.h"
#include "tests/unit/maps/test_services.h"

namespace {

const char* MINIMAL_MAP = R"(*MATERIAL 0 {
	*MATERIAL_DIFFUSE 0.8 0.8 0.8
	*MAP_DIFFUSE {
		*BITMAP ../data/maps/wall.jpg
	}
}
*GEOMOBJECT {
	*MESH {
		*MESH_NUMVERTEX 3
		*MESH_NUMFACES 1
		*MESH_VERTEX_LIST {
			*MESH_VERTEX 0 0.0 0.0 0.0
			*MESH_VERTEX 1 1.0 0.0 0.0
			*MESH_VERTEX 2 0.0 1.0 0.0
		}
		*MESH_FACE_LIST {
			*MESH_FACE 0: A: 0 B: 1 C: 2
		}
		*MESH_NUMTVERTEX 3
		*MESH_TVERTLIST {
			*MESH_TVERT 0 0.0 0.0 0.0
			*MESH_TVERT 1 1.0 0.0 0.0
			*MESH_TVERT 2 0.0 1.0 0.0
		}
		*MESH_TFACELIST {
			*MESH_TFACE 0 2 1 0
		}
	}
	*MATERIAL_REF 0
}
*LIGHT {
	*POSITION 0.0 0.0 5.0
	*AMBIENT 0.2 0.2 0.2
	*DIFFUSE 1.0 1.0 1.0
	*ATTENUATION 0.01
}
*RESPOINTS {
	*POINT 1.0 1.0 0.0
	*POINT 2.0 1.0 0.0
	*POINT 1.0 2.0 0.0
	*POINT 2.0 2.0 0.0
}
)";

// A geometry object around the given mesh lines.
std::string geomObject(const std::string& meshLines, const std::string& after = "") {
    return "*GEOMOBJECT {\n*MESH {\n" + meshLines + "}\n" + after + "}\n";
}

const std::string TRIANGLE =
    "*MESH_NUMVERTEX 3\n*MESH_NUMFACES 1\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 0 0 0\n"
    "*MESH_VERTEX 1 1 0 0\n*MESH_VERTEX 2 0 1 0\n}\n*MESH_FACE_LIST {\n"
    "*MESH_FACE 0: A: 0 B: 1 C: 2\n}\n";

void setRespawnPoints(float base) {
    for (int i = 0; i < RESPAWN_POINT_COUNT; ++i) respawnPoints[i] = {base + i, base, 0.0f};
}

struct Read {
    bool ok;
    size_t meshes, materials;
};
Read readText(const std::string& text) {
    TempFile file(text);
    Map map(FAKE_TEXTURES);
    bool ok = map.readMapFile(file.path.c_str());
    return {ok, map.meshList().size(), map.materialList().size()};
}

}  // namespace

TEST(MapReader, ReadsTheMinimalMapCompletely) {
    TempFile file(MINIMAL_MAP);
    Map map(file.path.c_str(), FAKE_TEXTURES);
    ASSERT_TRUE(map.readSucceeded());
    ASSERT_EQ(map.materialList().size(), 1u);
    EXPECT_STREQ(map.materialList()[0].bitmapPath, "../data/maps/wall.jpg");
    EXPECT_EQ(map.materialList()[0].textureName, textureLog.nextName);
    EXPECT_EQ(textureLog.loadFlags.back(), unsigned(TEXTURE_TRILINEAR | TEXTURE_REPEAT));
    ASSERT_EQ(map.meshList().size(), 1u);
    const MapMesh& mesh = map.meshList()[0];
    EXPECT_EQ(mesh.materialIndex, 0);
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.tvertexCount, 3);
    ASSERT_EQ(mesh.faceCount, 1);
    const MapFace& face = mesh.faces[0];
    EXPECT_EQ(face.corners[1].position, (Vec3{1, 0, 0}));
    EXPECT_EQ(face.corners[2].sourceIndex, 2);
    // The texture face names texture vertices 2, 1, 0 for corners 0, 1, 2.
    EXPECT_EQ(face.corners[0].v, 1.0f);
    EXPECT_EQ(face.corners[1].u, 1.0f);
    EXPECT_EQ(face.corners[2].u, 0.0f);
    EXPECT_EQ(face.planeNormal, (Vec3{0, 0, 1}));
    EXPECT_EQ(face.planeDistance, 0.0f);
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.tvertices, nullptr);
    EXPECT_EQ(map.mapLight().position, (Vec3{0, 0, 5}));
    EXPECT_EQ(map.mapLight().diffuse[2], 1.0f);
    EXPECT_EQ(map.mapLight().attenuation, 0.01f);
    EXPECT_EQ(respawnPoints[3], (Vec3{2, 2, 0}));
}

TEST(MapReader, EveryCutInsideABlockFailsAndKeepsOnlyFinishedBlocks) {
    std::string text = MINIMAL_MAP;
    std::vector<size_t> lineEnds;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') lineEnds.push_back(i + 1);
    int depth = 0;
    for (size_t cut : lineEnds) {
        std::string prefix = text.substr(0, cut);
        const std::string lastLine = prefix.substr(prefix.rfind('\n', prefix.size() - 2) + 1);
        if (lastLine.find('{') != std::string::npos) ++depth;
        if (lastLine.find('}') != std::string::npos) --depth;
        Read r = readText(prefix);
        EXPECT_EQ(r.ok, depth == 0) << "cut after: " << lastLine;
        EXPECT_EQ(r.materials, cut >= text.find("*GEOMOBJECT") ? 1u : 0u);
        EXPECT_EQ(r.meshes, cut >= text.find("*LIGHT") ? 1u : 0u);
    }
}

TEST(MapReader, MaterialRefUsesTheAutomaticBase) {
    Map octal(TempFile(geomObject(TRIANGLE, "*MATERIAL_REF 010\n")).path.c_str(), FAKE_TEXTURES);
    Map hex(TempFile(geomObject(TRIANGLE, "*MATERIAL_REF 0x1\n")).path.c_str(), FAKE_TEXTURES);
    EXPECT_EQ(octal.meshList()[0].materialIndex, 8);
    EXPECT_EQ(hex.meshList()[0].materialIndex, 1);
}

TEST(MapReader, UnknownNestedBlockEndsTheMeshEarly) {
    // The normals block's "}" ends the mesh, the mesh's own "}" ends the object,
    // so the material reference after it is read at the top level and skipped.
    std::string text = geomObject(TRIANGLE + "*MESH_NORMALS {\n*MESH_FACENORMAL 0 0 0 1\n}\n",
                                  "*MATERIAL_REF 0\n");
    TempFile file(text);
    Map map(file.path.c_str(), FAKE_TEXTURES);
    EXPECT_TRUE(map.readSucceeded());
    ASSERT_EQ(map.meshList().size(), 1u);
    EXPECT_EQ(map.meshList()[0].materialIndex, -1);
    EXPECT_EQ(map.meshList()[0].faceCount, 1);
}

TEST(MapReader, RespawnSlotsGoByLineAndSurviveTheNextMap) {
    setRespawnPoints(0.0f);
    Map first(TempFile(MINIMAL_MAP).path.c_str(), FAKE_TEXTURES);
    // Two points with a skipped line between them: slots 0 and 2.
    Map second(TempFile("*RESPOINTS {\n*POINT 7 7 0\n# gap\n*POINT 9 9 0\n}\n").path.c_str(),
               FAKE_TEXTURES);
    EXPECT_TRUE(second.readSucceeded());
    EXPECT_EQ(respawnPoints[0], (Vec3{7, 7, 0}));
    EXPECT_EQ(respawnPoints[1], (Vec3{2, 1, 0}));
    EXPECT_EQ(respawnPoints[2], (Vec3{9, 9, 0}));
    EXPECT_EQ(respawnPoints[3], (Vec3{2, 2, 0}));
    // Lines past the fourth are ignored, not written past the table.
    Map third(TempFile("*RESPOINTS {\n*POINT 1 1 1\n\n\n*POINT 4 4 4\n*POINT 5 5 5\n*POINT 6 6 6\n}\n")
                  .path.c_str(),
              FAKE_TEXTURES);
    EXPECT_TRUE(third.readSucceeded());
    EXPECT_EQ(respawnPoints[1], (Vec3{2, 1, 0}));
    EXPECT_EQ(respawnPoints[3], (Vec3{4, 4, 4}));
}

// The game and the bots load whole levels: an empty file, a cut-off one or one
// of some other kind must not become an empty world on the last map's spawns.
TEST(MapReader, AWholeLevelNeedsAMeshAndItsRespawnBlock) {
    MapServices level = FAKE_TEXTURES;
    level.wholeLevel = true;
    std::string minimal = MINIMAL_MAP;
    std::string meshOnly = minimal.substr(0, minimal.find("*RESPOINTS"));
    ASSERT_NE(meshOnly.size(), minimal.size());
    for (const std::string& text : {std::string(), std::string("just some text\n"), meshOnly,
                                    std::string("*RESPOINTS {\n*POINT 7 7 0\n}\n")}) {
        setRespawnPoints(5.0f);
        Map map(TempFile(text).path.c_str(), level);
        EXPECT_FALSE(map.readSucceeded()) << text;
        for (const Vec3& p : respawnPoints) EXPECT_EQ(p, (Vec3{0, 0, 0}));  // nothing inherited
    }
    setRespawnPoints(5.0f);
    Map whole(TempFile(meshOnly + "*RESPOINTS {\n*POINT 3 3 0\n}\n").path.c_str(), level);
    EXPECT_TRUE(whole.readSucceeded());
    EXPECT_EQ(respawnPoints[0], (Vec3{3, 3, 0}));
    EXPECT_EQ(respawnPoints[1], (Vec3{0, 0, 0}));  // a slot this level leaves out is not the last one's
}

TEST(MapReader, ALongLineIsReadInPiecesOf255) {
    // The second piece of a 300-character line starts with "*LIGHT", which opens
    // a light block of its own.
    std::string first = "#" + std::string(254, 'x');
    std::string second = "*LIGHT " + std::string(38, 'y');
    ASSERT_EQ((first + second).size(), 300u);
    TempFile file(first + second + "\n*POSITION 1 2 3\n}\n");
    Map map(file.path.c_str(), FAKE_TEXTURES);
    EXPECT_TRUE(map.readSucceeded());
    EXPECT_EQ(map.mapLight().position, (Vec3{1, 2, 3}));
    // One character less and the cut splits "*LIGHT": nothing is opened.
    TempFile shorter(first.substr(1) + second + "\n*POSITION 1 2 3\n}\n");
    Map unread(shorter.path.c_str(), FAKE_TEXTURES);
    EXPECT_EQ(unread.mapLight().position, (Vec3{0, 0, 0}));
}

TEST(MapReader, BitmapPathIsUsedVerbatim) {
    TempFile picture("not checked", ".jpg");
    auto material = [](const std::string& path) {
        return "*MATERIAL 0 {\n*MAP_DIFFUSE {\n*BITMAP " + path + "\n}\n}\n";
    };
    Map plain(TempFile(material(picture.path)).path.c_str(), MAP_GEOMETRY_ONLY);
    Map quoted(TempFile(material("\"" + picture.path + "\"")).path.c_str(), MAP_GEOMETRY_ONLY);
    EXPECT_TRUE(plain.readSucceeded());
    EXPECT_EQ(plain.materialList().size(), 1u);
    EXPECT_FALSE(quoted.readSucceeded());
    EXPECT_EQ(quoted.materialList().size(), 0u);
}

TEST(MapReader, MaterialsInsideAWrapperCountInFileOrder) {
    std::string text =
        "*MATERIAL_LIST {\n\t*MATERIAL_COUNT 2\n"
        "\t*MATERIAL 5 {\n\t\t*MAP_DIFFUSE {\n\t\t\t*BITMAP a.tga\n\t\t}\n\t}\n"
        "\t*MATERIAL 9 {\n\t\t*MAP_DIFFUSE {\n\t\t\t*BITMAP b.jpg\n\t\t\t*BITMAP c.jpg\n\t\t}\n\t}\n"
        "}\n";
    Map map(TempFile(text).path.c_str(), FAKE_TEXTURES);
    EXPECT_TRUE(map.readSucceeded());
    ASSERT_EQ(map.materialList().size(), 2u);
    EXPECT_STREQ(map.materialList()[0].bitmapPath, "a.tga");
    EXPECT_STREQ(map.materialList()[1].bitmapPath, "c.jpg");  // the last *BITMAP counts
}

TEST(MapReader, KeywordsMatchWholeTokensOnly) {
    std::string text =
        "*light {\n*LIGHTS {\n*LIGHT\n*POSITION 1 1 1\n*ATTENUATION 0.5\n}\n"
        "*LIGHT {\n*POSITION 2 2 2\n}\n";
    Map map(TempFile(text).path.c_str(), FAKE_TEXTURES);
    EXPECT_TRUE(map.readSucceeded());
    EXPECT_EQ(map.mapLight().position, (Vec3{2, 2, 2}));
    EXPECT_EQ(map.mapLight().attenuation, 0.5f);  // kept from the earlier block
}

TEST(MapReader, EmptyOrSkippedOnlyFilesReadAsNothing) {
    setRespawnPoints(3.0f);
    for (const char* text : {"", "\n\n   \n\t\n", "*SCENE {\n*SCENE_FILENAME x\n}\n}\n"}) {
        Map map(TempFile(text).path.c_str(), FAKE_TEXTURES);
        EXPECT_TRUE(map.readSucceeded());
        EXPECT_TRUE(map.meshList().empty());
        EXPECT_TRUE(map.materialList().empty());
        EXPECT_EQ(respawnPoints[2], (Vec3{5, 3, 0}));
    }
    Map missing("/nonexistent/blast.bxm", FAKE_TEXTURES);
    EXPECT_FALSE(missing.readSucceeded());
}

TEST(MapReader, BrokenInputFailsTheRead) {
    const std::string vertices = "*MESH_NUMVERTEX 3\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 0 0 0\n"
                                 "*MESH_VERTEX 1 1 0 0\n*MESH_VERTEX 2 0 1 0\n}\n";
    const std::string faces = "*MESH_NUMFACES 1\n*MESH_FACE_LIST {\n*MESH_FACE 0: A: 0 B: 1 C: 2\n}\n";
    const std::string tverts = "*MESH_NUMTVERTEX 1\n*MESH_TVERTLIST {\n*MESH_TVERT 0 0.5 0.5\n}\n";
    const struct {
        const char* why;
        std::string text;
    } cases[] = {
        {"negative count", geomObject("*MESH_NUMFACES -1\n")},
        {"count without number", geomObject("*MESH_NUMVERTEX\n")},
        {"count beyond 32 bits", geomObject("*MESH_NUMFACES 4294967296\n")},
        {"list before its count",
         geomObject("*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 0 0 0\n}\n*MESH_NUMVERTEX 1\n")},
        {"more vertices than counted", geomObject("*MESH_NUMVERTEX 1\n" + vertices.substr(18))},
        {"vertex number past the list",
         geomObject(vertices + "*MESH_NUMFACES 1\n*MESH_FACE_LIST {\n*MESH_FACE 0: A: 0 B: 1 C: 3\n}\n")},
        {"negative vertex number",
         geomObject(vertices + "*MESH_NUMFACES 1\n*MESH_FACE_LIST {\n*MESH_FACE 0: A: -1 B: 1 C: 2\n}\n")},
        {"face line missing a number",
         geomObject(vertices + "*MESH_NUMFACES 1\n*MESH_FACE_LIST {\n*MESH_FACE 0: A: 0 B: 1\n}\n")},
        {"face list without vertex list", geomObject(faces)},
        {"second face list after positions were released", geomObject(vertices + faces + faces)},
        {"more texture faces than faces",
         geomObject(vertices + faces + tverts + "*MESH_TFACELIST {\n*MESH_TFACE 0 0 0 0\n*MESH_TFACE 1 0 0 0\n}\n")},
        {"texture faces before faces",
         geomObject(vertices + tverts + "*MESH_TFACELIST {\n*MESH_TFACE 0 0 0 0\n}\n" + faces)},
        {"texture vertex past the list",
         geomObject(vertices + faces + tverts + "*MESH_TFACELIST {\n*MESH_TFACE 0 0 0 1\n}\n")},
        {"non-number vertex", geomObject("*MESH_NUMVERTEX 1\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 nan 0 0\n}\n")},
        {"infinite texture vertex", geomObject("*MESH_NUMTVERTEX 1\n*MESH_TVERTLIST {\n*MESH_TVERT 0 inf 0\n}\n")},
        {"infinite light", "*LIGHT {\n*POSITION 0 -inf 0\n}\n"},
        {"negative attenuation", "*LIGHT {\n*ATTENUATION -0.5\n}\n"},
        {"non-number respawn point", "*RESPOINTS {\n*POINT nan 0 0\n}\n"},
        {"material without bitmap", "*MATERIAL 0 {\n}\n"},
        {"bitmap of no known kind", "*MATERIAL 0 {\n*MAP_DIFFUSE {\n*BITMAP wall.png\n}\n}\n"},
        {"texture that cannot load", "*MATERIAL 0 {\n*MAP_DIFFUSE {\n*BITMAP missing.tga\n}\n}\n"},
    };
    for (const auto& c : cases) {
        Read r = readText(c.text);
        EXPECT_FALSE(r.ok) << c.why;
        EXPECT_EQ(r.meshes, 0u) << c.why;
        EXPECT_EQ(r.materials, 0u) << c.why;
    }
}

TEST(MapReader, HarmlessFaultsAreRepaired) {
    // Blank lines inside blocks, fewer entries than counted, no texture faces,
    // a material index naming no material, missing numbers.
    std::string text = geomObject(
        "\n*MESH_NUMVERTEX 9\n*MESH_NUMFACES 5\n*MESH_VERTEX_LIST {\n\n*MESH_VERTEX 0 0 0 0\n"
        "*MESH_VERTEX 1 1 0\n*MESH_VERTEX 2 0 1 0\n}\n*MESH_FACE_LIST {\n"
        "*MESH_FACE 0: A: 0 B: 1 C: 2\n\n}\n",
        "*MATERIAL_REF 42\n");
    Map map(TempFile(text).path.c_str(), FAKE_TEXTURES);
    EXPECT_TRUE(map.readSucceeded());
    ASSERT_EQ(map.meshList().size(), 1u);
    const MapMesh& mesh = map.meshList()[0];
    EXPECT_EQ(mesh.faceCount, 1);
    EXPECT_EQ(mesh.materialIndex, 42);
    EXPECT_EQ(mesh.faces[0].corners[1].position, (Vec3{1, 0, 0}));
    EXPECT_EQ(mesh.faces[0].corners[2].u, 0.0f);
    EXPECT_EQ(map.mapLight().attenuation, 0.0f);
    // A light line that leaves numbers out keeps the values it does not name.
    Map light(TempFile("*LIGHT {\n*POSITION 1 2 3\n*POSITION 4\n}\n").path.c_str(), FAKE_TEXTURES);
    EXPECT_EQ(light.mapLight().position, (Vec3{4, 2, 3}));
}
