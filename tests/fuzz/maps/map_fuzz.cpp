// Fuzz entry for map files: arbitrary bytes read as a map, normals built, and
// every number checked finite and every index in range.
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "client/map/map_normals.h"
#include "client/map/map_reader.h"

namespace {

// No files and no GL: any ".tga" or ".jpg" path "loads".
int fuzzLoadTexture(const char* path, int) {
    return (std::strstr(path, ".tga") || std::strstr(path, ".jpg")) ? 1 : -1;
}
void fuzzDeleteTexture(unsigned int) {}
const MapServices FUZZ_SERVICES = {fuzzLoadTexture, fuzzDeleteTexture, nullptr};

void require(bool condition) {
    if (!condition) std::abort();
}
bool finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An empty input reads as a lone blank line, which the reader skips.
    std::vector<char> bytes(data, data + size);
    if (bytes.empty()) bytes.push_back('\n');
    FILE* file = fmemopen(bytes.data(), bytes.size(), "r");
    if (!file) return 0;
    std::vector<MapMesh> meshes;
    std::vector<MapMaterial> materials;
    MapLight light;
    MapReadTarget target{meshes, materials, light, FUZZ_SERVICES};
    readMapStream(file, target);
    std::fclose(file);
    require(finite(light.position) && std::isfinite(light.attenuation));
    for (const Vec3& p : respawnPoints) require(finite(p));
    for (MapMesh& mesh : meshes) {
        require(mesh.faceCount >= 0 && (mesh.faceCount == 0) == (mesh.faces == nullptr));
        buildFlatNormals(mesh);
        smoothNormals(mesh);
        for (int i = 0; i < mesh.faceCount; ++i) {
            const MapFace& f = mesh.faces[i];
            require(finite(f.planeNormal) && std::isfinite(f.planeDistance));
            for (const MapVertex& c : f.corners)
                require(finite(c.position) && finite(c.normal) && std::isfinite(c.u) &&
                        std::isfinite(c.v) && c.sourceIndex >= 0);
        }
        delete[] mesh.faces;
    }
    return 0;
}
