#include "client/map/map_normals.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

void buildFlatNormals(MapMesh& mesh) {
    int32_t kept = 0;
    for (int32_t i = 0; i < mesh.faceCount; ++i) {
        MapFace face = mesh.faces[i];
        Vec3 a = face.corners[0].position;
        Vec3 e1 = face.corners[1].position - a;
        Vec3 e2 = face.corners[2].position - a;
        Vec3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
        float lengthSquared = n.x * n.x + n.y * n.y + n.z * n.z;
        if (!(lengthSquared > 0.0f) || !std::isfinite(lengthSquared)) continue;
        normalize(n);
        float d = -(n.x * a.x + n.y * a.y + n.z * a.z);
        if (!std::isfinite(d)) continue;
        for (MapVertex& corner : face.corners) corner.normal = n;
        face.planeNormal = n;
        face.planeDistance = d;
        mesh.faces[kept++] = face;
    }
    mesh.faceCount = kept;
}

namespace {

// One corner of one face, listed under its vertex number.
struct Occurrence {
    int32_t sourceIndex;
    uint32_t face;
    uint32_t corner;
};

bool before(const Occurrence& a, const Occurrence& b) {
    if (a.sourceIndex != b.sourceIndex) return a.sourceIndex < b.sourceIndex;
    if (a.face != b.face) return a.face < b.face;
    return a.corner < b.corner;
}

}  // namespace

void smoothNormals(MapMesh& mesh) {
    if (mesh.faceCount < 2) return;
    size_t faceCount = size_t(mesh.faceCount);
    // Every corner, grouped by vertex number, each group in (face, corner) order:
    // exactly the order in which comparing all pairs would meet them.
    std::vector<Occurrence> byVertex(faceCount * 3);
    for (size_t f = 0; f < faceCount; ++f)
        for (uint32_t c = 0; c < 3; ++c)
            byVertex[f * 3 + c] = {mesh.faces[f].corners[c].sourceIndex, uint32_t(f), c};
    std::sort(byVertex.begin(), byVertex.end(), before);
    // [groupBegin, groupEnd) of slot face * 3 + corner: that corner's group.
    std::vector<uint32_t> groupBegin(faceCount * 3), groupEnd(faceCount * 3);
    for (size_t begin = 0; begin < byVertex.size();) {
        size_t end = begin + 1;
        while (end < byVertex.size() && byVertex[end].sourceIndex == byVertex[begin].sourceIndex)
            ++end;
        for (size_t e = begin; e < end; ++e) {
            size_t slot = size_t(byVertex[e].face) * 3 + byVertex[e].corner;
            groupBegin[slot] = uint32_t(begin);
            groupEnd[slot] = uint32_t(end);
        }
        begin = end;
    }
    // A corner's blends touch only that corner, and faces other than i do not
    // change while face i is smoothed, so corners can be taken one at a time.
    for (size_t i = 0; i < faceCount; ++i) {
        MapFace work = mesh.faces[i];
        for (size_t k = 0; k < 3; ++k) {
            Vec3 normal = work.corners[k].normal;
            for (uint32_t e = groupBegin[i * 3 + k]; e < groupEnd[i * 3 + k]; ++e) {
                const Occurrence& o = byVertex[e];
                if (o.face == i) continue;
                normal = blendNormals(normal, mesh.faces[o.face].corners[o.corner].normal);
            }
            work.corners[k].normal = normal;
        }
        mesh.faces[i] = work;
    }
}
