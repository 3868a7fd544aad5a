#include "tools/bot/sight.h"

#include <cmath>

#include "client/match/collision.h"
#include "client/match/fighter.h"
#include "client/match/transform.h"

namespace {
// What the match camera shows on the ground around its target, at 4:3.
const float VIEW_HALF_HEIGHT =
    CAMERA_HEIGHT * float(std::tan(FIELD_OF_VIEW * 0.5 * DEGREES_TO_RADIANS));
const float VIEW_HALF_WIDTH = VIEW_HALF_HEIGHT * 4.0f / 3.0f;
}  // namespace

bool lineOfSight(Vec3 from, Vec3 to, const std::vector<MapMesh>& meshes) {
    for (const MapMesh& mesh : meshes) {
        for (int i = 0; i < mesh.faceCount; ++i) {
            Vec3 p;
            if (segmentFaceCrossing(from, to, mesh.faces[i], &p) && pointInFace(p, mesh.faces[i]))
                return false;
        }
    }
    return true;
}

bool pathClear(Vec3 from, Vec3 direction, float distance, const std::vector<MapMesh>& meshes) {
    Vec3 d = direction;
    normalize(d);
    Vec3 side{d.y, -d.x, 0.0f};
    // The centre line and both shoulders, reaching a body's radius further.
    float reach = distance + FIGHTER_RADIUS;
    for (float offset : {0.0f, -FIGHTER_RADIUS, FIGHTER_RADIUS}) {
        Vec3 start = from + side * offset;
        if (!lineOfSight(start, start + d * reach, meshes)) return false;
    }
    return true;
}

bool inCameraView(Vec3 position, Vec3 forward, Vec3 point) {
    Vec3 f{forward.x, forward.y, 0.0f};
    normalize(f);
    Vec3 r{f.y, -f.x, 0.0f};
    Vec3 rel = point - position;
    float ahead = dot(rel, f) - CAMERA_AHEAD;
    float across = dot(rel, r);
    return std::fabs(ahead) <= VIEW_HALF_HEIGHT && std::fabs(across) <= VIEW_HALF_WIDTH;
}
