#include "client/map/map_reader.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>

#include "client/assets/texture.h"


namespace {

// Room reserved up front is capped: a count is only a promise, the lines are
// what the file really holds.
constexpr size_t RESERVE_LIMIT = 1 << 16;

struct Reader {
    FILE* file;
    MapReadTarget& target;
    char text[256];
    char token[256];

    // The next piece of at most 255 characters. False at the end of the file.
    bool nextLine() {
        if (!std::fgets(text, sizeof text, file)) return false;
        if (std::sscanf(text, "%255s", token) != 1) token[0] = '\0';
        return true;
    }
    bool is(const char* keyword) const { return std::strcmp(token, keyword) == 0; }
};

// A geometry object while it is read: the lists live here so that a block cut
// short leaves nothing behind.
struct MeshDraft {
    MapMesh mesh;
    std::vector<Vec3> vertices;
    std::vector<std::array<float, 2>> tvertices;
    std::vector<MapFace> faces;
};

bool finite(float v) { return std::isfinite(v); }
bool finite(Vec3 v) { return finite(v.x) && finite(v.y) && finite(v.z); }

// "%s %i" with the automatic base; false unless it is a count a list can hold.
bool readCount(const Reader& r, int32_t& count) {
    long value = 0;
    if (std::sscanf(r.text, "%*s %li", &value) != 1 || value < 0 || value > INT32_MAX)
        return false;
    count = int32_t(value);
    return true;
}

// "%s %f %f %f" into v; values the line leaves out keep what v had.
bool readTriple(const Reader& r, Vec3& v) {
    Vec3 read = v;
    std::sscanf(r.text, "%*s %f %f %f", &read.x, &read.y, &read.z);
    if (!finite(read)) return false;
    v = read;
    return true;
}

bool readColour(const Reader& r, float colour[3]) {
    Vec3 v{colour[0], colour[1], colour[2]};
    if (!readTriple(r, v)) return false;
    colour[0] = v.x;
    colour[1] = v.y;
    colour[2] = v.z;
    return true;
}

bool validIndex(long index, size_t size) { return index >= 0 && size_t(index) < size; }

bool readDiffuseMap(Reader& r, MapMaterial& material) {
    while (r.nextLine()) {
        if (r.is("}")) return true;
        if (r.is("*BITMAP")) {
            char path[256];
            if (std::sscanf(r.text, "%*s %255s", path) == 1)
                std::memcpy(material.bitmapPath, path, sizeof path);
        }
    }
    return false;
}

bool readMaterial(Reader& r) {
    MapMaterial material;
    while (r.nextLine()) {
        if (r.is("}")) {
            int name = r.target.services.loadTexture(material.bitmapPath,
                                                     TEXTURE_TRILINEAR | TEXTURE_REPEAT);
            if (name < 0) return false;
            material.textureName = unsigned(name);
            r.target.materials.push_back(material);
            return true;
        }
        // The ambient, diffuse and specular colours are not used by the game.
        if (r.is("*MAP_DIFFUSE") && !readDiffuseMap(r, material)) return false;
    }
    return false;
}

bool readVertexList(Reader& r, MeshDraft& d) {
    d.vertices.clear();
    d.vertices.reserve(std::min(size_t(d.mesh.vertexCount), RESERVE_LIMIT));
    while (r.nextLine()) {
        if (r.is("}")) return true;
        if (!r.is("*MESH_VERTEX")) continue;
        Vec3 p;
        std::sscanf(r.text, "%*s %*s %f %f %f", &p.x, &p.y, &p.z);
        if (d.vertices.size() >= size_t(d.mesh.vertexCount) || !finite(p)) return false;
        d.vertices.push_back(p);
    }
    return false;
}

bool readFaceList(Reader& r, MeshDraft& d) {
    d.faces.clear();
    d.faces.reserve(std::min(size_t(d.mesh.faceCount), RESERVE_LIMIT));
    while (r.nextLine()) {
        if (r.is("}")) {
            // Positions live only until the faces have copied them.
            std::vector<Vec3>().swap(d.vertices);
            return true;
        }
        if (!r.is("*MESH_FACE")) continue;
        long index[3] = {-1, -1, -1};
        std::sscanf(r.text, "%*s %*s %*s %li %*s %li %*s %li", &index[0], &index[1], &index[2]);
        if (d.faces.size() >= size_t(d.mesh.faceCount)) return false;
        MapFace face;
        for (int k = 0; k < 3; ++k) {
            if (!validIndex(index[k], d.vertices.size())) return false;
            face.corners[k].position = d.vertices[size_t(index[k])];
            face.corners[k].sourceIndex = int32_t(index[k]);
        }
        d.faces.push_back(face);
    }
    return false;
}

bool readTVertList(Reader& r, MeshDraft& d) {
    d.tvertices.clear();
    d.tvertices.reserve(std::min(size_t(d.mesh.tvertexCount), RESERVE_LIMIT));
    while (r.nextLine()) {
        if (r.is("}")) return true;
        if (!r.is("*MESH_TVERT")) continue;
        std::array<float, 2> uv = {0.0f, 0.0f};
        std::sscanf(r.text, "%*s %*s %f %f", &uv[0], &uv[1]);
        if (d.tvertices.size() >= size_t(d.mesh.tvertexCount) || !finite(uv[0]) ||
            !finite(uv[1]))
            return false;
        d.tvertices.push_back(uv);
    }
    return false;
}

bool readTFaceList(Reader& r, MeshDraft& d) {
    size_t next = 0;
    while (r.nextLine()) {
        if (r.is("}")) {
            std::vector<std::array<float, 2>>().swap(d.tvertices);
            return true;
        }
        if (!r.is("*MESH_TFACE")) continue;
        long index[3] = {-1, -1, -1};
        std::sscanf(r.text, "%*s %*s %li %li %li", &index[0], &index[1], &index[2]);
        if (next >= d.faces.size()) return false;
        MapFace& face = d.faces[next++];
        for (int k = 0; k < 3; ++k) {
            if (!validIndex(index[k], d.tvertices.size())) return false;
            face.corners[k].u = d.tvertices[size_t(index[k])][0];
            face.corners[k].v = d.tvertices[size_t(index[k])][1];
        }
    }
    return false;
}

bool readMesh(Reader& r, MeshDraft& d) {
    while (r.nextLine()) {
        bool ok = true;
        if (r.is("}")) return true;
        if (r.is("*MESH_NUMVERTEX")) ok = readCount(r, d.mesh.vertexCount);
        else if (r.is("*MESH_NUMFACES")) ok = readCount(r, d.mesh.faceCount);
        else if (r.is("*MESH_NUMTVERTEX")) ok = readCount(r, d.mesh.tvertexCount);
        else if (r.is("*MESH_VERTEX_LIST")) ok = readVertexList(r, d);
        else if (r.is("*MESH_FACE_LIST")) ok = readFaceList(r, d);
        else if (r.is("*MESH_TVERTLIST")) ok = readTVertList(r, d);
        else if (r.is("*MESH_TFACELIST")) ok = readTFaceList(r, d);
        if (!ok) return false;
    }
    return false;
}

bool readGeomObject(Reader& r) {
    MeshDraft d;
    while (r.nextLine()) {
        if (r.is("}")) {
            MapMesh mesh = d.mesh;
            mesh.faceCount = int32_t(d.faces.size());
            if (!d.faces.empty()) {
                mesh.faces = new MapFace[d.faces.size()];
                std::copy(d.faces.begin(), d.faces.end(), mesh.faces);
            }
            r.target.meshes.push_back(mesh);
            return true;
        }
        if (r.is("*MESH") && !readMesh(r, d)) return false;
        if (r.is("*MATERIAL_REF")) {
            long index = 0;
            if (std::sscanf(r.text, "%*s %li", &index) == 1)
                d.mesh.materialIndex = (index >= INT32_MIN && index <= INT32_MAX) ? int32_t(index) : -1;
        }
    }
    return false;
}

bool readLight(Reader& r) {
    MapLight& light = r.target.light;
    while (r.nextLine()) {
        bool ok = true;
        if (r.is("}")) return true;
        if (r.is("*POSITION")) ok = readTriple(r, light.position);
        else if (r.is("*AMBIENT")) ok = readColour(r, light.ambient);
        else if (r.is("*DIFFUSE")) ok = readColour(r, light.diffuse);
        else if (r.is("*ATTENUATION")) {
            float a = light.attenuation;
            std::sscanf(r.text, "%*s %f", &a);
            ok = finite(a) && a >= 0.0f;
            if (ok) light.attenuation = a;
        }
        if (!ok) return false;
    }
    return false;
}

// Slots go by line, not by point: the k-th line after "*RESPOINTS" is slot k.
bool readRespawnPoints(Reader& r) {
    int line = 0;
    while (r.nextLine()) {
        if (r.is("}")) return true;
        if (line < RESPAWN_POINT_COUNT && r.is("*POINT") && !readTriple(r, respawnPoints[line]))
            return false;
        ++line;
    }
    return false;
}

}  // namespace

bool readMapStream(FILE* file, MapReadTarget& target) {
    Reader r{file, target, {}, {}};
    while (r.nextLine()) {
        bool ok = true;
        if (r.is("*MATERIAL")) ok = readMaterial(r);
        else if (r.is("*GEOMOBJECT")) ok = readGeomObject(r);
        else if (r.is("*LIGHT")) ok = readLight(r);
        else if (r.is("*RESPOINTS")) ok = target.respawnBlock = readRespawnPoints(r);
        if (!ok) return false;
    }
    return true;
}
