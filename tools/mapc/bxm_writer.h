// mapc's output: the level in the game's map format (a reduced ASCII scene
// export with a respawn block), textures named by their path from bin/.
#pragma once
#include <string>

#include "level_mesh.h"
#include "map_source.h"

// textureDirectory is how the game's bin/ folder reaches the textures, for
// example "../data/maps/hall/".
std::string formatMapFile(const MapSource& source, const Level& level,
                          const std::string& textureDirectory);
