// The map file reader: a reduced ASCII scene export with our own respawn block.
// It appends to the lists it is given; faces it appends belong to their owner.
#pragma once
#include <cstdio>
#include <vector>

#include "client/map/map.h"

// Lines are read in pieces of at most 255 characters; a line's token is its
// first word, matched whole and case-sensitively; each keyword line is read by
// one scan; a block ends at the first "}" line; unknown lines are skipped.
//
// The format is taken on trust by the exporters that write it, but the reader
// never reads or writes outside its lists. Input that breaks the format is
// handled as follows (fail = the read returns false, "Map loading failed"):
//   - blank line: skipped like an unknown line (in a respawn block it still
//     takes its slot);
//   - count line without a number, negative or beyond 32 bits: fail;
//   - a list with more entries than its count (also: a list before its count,
//     more texture-face lines than faces): fail;
//   - a list with fewer entries than its count: the list is shorter; faceCount
//     becomes the number of face lines read, so no face is left unset;
//   - vertex or texture-vertex number outside the entries read so far
//     (including a face list without a vertex list, or a number missing from the
//     face line): fail;
//   - "nan" or "inf" in a vertex, texture vertex, light or respawn point, or a
//     negative attenuation: fail;
//   - a second vertex/face/texture list in one mesh replaces the first; the
//     positions and texture vertices are still released when their face or
//     texture-face list ends, so a later face list cannot see them (fail);
//   - a mesh without a texture-face list: texture coordinates 0, 0;
//   - a material without "*BITMAP", or whose path has neither ".tga" nor
//     ".jpg": the texture cannot be loaded, fail;
//   - "*MATERIAL_REF" naming no material (or beyond 32 bits, kept as -1): kept;
//     such a mesh is drawn untextured;
//   - missing numbers on a vertex, texture-vertex, light or point line: the
//     value keeps what it had (0 for new entries);
//   - no light block, or a light value never named: 0;
//   - more than four lines in a respawn block: the extra lines are ignored.
// A mesh or material whose block is cut short, or fails, is not appended and
// nothing of it is kept.
struct MapReadTarget {
    std::vector<MapMesh>& meshes;
    std::vector<MapMaterial>& materials;
    MapLight& light;
    const MapServices& services;
    bool respawnBlock = false;  // set when a complete respawn block was read
};

// Reads the open file to its end. True when every block was complete.
bool readMapStream(FILE* file, MapReadTarget& target);
