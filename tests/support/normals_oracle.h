// The smoothing pass exactly as the game describes it: every face compared with
// every other face, nine corner pairs each. Kept as the reference for tests.
#pragma once
#include "client/map/map_normals.h"

inline void smoothNormalsAllPairs(MapMesh& mesh) {
    for (int i = 0; i < mesh.faceCount; ++i) {
        MapFace work = mesh.faces[i];
        for (int j = 0; j < mesh.faceCount; ++j) {
            if (j == i) continue;
            const MapFace other = mesh.faces[j];
            for (int k = 0; k < 3; ++k)
                for (int m = 0; m < 3; ++m)
                    if (work.corners[k].sourceIndex == other.corners[m].sourceIndex) {
                        work.corners[k].normal =
                            blendNormals(work.corners[k].normal, other.corners[m].normal);
                        mesh.faces[i] = work;
                    }
        }
    }
}
