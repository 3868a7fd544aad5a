// assetgen: paints, synthesises and encodes every data file the game loads,
// the same bytes on every run. Usage: assetgen <data folder> <font folder>
// `assetgen --desktop <folder> <font folder>` paints the desktop's icons and
// the catalogue's screenshot instead (they are installed, never loaded).
#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "icon.h"
#include "menu.h"
#include "sounds.h"
#include "sprites.h"

namespace {

bool makeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

bool writePicture(const Canvas& c, const std::string& path, int bits) {
    if (writeTga(c, path, bits)) return true;
    std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--desktop")
        return writeDesktopPictures(argv[2], argv[3]) ? 0 : 1;
    if (argc != 3) {
        std::fprintf(stderr, "usage: assetgen <data folder> <font folder>\n"
                             "       assetgen --desktop <folder> <font folder>\n");
        return 2;
    }
    std::string data = argv[1];
    for (const char* sub : {"", "/fighter", "/menu", "/sfx", "/music"})
        if (!makeFolder(data + sub)) {
            std::fprintf(stderr, "assetgen: cannot create %s%s\n", data.c_str(), sub);
            return 1;
        }
    bool ok = true;
    const char* skins[FIGHTER_SKINS] = {"f1", "f2", "f3"};
    for (int skin = 0; skin < FIGHTER_SKINS; ++skin)
        ok &= writePicture(fighterAtlas(skin), data + "/fighter/" + skins[skin] + ".tga", 32);
    ok &= writePicture(bloodAtlas(), data + "/fighter/blood.tga", 32);
    ok &= writePicture(laserPicture(), data + "/fighter/laser.tga", 32);
    ok &= writePicture(crossPicture(), data + "/fighter/cross.tga", 32);
    ok &= writeMenuPictures(data + "/menu", argv[2]);
    ok &= writeEffects(data + "/sfx");
    ok &= writeMusic(data + "/music");
    return ok ? 0 : 1;
}
