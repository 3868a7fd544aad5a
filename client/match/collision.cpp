#include "client/match/collision.h"

#include <cmath>

#include "client/map/map.h"
#include "client/match/local_fighter.h"

namespace {

bool finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// v scaled to unit length, or false for a zero or non-finite vector.
bool unit(Vec3 v, Vec3* out) {
    float len = length(v);
    if (!(len > 0.0f) || !std::isfinite(len)) return false;
    *out = v * (1.0f / len);
    return true;
}

template <class Visit>
bool anyFace(const std::vector<MapMesh>& meshes, Visit visit) {
    for (const MapMesh& mesh : meshes)
        for (int32_t i = 0; i < mesh.faceCount; ++i)
            if (visit(mesh.faces[i])) return true;
    return false;
}

// Repeats a scan over all faces while visit() pushes. False when the restarts
// ran out before a full scan came back clean.
template <class Visit>
bool settle(const std::vector<MapMesh>& meshes, Visit visit, bool* hit) {
    for (int restarts = 0; restarts <= MAX_COLLISION_RESTARTS; ++restarts) {
        if (!anyFace(meshes, visit)) return true;
        *hit = true;
    }
    return false;
}

void afterPush(LocalFighter& f) {
    f.sphere.current.z = 0.0f;
    f.body.setPosition(f.sphere.current);
    placeCrosshair(f);
}

}  // namespace

bool sphereFaceContact(const CollisionSphere& s, const MapFace& face, Vec3* contact) {
    const Vec3& n = face.planeNormal;
    float dp = dot(n, s.previous) + face.planeDistance;
    float dc = dot(n, s.current) + face.planeDistance;
    if (!(dp > 0.0f)) return false;
    if (dp * dc < 0.0f) {
        Vec3 dir;
        if (!unit(s.current - s.previous, &dir)) return false;
        float t = -dp / dot(dir, n);
        *contact = s.previous + dir * t;
        return finite(*contact);
    }
    if (std::fabs(dc) <= s.radius) {
        *contact = s.current - n * dc;
        return true;
    }
    return false;
}

bool pointInFace(Vec3 p, const MapFace& face) {
    double sum = 0.0;
    for (int i = 0; i < 3; ++i) {
        Vec3 a, b;
        // A point on a corner subtends no angle there; the other two decide.
        if (!unit(face.corners[i].position - p, &a)) continue;
        if (!unit(face.corners[(i + 1) % 3].position - p, &b)) continue;
        double angle = std::acos(double(dot(a, b)));
        if (!std::isnan(angle)) sum += angle;
    }
    return sum > INSIDE_ANGLE_SUM;
}

bool pushOutOfEdges(CollisionSphere& s, const MapFace& face) {
    bool pushed = false;
    for (int i = 0; i < 3; ++i) {
        Vec3 a = face.corners[i].position;
        Vec3 b = face.corners[(i + 1) % 3].position;
        Vec3 e = b - a;
        float len = length(e);
        Vec3 q = a;  // a zero-length edge is just its point
        if (len > 0.0f) {
            Vec3 u = e * (1.0f / len);
            float t = dot(u, s.current - a);
            if (t <= 0.0f)
                q = a;
            else if (len <= t)
                q = b;
            else
                q = a + u * t;
        }
        Vec3 d = s.current - q;
        float dist = length(d);
        if (!(dist <= s.radius)) continue;
        Vec3 dir;
        // A centre exactly on the edge has no way out of its own: go back the
        // way it came, or else out of the face's front.
        if (!unit(d, &dir) && !unit(s.previous - q, &dir) && !unit(face.planeNormal, &dir)) continue;
        s.current = q + dir * (s.radius + CONTACT_MARGIN);
        pushed = true;
    }
    return pushed;
}

bool pushApart(CollisionSphere& a, const CollisionSphere& b) {
    Vec3 d = b.current - a.current;
    float r = a.radius + b.radius;
    if (!(length(d) <= r)) return false;
    Vec3 dir;
    // Coincident centres: out along +x, as the fighters' own nudge would.
    if (!unit(d, &dir)) dir = {-1.0f, 0.0f, 0.0f};
    a.current = b.current - dir * (r + CONTACT_MARGIN);
    return true;
}

bool segmentFaceCrossing(Vec3 start, Vec3 end, const MapFace& face, Vec3* crossing) {
    const Vec3& n = face.planeNormal;
    float ds = dot(n, start) + face.planeDistance;
    float de = dot(n, end) + face.planeDistance;
    if (!(ds * de < 0.0f)) return false;
    Vec3 dir;
    if (!unit(end - start, &dir)) return false;
    float t = -ds / dot(dir, n);
    *crossing = start + dir * t;
    return finite(*crossing);
}

bool pointNearSphere(Vec3 p, const CollisionSphere& s) {
    return s.radius * PROXIMITY_FACTOR >= length(s.current - p);
}

bool collideWithMap(LocalFighter& f, const std::vector<MapMesh>& meshes) {
    CollisionSphere& s = f.sphere;
    bool hit = false;
    auto facePush = [&s](const MapFace& face) {
        Vec3 p;
        if (!sphereFaceContact(s, face, &p) || !pointInFace(p, face)) return false;
        s.current = p + face.planeNormal * (s.radius + CONTACT_MARGIN);
        return true;
    };
    auto edgePush = [&s](const MapFace& face) { return pushOutOfEdges(s, face); };
    bool settled = settle(meshes, facePush, &hit) && settle(meshes, edgePush, &hit);
    // Walls too close to pass between: the move is refused, the fighter stays
    // where it stood at the start of the frame rather than jittering or
    // ending inside a wall.
    if (!settled || !finite(s.current)) {
        s.current = s.previous;
        hit = true;
    }
    if (hit) afterPush(f);
    return hit;
}

bool collideWithMap(LocalFighter& f, const Map& map) { return collideWithMap(f, map.meshList()); }

bool collideWithFighter(LocalFighter& local, const Fighter& remote) {
    if (remote.dead) return false;
    if (local.sphere.current == remote.sphere.current) local.sphere.current.x += 0.01f;
    if (!pushApart(local.sphere, remote.sphere)) return false;
    afterPush(local);
    return true;
}

void clipBeamToMap(Beam& beam, const std::vector<MapMesh>& meshes) {
    float best = length(beam.end - beam.start);
    bool found = false;
    anyFace(meshes, [&](const MapFace& face) {
        Vec3 p;
        if (segmentFaceCrossing(beam.start, beam.end, face, &p) && pointInFace(p, face)) {
            float d = length(p - beam.start);
            if (d < best) {
                best = d;
                beam.end = p;
                found = true;
            }
        }
        return false;
    });
    if (found) {
        beam.length = length(beam.end - beam.start);
        setBeamCorners(beam, beam.length);
    }
}

void clipBeamToMap(Beam& beam, const Map& map) { clipBeamToMap(beam, map.meshList()); }

bool isHitByBeam(const LocalFighter& local, const Fighter& remote) {
    return remote.beam.visible && !local.dead && pointNearSphere(remote.beam.end, local.sphere);
}

bool isAimedAt(const LocalFighter& local, const Fighter& remote) {
    return !remote.dead && pointNearSphere(local.crosshair.position, remote.sphere);
}

bool isAimedAtShown(const LocalFighter& local, const Fighter& remote) {
    CollisionSphere shown = remote.sphere;
    shown.current = shown.previous = remote.body.position;
    return !remote.dead && pointNearSphere(local.crosshair.position, shown);
}
