#include "client/map/map.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "client/map/map_normals.h"
#include "client/map/map_reader.h"

namespace {

int checkTextureFile(const char* path, int) {
    if (!std::strstr(path, ".tga") && !std::strstr(path, ".jpg")) return -1;
    FILE* f = std::fopen(path, "rb");
    if (!f) return -1;
    std::fclose(f);
    return 0;
}

void keepTexture(unsigned int) {}

}  // namespace

const MapServices MAP_GEOMETRY_ONLY = {checkTextureFile, keepTexture, nullptr};
const MapServices LEVEL_GEOMETRY_ONLY = {checkTextureFile, keepTexture, nullptr, true};

Map::Map(const MapServices& mapServices) : services(mapServices) {}

Map::Map(const char* path, const MapServices& mapServices) : services(mapServices) {
    readOk = readMapFile(path);
    if (!readOk && services.reportFailure) services.reportFailure("Map loading failed");
    buildNormals();
}

Map::~Map() {
    for (MapMesh& mesh : meshArray) delete[] mesh.faces;
    for (const MapMaterial& material : materials)
        if (material.textureName != 0) services.deleteTexture(material.textureName);
}

bool Map::readMapFile(const char* path) {
    file = std::fopen(path, "r");
    if (!file) return false;
    // A level never inherits the last one's spawns, not even from a bad file.
    if (services.wholeLevel) std::fill(std::begin(respawnPoints), std::end(respawnPoints), Vec3{});
    size_t meshesBefore = meshArray.size();
    MapReadTarget target{meshArray, materials, light, services};
    bool read = readMapStream(file, target);
    std::fclose(file);
    file = nullptr;
    if (!read || !services.wholeLevel) return read;
    bool geometry = std::any_of(meshArray.begin() + long(meshesBefore), meshArray.end(),
                                [](const MapMesh& m) { return m.faceCount > 0; });
    if (geometry && target.respawnBlock) return true;
    std::fill(std::begin(respawnPoints), std::end(respawnPoints), Vec3{});
    return false;
}

void Map::buildNormals() {
    for (MapMesh& mesh : meshArray) {
        buildFlatNormals(mesh);
        smoothNormals(mesh);
    }
}
