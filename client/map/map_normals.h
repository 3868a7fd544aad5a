// Planes and lighting normals of a mesh, built once per load. Pure geometry:
// no GL, no files. Works on the faces a MapMesh points at, in place.
#pragma once
#include "client/map/map_model.h"

// Sum of two unit normals scaled back to unit length. When they cancel out
// (a zero sum) the first is kept, so no corner ever gets a non-number.
inline Vec3 blendNormals(Vec3 a, Vec3 b) {
    Vec3 sum{a.x + b.x, a.y + b.y, a.z + b.z};
    if (!(sum.x * sum.x + sum.y * sum.y + sum.z * sum.z > 0.0f)) return a;
    return normalize(sum);
}

// Pass 1: every face gets its unit plane normal (B - A) x (C - A) on all three
// corners and its plane distance. A face whose normal cannot be computed in
// floats (zero area, or too small or large to square) is left out: the faces
// after it move down and faceCount shrinks, so no non-number ever reaches
// planes, collision or drawing.
void buildFlatNormals(MapMesh& mesh);

// Pass 2: for faces in order, each corner's normal is blended, in ascending
// (face, corner) order, with every other face's corner of the same vertex
// number, reading faces before it already smoothed. Only faces sharing a vertex
// number are visited; the result equals comparing every pair of faces.
void smoothNormals(MapMesh& mesh);
