// Planes and smoothed normals: the worked examples, the faces that have no
// normal, and the shipped smoothing against the all-pairs reference.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "client/map/map.h"
#include "client/map/map_normals.h"
#include "tests/support/map_files.h"
#include "tests/support/normals_oracle.h"

namespace {

Vec3 unit(Vec3 v) { return normalize(v); }

MapFace face(Vec3 a, int ia, Vec3 b, int ib, Vec3 c, int ic) {
    MapFace f;
    f.corners[0].position = a;
    f.corners[0].sourceIndex = ia;
    f.corners[1].position = b;
    f.corners[1].sourceIndex = ib;
    f.corners[2].position = c;
    f.corners[2].sourceIndex = ic;
    return f;
}

struct MeshOf {
    std::vector<MapFace> faces;
    MapMesh mesh;
    explicit MeshOf(std::vector<MapFace> f) : faces(std::move(f)) {
        mesh.faces = faces.data();
        mesh.faceCount = int(faces.size());
    }
};

void buildShipped(MapMesh& mesh) {
    buildFlatNormals(mesh);
    smoothNormals(mesh);
}

bool allFinite(const MapMesh& mesh) {
    for (int i = 0; i < mesh.faceCount; ++i) {
        const MapFace& f = mesh.faces[i];
        if (!std::isfinite(f.planeDistance) || !std::isfinite(length(f.planeNormal))) return false;
        for (const MapVertex& c : f.corners)
            if (!std::isfinite(length(c.normal))) return false;
    }
    return true;
}

// A random mesh whose faces share vertex numbers from a small pool, so that
// most corners are blended many times and the order matters.
std::vector<MapFace> randomMesh(int faces, int pool, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> coord(-10.0f, 10.0f);
    std::vector<Vec3> points(static_cast<size_t>(pool));
    for (Vec3& p : points) p = {coord(rng), coord(rng), coord(rng)};
    std::uniform_int_distribution<int> pick(0, pool - 1);
    std::vector<MapFace> out;
    while (int(out.size()) < faces) {
        int a = pick(rng), b = pick(rng), c = pick(rng);
        if (a == b || b == c || a == c) continue;
        out.push_back(face(points[size_t(a)], a, points[size_t(b)], b, points[size_t(c)], c));
    }
    return out;
}

}  // namespace

TEST(MapNormals, OneFaceKeepsItsFlatNormalAndPlane) {
    MeshOf m({face({0, 0, 2}, 0, {0, 3, 2}, 1, {-1, 0, 2}, 2)});
    buildShipped(m.mesh);
    const MapFace& f = m.faces[0];
    EXPECT_EQ(f.planeNormal, (Vec3{0, 0, 1}));
    EXPECT_EQ(f.planeDistance, -2.0f);
    for (const MapVertex& c : f.corners) EXPECT_EQ(c.normal, (Vec3{0, 0, 1}));
}

TEST(MapNormals, TwoFacesSharingAnEdge) {
    // A roof ridge along x: vertices 0 and 1 shared.
    MeshOf m({face({0, 0, 1}, 0, {0, -1, 0}, 2, {1, 0, 1}, 1),
              face({0, 0, 1}, 0, {1, 0, 1}, 1, {0, 1, 0}, 3)});
    buildFlatNormals(m.mesh);
    Vec3 p = m.faces[0].planeNormal, q = m.faces[1].planeNormal;
    smoothNormals(m.mesh);
    Vec3 first = unit(p + q), second = unit(q + first);
    EXPECT_EQ(m.faces[0].corners[0].normal, first);
    EXPECT_EQ(m.faces[0].corners[2].normal, first);
    EXPECT_EQ(m.faces[0].corners[1].normal, p);
    EXPECT_EQ(m.faces[1].corners[0].normal, second);
    EXPECT_EQ(m.faces[1].corners[1].normal, second);
    EXPECT_EQ(m.faces[1].corners[2].normal, q);
    EXPECT_EQ(m.faces[1].planeNormal, q);  // planes stay flat
}

TEST(MapNormals, ThreeFacesAroundOneVertexFollowTheOrder) {
    Vec3 hub{0, 0, 1};
    MeshOf m({face(hub, 0, {1, 0, 0}, 1, {0, 1, 0}, 2), face(hub, 0, {0, 1, 0}, 3, {-1, -1, 0}, 4),
              face(hub, 0, {-1, -1, 0}, 5, {1, 0, 0}, 6)});
    buildFlatNormals(m.mesh);
    Vec3 p = m.faces[0].planeNormal, q = m.faces[1].planeNormal, r = m.faces[2].planeNormal;
    smoothNormals(m.mesh);
    Vec3 s = unit(unit(p + q) + r);
    Vec3 t = unit(unit(q + s) + r);
    EXPECT_EQ(m.faces[0].corners[0].normal, s);
    EXPECT_EQ(m.faces[1].corners[0].normal, t);
    EXPECT_EQ(m.faces[2].corners[0].normal, unit(unit(r + s) + t));
}

TEST(MapNormals, AClosedBoxHasNoFlatCorner) {
    Vec3 v[8];
    for (int i = 0; i < 8; ++i) v[i] = {float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)};
    const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    std::vector<MapFace> faces;
    for (const auto& q : quads) {
        faces.push_back(face(v[q[0]], q[0], v[q[1]], q[1], v[q[2]], q[2]));
        faces.push_back(face(v[q[0]], q[0], v[q[2]], q[2], v[q[3]], q[3]));
    }
    MeshOf m(faces);
    buildShipped(m.mesh);
    for (const MapFace& f : m.faces)
        for (const MapVertex& c : f.corners) {
            EXPECT_FALSE(c.normal == f.planeNormal);
            EXPECT_GT(dot(c.normal, f.planeNormal), 0.0f);  // still the outside
        }
}

TEST(MapNormals, MeshesTouchingAtEqualPointsKeepAHardEdge) {
    // Two meshes of one map: the floor and a wall standing on it.
    std::string text = gridMapText(2) +
                       "*GEOMOBJECT {\n*MESH {\n*MESH_NUMVERTEX 3\n*MESH_NUMFACES 1\n"
                       "*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 0 0 -0.5\n*MESH_VERTEX 1 1 0 -0.5\n"
                       "*MESH_VERTEX 2 0 0 2\n}\n*MESH_FACE_LIST {\n*MESH_FACE 0: A: 0 B: 1 C: 2\n}\n}\n}\n";
    Map map(TempFile(text).path.c_str(), MAP_GEOMETRY_ONLY);
    ASSERT_EQ(map.meshList().size(), 2u);
    const MapFace& wall = map.meshList()[1].faces[0];
    for (const MapVertex& c : wall.corners) EXPECT_EQ(c.normal, (Vec3{0, -1, 0}));
}

TEST(MapNormals, FacesWithoutANormalAreLeftOut) {
    MeshOf m({face({0, 0, 0}, 0, {1, 0, 0}, 1, {0, 1, 0}, 2),
              face({0, 0, 0}, 0, {1, 0, 0}, 1, {2, 0, 0}, 3),           // on one line
              face({5, 5, 5}, 4, {5, 5, 5}, 4, {5, 5, 5}, 4),           // one point
              face({0, 0, 0}, 0, {1e-30f, 0, 0}, 5, {0, 1e-30f, 0}, 6),  // normal underflows
              face({-3e38f, 0, 0}, 7, {3e38f, 0, 0}, 8, {0, 3e38f, 0}, 9),  // overflows
              face({1, 0, 0}, 1, {0, 0, 0}, 0, {0, -1, 0}, 10)});
    buildShipped(m.mesh);
    ASSERT_EQ(m.mesh.faceCount, 2);
    EXPECT_EQ(m.faces[1].corners[2].sourceIndex, 10);
    EXPECT_TRUE(allFinite(m.mesh));
}

TEST(MapNormals, OppositeFacesSharingVerticesStayNumbers) {
    // A two-sided sheet: the same three vertices wound both ways.
    MeshOf m({face({0, 0, 0}, 0, {1, 0, 0}, 1, {0, 1, 0}, 2),
              face({0, 0, 0}, 0, {0, 1, 0}, 2, {1, 0, 0}, 1)});
    buildShipped(m.mesh);
    EXPECT_TRUE(allFinite(m.mesh));
    EXPECT_EQ(m.faces[0].corners[0].normal, (Vec3{0, 0, 1}));
}

TEST(MapNormals, ShippedSmoothingEqualsAllPairsBitForBit) {
    for (int faces : {2, 10, 100, 1000, 3000}) {
        for (int pool : {4, faces / 2 + 3, faces * 2}) {
            std::vector<MapFace> shipped = randomMesh(faces, pool, unsigned(faces * 31 + pool));
            std::vector<MapFace> reference = shipped;
            MeshOf a(shipped), b(reference);
            buildFlatNormals(a.mesh);
            buildFlatNormals(b.mesh);
            smoothNormals(a.mesh);
            smoothNormalsAllPairs(b.mesh);
            ASSERT_EQ(a.mesh.faceCount, b.mesh.faceCount);
            EXPECT_EQ(std::memcmp(a.faces.data(), b.faces.data(),
                                  sizeof(MapFace) * size_t(a.mesh.faceCount)),
                      0)
                << faces << " faces over " << pool << " vertices";
        }
    }
}

TEST(MapNormals, GridMapFromFileEqualsAllPairsAndRepeats) {
    TempFile file(gridMapText(5000));
    Map first(file.path.c_str(), MAP_GEOMETRY_ONLY);
    Map second(file.path.c_str(), MAP_GEOMETRY_ONLY);
    Map raw(MAP_GEOMETRY_ONLY);
    ASSERT_TRUE(raw.readMapFile(file.path.c_str()));
    MapMesh reference = raw.meshList()[0];
    buildFlatNormals(reference);
    smoothNormalsAllPairs(reference);
    const MapMesh& a = first.meshList()[0];
    ASSERT_EQ(a.faceCount, reference.faceCount);
    size_t bytes = sizeof(MapFace) * size_t(a.faceCount);
    EXPECT_EQ(std::memcmp(a.faces, reference.faces, bytes), 0);
    EXPECT_EQ(std::memcmp(a.faces, second.meshList()[0].faces, bytes), 0);
}
