#include "bxm_writer.h"

#include <cstdarg>
#include <cstdio>

namespace {

struct Out {
    std::string text;
    void line(const char* format, ...) {
        char buffer[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        text += buffer;
        text += '\n';
    }
};

int materialOf(const MapSource& src, const std::string& key) {
    for (size_t i = 0; i < src.textures.size(); ++i)
        if (src.textures[i].key == key) return int(i);
    return -1;
}

void writeMesh(Out& o, const MapSource& src, const LevelMesh& m) {
    o.line("*GEOMOBJECT {");
    o.line("\t*NODE_NAME \"%s\"", m.textureKey.c_str());
    o.line("\t*MESH {");
    o.line("\t\t*MESH_NUMVERTEX %zu", m.positions.size());
    o.line("\t\t*MESH_NUMFACES %zu", m.faces.size());
    o.line("\t\t*MESH_VERTEX_LIST {");
    for (size_t i = 0; i < m.positions.size(); ++i)
        o.line("\t\t\t*MESH_VERTEX %5zu\t%.4f\t%.4f\t%.4f", i, double(m.positions[i][0]),
               double(m.positions[i][1]), double(m.positions[i][2]));
    o.line("\t\t}");
    o.line("\t\t*MESH_FACE_LIST {");
    for (size_t i = 0; i < m.faces.size(); ++i)
        o.line("\t\t\t*MESH_FACE %5zu:    A: %5d B: %5d C: %5d AB:    1 BC:    1 CA:    0", i,
               m.faces[i][0], m.faces[i][1], m.faces[i][2]);
    o.line("\t\t}");
    o.line("\t\t*MESH_NUMTVERTEX %zu", m.uvs.size());
    o.line("\t\t*MESH_TVERTLIST {");
    for (size_t i = 0; i < m.uvs.size(); ++i)
        o.line("\t\t\t*MESH_TVERT %5zu\t%.4f\t%.4f\t0.0000", i, double(m.uvs[i][0]), double(m.uvs[i][1]));
    o.line("\t\t}");
    o.line("\t\t*MESH_NUMTVFACES %zu", m.faces.size());
    o.line("\t\t*MESH_TFACELIST {");
    for (size_t i = 0; i < m.faces.size(); ++i)
        o.line("\t\t\t*MESH_TFACE %5zu\t%5d\t%5d\t%5d", i, m.faces[i][0], m.faces[i][1], m.faces[i][2]);
    o.line("\t\t}");
    o.line("\t}");
    o.line("\t*MATERIAL_REF %d", materialOf(src, m.textureKey));
    o.line("}");
}

}  // namespace

std::string formatMapFile(const MapSource& src, const Level& level, const std::string& textureDirectory) {
    Out o;
    o.line("*3DSMAX_ASCIIEXPORT\t200");
    o.line("*COMMENT \"Blastavia map %s, compiled by mapc\"", src.name.c_str());
    o.line("*MATERIAL_LIST {");
    o.line("\t*MATERIAL_COUNT %zu", src.textures.size());
    for (size_t i = 0; i < src.textures.size(); ++i) {
        o.line("\t*MATERIAL %zu {", i);
        o.line("\t\t*MATERIAL_NAME \"%s\"", src.textures[i].key.c_str());
        o.line("\t\t*MATERIAL_DIFFUSE 1.0000 1.0000 1.0000");
        o.line("\t\t*MAP_DIFFUSE {");
        o.line("\t\t\t*BITMAP %s%s", textureDirectory.c_str(), src.textures[i].file.c_str());
        o.line("\t\t}");
        o.line("\t}");
    }
    o.line("}");
    for (const LevelMesh& m : level.meshes) writeMesh(o, src, m);
    o.line("*LIGHT {");
    o.line("\t*POSITION %.4f %.4f %.4f", double(level.light[0]), double(level.light[1]), double(level.light[2]));
    o.line("\t*AMBIENT %.4f %.4f %.4f", double(src.ambient[0]), double(src.ambient[1]), double(src.ambient[2]));
    o.line("\t*DIFFUSE %.4f %.4f %.4f", double(src.diffuse[0]), double(src.diffuse[1]), double(src.diffuse[2]));
    o.line("\t*ATTENUATION %.6f", double(src.attenuation));
    o.line("}");
    o.line("*RESPOINTS {");
    for (const auto& p : level.spawns)
        o.line("\t*POINT %.4f %.4f %.4f", double(p[0]), double(p[1]), double(p[2]));
    o.line("}");
    return o.text;
}
