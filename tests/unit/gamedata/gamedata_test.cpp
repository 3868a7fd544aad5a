// The staged data folder holds every file the client loads, each one in the
// form the loading code reads blindly (menu pictures are drawn as exactly
// 640 x 480 RGB, the cursor as 16 x 16 RGBA), and decodable by our loaders.
#include <gtest/gtest.h>

#include <dirent.h>
#include <iterator>
#include <string>
#include <vector>

#include "client/assets/sound.h"
#include "client/assets/texture.h"
#include "client/ui/menu_layout.h"

namespace {

const char* const DATA = "../data";

struct Picture {
    const char* path;
    int width, height, bits;  // 0: any size
};

const Picture PICTURES[] = {
    {"../data/fighter/f1.tga", 0, 0, 32},      {"../data/fighter/f2.tga", 0, 0, 32},
    {"../data/fighter/f3.tga", 0, 0, 32},      {"../data/fighter/blood.tga", 0, 0, 32},
    {"../data/fighter/laser.tga", 0, 0, 0},    {"../data/fighter/cross.tga", 16, 16, 32},
    {"../data/menu/logo.tga", 640, 480, 24},   {"../data/menu/main.tga", 640, 480, 24},
    {"../data/menu/fighters.tga", 640, 480, 24}, {"../data/menu/credits.tga", 640, 480, 24},
    {"../data/menu/servers.tga", 640, 480, 24},  {"../data/menu/options.tga", 640, 480, 24},
};

const char* const SOUNDS[] = {
    "../data/sfx/click.wav", "../data/sfx/step.wav", "../data/sfx/shot.wav",
    "../data/sfx/squish.wav", "../data/music/0.ogg", "../data/music/1.ogg", "../data/music/2.ogg",
};

void listFiles(const std::string& folder, std::vector<std::string>& out) {
    DIR* d = opendir(folder.c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string path = folder + "/" + name;
        if (e->d_type == DT_DIR) listFiles(path, out);
        else out.push_back(path);
    }
    closedir(d);
}

bool endsWith(const std::string& s, const char* tail) {
    std::string t = tail;
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

TEST(GameData, EveryNamedPictureLoadsInTheExpectedForm) {
    for (const Picture& p : PICTURES) {
        Image image;
        ASSERT_TRUE(loadTga(p.path, image)) << p.path;
        if (p.width) {
            EXPECT_EQ(image.width, p.width) << p.path;
            EXPECT_EQ(image.height, p.height) << p.path;
        }
        if (p.bits) {
            EXPECT_EQ(image.bitsPerPixel, p.bits) << p.path;
        }
        freeImage(image);
    }
}

TEST(GameData, AtlasCellsKeepClearOfTheirNeighbours) {
    // Filtering blends across cell edges: a figure touching its edge would
    // leave a sliver in the next cell. Every cell's border stays transparent.
    for (const char* path : {"../data/fighter/f1.tga", "../data/fighter/f2.tga", "../data/fighter/f3.tga",
                             "../data/fighter/blood.tga"}) {
        Image image;
        ASSERT_TRUE(loadTga(path, image)) << path;
        ASSERT_EQ(image.width, image.height) << path;
        ASSERT_EQ(image.width % 4, 0) << path;
        int cell = image.width / 4;
        int opaqueEdge = 0, drawn = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                unsigned char alpha = image.pixels[(size_t(y) * image.width + x) * 4 + 3];
                bool edge = x % cell == 0 || x % cell == cell - 1 || y % cell == 0 || y % cell == cell - 1;
                if (edge && alpha > 8) ++opaqueEdge;
                if (alpha > 128) ++drawn;
            }
        EXPECT_EQ(opaqueEdge, 0) << path;
        EXPECT_GT(drawn, image.width * image.height / 20) << path << " has something drawn";
        freeImage(image);
    }
}

TEST(GameData, FightersFaceUpTheAtlasWithTheGunWhereBeamsStart) {
    // Cell 0 is the picture's top-left (v 0.75..1, rows stored bottom-up);
    // the bottom row of cells (12..15) is never shown. A beam leaves the gun
    // at x = -0.17 of the 1.4-wide sprite, so each walking figure's foremost
    // pixel (largest v) is its muzzle, at about 0.38 of the cell's width.
    for (const char* path : {"../data/fighter/f1.tga", "../data/fighter/f2.tga", "../data/fighter/f3.tga"}) {
        Image image;
        ASSERT_TRUE(loadTga(path, image)) << path;
        int cell = image.width / 4;
        auto alpha = [&](int x, int y) { return image.pixels[(size_t(y) * image.width + x) * 4 + 3]; };
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < image.width; ++x) ASSERT_EQ(alpha(x, y), 0) << path << ": unused cells are empty";
        for (int c = 0; c < 12; ++c) {
            int left = (c % 4) * cell, bottom = (3 - c / 4) * cell;
            int front = -1, sum = 0, count = 0;
            for (int y = bottom + cell - 1; y >= bottom && front < 0; --y)
                for (int x = left; x < left + cell; ++x)
                    if (alpha(x, y) > 128) {
                        front = y;
                        sum += x - left;
                        ++count;
                    }
            ASSERT_GT(count, 0) << path << " cell " << c;
            float u = (float(sum) / count + 0.5f) / cell;
            EXPECT_NEAR(u, (0.7f - 0.17f) / 1.4f, 0.06f) << path << " cell " << c;
            EXPECT_GT(front - bottom, cell * 3 / 4) << path << " cell " << c << ": the gun points up the cell";
        }
        freeImage(image);
    }
}

TEST(GameData, ButtonsSitExactlyOnTheirHotSpots) {
    // Rectangles as the menu tests them, y counted up from the bottom edge,
    // which is also the Targa's row order. Each button's rim runs along the
    // rectangle's edge pixels and stops there.
    struct Spot {
        const char* page;
        int x0, x1, y0, y1;
    } spots[] = {
        {"../data/menu/main.tga", 230, 410, 280, 315},     {"../data/menu/main.tga", 230, 410, 223, 258},
        {"../data/menu/main.tga", 230, 410, 166, 201},     {"../data/menu/fighters.tga", 35, 190, 115, 360},
        {"../data/menu/fighters.tga", 225, 380, 115, 360}, {"../data/menu/fighters.tga", 445, 600, 115, 360},
    };
    std::vector<Spot> all(std::begin(spots), std::end(spots));
    auto add = [&](const char* page, const MenuRect& r) { all.push_back({page, r.x0, r.x1, r.y0, r.y1}); };
    add("../data/menu/main.tga", MAIN_SERVERS_BUTTON);
    add("../data/menu/main.tga", MAIN_OPTIONS_BUTTON);
    for (const MenuRect& r : {SERVERS_JOIN_BUTTON, SERVERS_HOST_BUTTON, SERVERS_STOP_BUTTON})
        add("../data/menu/servers.tga", r);
    for (const MenuSpinner& spinner : {SERVERS_MAP, SERVERS_PLAYERS, SERVERS_FRAGS, SERVERS_BOTS}) {
        add("../data/menu/servers.tga", spinner.less);
        add("../data/menu/servers.tga", spinner.more);
    }
    for (int row = 0; row < 4; ++row) {
        add("../data/menu/options.tga", optionsSpinner(row).less);
        add("../data/menu/options.tga", optionsSpinner(row).more);
    }
    for (const Spot& s : all) {
        Image image;
        ASSERT_TRUE(loadTga(s.page, image));
        auto px = [&](int x, int y) {
            const unsigned char* p = image.pixels + (size_t(y) * image.width + x) * 3;
            return (p[0] << 16) | (p[1] << 8) | p[2];
        };
        int rim = px(s.x0, s.y0);
        for (int y = s.y0; y < s.y1; ++y) {
            EXPECT_EQ(px(s.x0, y), rim) << s.page << " left edge, y " << y;
            EXPECT_EQ(px(s.x1 - 1, y), rim) << s.page << " right edge, y " << y;
            EXPECT_NE(px(s.x0 - 1, y), rim) << s.page << " outside left, y " << y;
            EXPECT_NE(px(s.x1, y), rim) << s.page << " outside right, y " << y;
        }
        for (int x = s.x0; x < s.x1; ++x) {
            EXPECT_EQ(px(x, s.y0), rim) << s.page << " bottom edge, x " << x;
            EXPECT_EQ(px(x, s.y1 - 1), rim) << s.page << " top edge, x " << x;
        }
        freeImage(image);
    }
}

TEST(GameData, EveryPictureInTheDataFolderDecodes) {
    std::vector<std::string> files;
    listFiles(DATA, files);
    int pictures = 0;
    for (const std::string& f : files) {
        Image image;
        if (endsWith(f, ".tga")) {
            EXPECT_TRUE(loadTga(f.c_str(), image)) << f;
        } else if (endsWith(f, ".jpg")) {
            EXPECT_TRUE(loadJpeg(f.c_str(), image)) << f;
        } else {
            continue;
        }
        ++pictures;
        freeImage(image);
    }
    EXPECT_GE(pictures, 10);
}

TEST(GameData, EverySoundDecodes) {
    initAudio();
    ASSERT_EQ(audioAvailable, 1);
    std::vector<std::string> files;
    listFiles(DATA, files);
    for (const char* named : SOUNDS) {
        Sound s = nullptr;
        loadSound(s, named);
        EXPECT_NE(s, nullptr) << named;
        freeSound(s);
    }
    for (const std::string& f : files) {
        if (!endsWith(f, ".wav") && !endsWith(f, ".ogg")) continue;
        Sound s = nullptr;
        loadSound(s, f.c_str());
        EXPECT_NE(s, nullptr) << f;
        freeSound(s);
    }
}

}  // namespace
