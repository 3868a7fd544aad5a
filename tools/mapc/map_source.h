// mapc's input: a readable map layout (a character grid of walls and floor,
// spawn points, the light, the textures) parsed into plain records.
#pragma once
#include <string>
#include <vector>

// A texture: the character it dresses ("floor" and "top" are the floor and the
// wall tops), its file name (".tga" or ".jpg"), the painter that draws it, and
// how many world units one repeat of the picture covers.
struct TextureSpec {
    std::string key;
    std::string file;
    std::string painter;
    float repeat = 2.0f;
};

struct MapSource {
    std::string name;
    float cell = 2.0f;         // world units per grid cell
    float floorZ = -1.0f;      // below the fighters' plane, so it never collides
    float wallTop = 1.5f;
    float lightHeight = 10.0f;
    float ambient[3] = {0.2f, 0.2f, 0.2f};
    float diffuse[3] = {0.5f, 0.5f, 0.5f};
    float attenuation = 0.004f;
    std::vector<TextureSpec> textures;
    std::string ownTops;       // wall kinds whose tops wear their side texture, not "top"
    std::vector<std::string> rows;  // '.' floor, '1'..'4' spawn, 'L' light, else a wall kind
};

// The layout file, one setting a line ("#" starts a comment):
//   name hall                      folder and file name under data/maps/
//   cell 2.0                       world units per grid cell
//   floor -1.0                     floor height, at most -0.7
//   wall_top 1.5                   height of the wall tops
//   light_height 10.0              the lamp hangs above the 'L' cell (or the middle)
//   ambient r g b / diffuse r g b / attenuation a
//   texture <key> <file> <painter> <units per repeat>
//                                  key: "floor", "top", a wall character, or
//                                  "outside" for ground beyond the outer walls
//   own_top XY                     these walls' tops wear their side texture
//   layout ... end                 the grid, row 0 to the north
// Reads and checks a layout; on failure returns false with a message naming
// the line. Checks: a rectangular grid closed by walls, exactly four spawn
// points, every wall character dressed, "floor" and "top" textures present.
bool parseMapSource(const std::string& text, MapSource& out, std::string& error);

bool isFloorCell(char c);
