// The respawn table normally comes with the map reader; these tests place it.
#include "client/map/map_model.h"

Vec3 respawnPoints[RESPAWN_POINT_COUNT] = {{10, 0, 0}, {20, 0, 0}, {30, 0, 0}, {40, 0, 0}};
