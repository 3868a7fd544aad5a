// mapc's layout reader: the mistakes a map author makes are caught with the
// line they are on, before any file is written.
#include <gtest/gtest.h>

#include <string>

#include "tools/mapc/level_mesh.h"
#include "tools/mapc/map_source.h"

namespace {

std::string layout(const std::string& grid, const std::string& extra = "") {
    return "name test\ntexture floor f.jpg tiles 2\ntexture top t.tga plate 2\n"
           "texture # w.tga bricks 2\n" + extra + "layout\n" + grid + "end\n";
}

const std::string GOOD = "######\n#1..2#\n#.##.#\n#3..4#\n######\n";

}  // namespace

TEST(MapcSource, AcceptsAClosedLayoutWithFourSpawns) {
    MapSource m;
    std::string error;
    ASSERT_TRUE(parseMapSource(layout(GOOD), m, error)) << error;
    Level level = buildLevel(m);
    // Floor, wall sides and tops; the inner block is seen from all four sides.
    ASSERT_EQ(level.meshes.size(), 3u);
    EXPECT_EQ(level.meshes[0].faces.size(), 2u * 10u);  // ten open cells
    EXPECT_EQ(level.spawns[3][0], 3.0f);  // column 4 of 6, cells of 2 units
}

TEST(MapcSource, RejectsLayoutsThatCannotBePlayed) {
    const struct {
        std::string text, message;
    } cases[] = {
        {layout("######\n#1..2.\n#.##.#\n#3..4#\n######\n"), "line 7: the layout must be closed by walls"},
        {layout("######\n#1..2#\n#.##.#\n#3...#\n######\n"), "line 5: the layout needs spawn points 1 to 4"},
        {layout("######\n#1..2#\n#.#1.#\n#3..4#\n######\n"), "line 8: spawn point 1 appears twice"},
        {layout("######\n#1..2#\n#.XX.#\n#3..4#\n######\n"), "line 8: no texture for wall 'X'"},
        {layout("######\n#1..2#\n#.##.##\n#3..4#\n######\n"), "line 8: rows must all have the same width"},
        {layout(GOOD, "floor 0.5\n"), "line 5: bad value for \"floor\""},
        {layout(GOOD, "texture H h.png hedge 2\n"), "line 5: bad value for \"texture\""},
        {layout(GOOD, "colour red\n"), "line 5: unknown setting \"colour\""},
        {"name x\nlayout\n###\n", "line 3: layout without \"end\""},
    };
    for (const auto& c : cases) {
        MapSource m;
        std::string error;
        EXPECT_FALSE(parseMapSource(c.text, m, error));
        EXPECT_EQ(error, c.message);
    }
}
