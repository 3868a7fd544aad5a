// mapc: turns a parsed layout into textured triangle meshes, one per texture:
// the floor (vertices shared, smooth), wall sides and wall tops (four vertices
// of their own per quad, so corners stay hard-edged).
#pragma once
#include <array>
#include <string>
#include <vector>

#include "map_source.h"

struct LevelMesh {
    std::string textureKey;
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 2>> uvs;  // one per position
    std::vector<std::array<int, 3>> faces;  // counter-clockwise seen from the front
};

struct Level {
    std::vector<LevelMesh> meshes;
    std::array<std::array<float, 3>, 4> spawns;  // by spawn digit 1..4
    std::array<float, 3> light;
};

Level buildLevel(const MapSource& source);
