// What a bot may know of the arena: exactly what a player's screen shows.
// Walls block sight as they block beams; the view is the camera's rectangle.
#pragma once
#include <vector>

#include "client/map/map_model.h"
#include "client/geometry/vec3.h"

// No face of the map between the two points (the test a beam's cut uses).
bool lineOfSight(Vec3 from, Vec3 to, const std::vector<MapMesh>& meshes);
// A path as wide as a fighter is free of walls for `distance` along `direction`.
bool pathClear(Vec3 from, Vec3 direction, float distance, const std::vector<MapMesh>& meshes);
// The point lies within what the camera shows around a fighter at `position`
// facing `forward` (the match camera's rectangle on the ground, at 4:3).
bool inCameraView(Vec3 position, Vec3 forward, Vec3 point);
