// The loaded level: reads a map file, builds its planes and smoothed normals,
// draws it. The Map owns its face arrays and textures and frees them on release.
#pragma once
#include <cstdio>
#include <vector>

#include "client/map/map_model.h"

// What a map needs from outside itself. The game passes GL textures and the
// fatal-error box; a headless caller (a bot, the tests) passes MAP_GEOMETRY_ONLY.
struct MapServices {
    // A texture name for the file, or -1 (any negative) when it cannot be used,
    // which fails the read.
    int (*loadTexture)(const char* path, int flags);
    // Called on release for every material whose textureName is not 0.
    void (*deleteTexture)(unsigned int textureName);
    // Called with "Map loading failed" when the read fails; may be null.
    void (*reportFailure)(const char* message);
    // A whole level, as the game and the bots load one: the respawn table is
    // cleared first, and a file without a mesh with a face or without a respawn
    // block (empty, cut short, of another kind) fails. Off for tests that read
    // pieces of a map.
    bool wholeLevel = false;
};

// Textures are only checked: the path must name a ".tga" or ".jpg" file that
// opens; materials keep textureName 0. Failures are not reported (see readSucceeded).
extern const MapServices MAP_GEOMETRY_ONLY;
// The same for a whole level (wholeLevel set), as a headless player loads one.
extern const MapServices LEVEL_GEOMETRY_ONLY;

class Map {
public:
    // The game's map: GL textures, "Map loading failed" through fatalError.
    // Defined with the drawing, so headless programs never link GL.
    explicit Map(const char* path);
    // Read with the given services, then build normals; a failed read keeps
    // whatever was completely read before it.
    Map(const char* path, const MapServices& services);
    // An empty map; readMapFile and buildNormals are then the caller's.
    explicit Map(const MapServices& services);
    ~Map();
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

    // Appends the file's meshes and materials, sets the light and respawnPoints.
    // False on the failures documented in map_reader.h.
    bool readMapFile(const char* path);
    // Planes and smoothed corner normals of every mesh (map_normals.h).
    void buildNormals();

    // Copies of the mesh records; they share the Map's faces.
    std::vector<MapMesh> meshes() const { return meshArray; }
    // The same list in place, for callers that walk it every frame.
    const std::vector<MapMesh>& meshList() const { return meshArray; }
    const std::vector<MapMaterial>& materialList() const { return materials; }
    const MapLight& mapLight() const { return light; }
    bool readSucceeded() const { return readOk; }

    // Draws every mesh with the map's light. GL context current.
    void render() const;

private:
    MapServices services;
    FILE* file = nullptr;  // open only while readMapFile runs
    std::vector<MapMesh> meshArray;
    std::vector<MapMaterial> materials;
    MapLight light;
    bool readOk = false;
};
