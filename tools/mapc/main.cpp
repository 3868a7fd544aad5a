// mapc: compiles a map layout from maps/ into the game's map file plus its
// textures. Usage: mapc <layout file> <output folder>
// The output folder is data/maps/<name>/; the map file inside it names its
// textures as the game sees them from bin/: ../data/maps/<name>/<file>.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "bxm_writer.h"
#include "image_files.h"
#include "level_mesh.h"
#include "map_source.h"
#include "painters.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mapc <layout file> <output folder>\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "mapc: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    MapSource source;
    std::string error;
    if (!parseMapSource(text.str(), source, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::string folder = std::string(argv[2]) + "/";
    for (const TextureSpec& t : source.textures) {
        Picture picture;
        if (!paintTexture(t.painter, picture)) {
            std::fprintf(stderr, "%s: no painter called \"%s\"\n", argv[1], t.painter.c_str());
            return 1;
        }
        bool tga = t.file.substr(t.file.size() - 4) == ".tga";
        bool written = tga ? writeTga(folder + t.file, picture) : writeJpeg(folder + t.file, picture, 90);
        if (!written) {
            std::fprintf(stderr, "mapc: cannot write %s%s\n", folder.c_str(), t.file.c_str());
            return 1;
        }
    }
    Level level = buildLevel(source);
    std::string path = folder + source.name + ".bxm";
    std::ofstream out(path, std::ios::binary);
    out << formatMapFile(source, level, "../data/maps/" + source.name + "/");
    if (!out.flush()) {
        std::fprintf(stderr, "mapc: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
