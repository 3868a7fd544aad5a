// Walls and fighters kept apart, beams cut at walls, hits and aim; faces are
// one-sided triangles owned by the map, only the local fighter's sphere moves.
#pragma once
#include <vector>

#include "client/map/map_model.h"
#include "client/match/fighter.h"
#include "client/geometry/vec3.h"

class LocalFighter;
class Map;

constexpr float CONTACT_MARGIN = 0.001f;
constexpr double INSIDE_ANGLE_SUM = 6.220353447;  // about 0.99 x 2 pi
constexpr float PROXIMITY_FACTOR = 0.8f;
// Faces closer together than a fighter's width can push it back and forth for
// ever; after this many restarts of one pass the move is given up.
constexpr int MAX_COLLISION_RESTARTS = 32;

// Where the sphere's move meets the face's plane: the crossing point when the
// centre went from front to back, or the foot of the perpendicular when the
// centre ends within the radius in front. Never from behind the face.
bool sphereFaceContact(const CollisionSphere& sphere, const MapFace& face, Vec3* contact);
// True when the angles the corners subtend at p sum to nearly a full turn.
bool pointInFace(Vec3 p, const MapFace& face);
// Pushes current out of each edge the sphere overlaps, edge by edge.
bool pushOutOfEdges(CollisionSphere& sphere, const MapFace& face);
// Moves a (only a) out of b until the spheres are apart by CONTACT_MARGIN.
bool pushApart(CollisionSphere& a, const CollisionSphere& b);
// Where the segment passes strictly from one side of the face's plane to the other.
bool segmentFaceCrossing(Vec3 start, Vec3 end, const MapFace& face, Vec3* crossing);
bool pointNearSphere(Vec3 p, const CollisionSphere& sphere);

// Face pass then edge pass over every face, each restarting after a push. If a
// pass cannot settle, the fighter stays where the frame began. True if pushed.
bool collideWithMap(LocalFighter& fighter, const std::vector<MapMesh>& meshes);
bool collideWithMap(LocalFighter& fighter, const Map& map);
// Pushes the local fighter out of one living remote fighter.
bool collideWithFighter(LocalFighter& local, const Fighter& remote);
// Shortens the beam at the nearest face it passes through, from either side.
void clipBeamToMap(Beam& beam, const std::vector<MapMesh>& meshes);
void clipBeamToMap(Beam& beam, const Map& map);
// The remote's visible beam ends on the living local fighter.
bool isHitByBeam(const LocalFighter& local, const Fighter& remote);
// The local crosshair rests on the living remote fighter.
bool isAimedAt(const LocalFighter& local, const Fighter& remote);
// The same against the remote as it is shown (its body), not as received.
bool isAimedAtShown(const LocalFighter& local, const Fighter& remote);
