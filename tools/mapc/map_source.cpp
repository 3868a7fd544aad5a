#include "map_source.h"

#include <set>
#include <sstream>

bool isFloorCell(char c) { return c == '.' || c == 'L' || (c >= '1' && c <= '4'); }

namespace {

bool fail(std::string& error, int line, const std::string& what) {
    error = "line " + std::to_string(line) + ": " + what;
    return false;
}

const TextureSpec* findTexture(const MapSource& m, const std::string& key) {
    for (const TextureSpec& t : m.textures)
        if (t.key == key) return &t;
    return nullptr;
}

bool checkGrid(const MapSource& m, int layoutLine, std::string& error) {
    if (m.rows.size() < 3) return fail(error, layoutLine, "the layout needs at least three rows");
    size_t width = m.rows[0].size();
    std::set<char> spawns;
    for (size_t r = 0; r < m.rows.size(); ++r) {
        const std::string& row = m.rows[r];
        int line = layoutLine + 1 + int(r);
        if (row.size() != width) return fail(error, line, "rows must all have the same width");
        for (size_t c = 0; c < width; ++c) {
            char ch = row[c];
            bool edge = r == 0 || c == 0 || r + 1 == m.rows.size() || c + 1 == width;
            if (isFloorCell(ch)) {
                if (edge) return fail(error, line, "the layout must be closed by walls");
                if (ch >= '1' && ch <= '4' && !spawns.insert(ch).second)
                    return fail(error, line, std::string("spawn point ") + ch + " appears twice");
            } else if (!findTexture(m, std::string(1, ch))) {
                return fail(error, line, std::string("no texture for wall '") + ch + "'");
            }
        }
    }
    if (spawns.size() != 4) return fail(error, layoutLine, "the layout needs spawn points 1 to 4");
    if (!findTexture(m, "floor") || !findTexture(m, "top"))
        return fail(error, layoutLine, "textures \"floor\" and \"top\" are required");
    return true;
}

}  // namespace

bool parseMapSource(const std::string& text, MapSource& m, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0, layoutLine = 0;
    bool inLayout = false;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (inLayout) {
            if (line == "end") {
                inLayout = false;
                continue;
            }
            m.rows.push_back(line);
            continue;
        }
        std::istringstream words(line);
        std::string key;
        if (!(words >> key) || key[0] == '#') continue;
        bool ok = true;
        if (key == "name") ok = bool(words >> m.name);
        else if (key == "cell") ok = bool(words >> m.cell) && m.cell > 0.5f;
        else if (key == "floor") ok = bool(words >> m.floorZ) && m.floorZ <= -0.7f;
        else if (key == "wall_top") ok = bool(words >> m.wallTop) && m.wallTop > 0.7f;
        else if (key == "light_height") ok = bool(words >> m.lightHeight);
        else if (key == "ambient") ok = bool(words >> m.ambient[0] >> m.ambient[1] >> m.ambient[2]);
        else if (key == "diffuse") ok = bool(words >> m.diffuse[0] >> m.diffuse[1] >> m.diffuse[2]);
        else if (key == "attenuation") ok = bool(words >> m.attenuation) && m.attenuation >= 0.0f;
        else if (key == "texture") {
            TextureSpec t;
            ok = bool(words >> t.key >> t.file >> t.painter >> t.repeat) && t.repeat > 0.0f &&
                 (t.file.size() > 4 && (t.file.substr(t.file.size() - 4) == ".tga" ||
                                        t.file.substr(t.file.size() - 4) == ".jpg"));
            m.textures.push_back(t);
        } else if (key == "own_top") {
            ok = bool(words >> m.ownTops);
        } else if (key == "layout") {
            inLayout = true;
            layoutLine = number;
        } else {
            return fail(error, number, "unknown setting \"" + key + "\"");
        }
        if (!ok) return fail(error, number, "bad value for \"" + key + "\"");
    }
    if (inLayout) return fail(error, number, "layout without \"end\"");
    if (m.name.empty()) return fail(error, 1, "the map needs a name");
    return checkGrid(m, layoutLine, error);
}
