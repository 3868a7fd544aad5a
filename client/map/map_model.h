// The level of one match in memory: triangle meshes, textured materials, one
// light, and the process-wide table of four respawn points. The Map owns its
// face arrays and GL textures; MapMesh copies share the faces and never free them.
#pragma once
#include <cstdint>

#include "client/core/records.h"
#include "client/geometry/vec3.h"

struct MapVertex {
    Vec3 position;         // as written in the file, z up
    float u = 0.0f, v = 0.0f;
    Vec3 normal;           // smoothed unit normal for lighting
    int32_t sourceIndex = 0;  // file vertex number; equal numbers = same point
};

struct MapFace {
    MapVertex corners[3];  // A, B, C; counter-clockwise seen from the front
    Vec3 planeNormal;      // unit (B - A) x (C - A)
    float planeDistance = 0.0f;  // planeNormal . p + planeDistance = 0 on the plane
};

struct MapMesh {
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    int32_t tvertexCount = 0;
    Vec3* vertices = nullptr;      // only while the mesh is read
    float (*tvertices)[2] = nullptr;  // only while the mesh is read
    MapFace* faces = nullptr;      // faceCount faces, owned by the Map
    int32_t materialIndex = -1;
};

struct MapMaterial {
    char bitmapPath[256] = {};
    unsigned int textureName = 0;  // 0: none
};

struct MapLight {
    Vec3 position;
    float ambient[3] = {0.0f, 0.0f, 0.0f};
    float diffuse[3] = {0.0f, 0.0f, 0.0f};  // also the specular colour
    float attenuation = 0.0f;               // quadratic
};

// The respawn points (`respawnPoints`, client/core/records.h): zero at start,
// written by every map read (slot by line), so slots a map leaves out keep the
// previous map's points.
