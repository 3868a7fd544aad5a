#include "level_mesh.h"

#include <map>

namespace {

struct Grid {
    const MapSource& src;
    int width, height;
    // Cell (row, column) edges in world units: row 0 is the far north (+y).
    float x(int column) const { return (float(column) - float(width) / 2.0f) * src.cell; }
    float y(int row) const { return (float(height) / 2.0f - float(row)) * src.cell; }
    bool solid(int row, int column) const {
        if (row < 0 || column < 0 || row >= height || column >= width) return false;
        return !isFloorCell(src.rows[size_t(row)][size_t(column)]);
    }
};

float repeatOf(const MapSource& src, const std::string& key) {
    for (const TextureSpec& t : src.textures)
        if (t.key == key) return t.repeat;
    return 1.0f;
}

// A quad of four new vertices, a-b-c-d counter-clockwise from the front.
void addQuad(LevelMesh& mesh, const std::array<std::array<float, 3>, 4>& p,
             const std::array<std::array<float, 2>, 4>& uv) {
    int base = int(mesh.positions.size());
    for (int i = 0; i < 4; ++i) {
        mesh.positions.push_back(p[size_t(i)]);
        mesh.uvs.push_back(uv[size_t(i)]);
    }
    mesh.faces.push_back({base, base + 1, base + 2});
    mesh.faces.push_back({base, base + 2, base + 3});
}

LevelMesh buildFloor(const Grid& g) {
    LevelMesh mesh{"floor", {}, {}, {}};
    float repeat = repeatOf(g.src, "floor");
    // Shared grid vertices: the floor is one smooth surface.
    for (int j = 0; j <= g.height; ++j)
        for (int i = 0; i <= g.width; ++i) {
            mesh.positions.push_back({g.x(i), g.y(j), g.src.floorZ});
            mesh.uvs.push_back({g.x(i) / repeat, g.y(j) / repeat});
        }
    auto at = [&](int row, int column) { return row * (g.width + 1) + column; };
    for (int r = 0; r < g.height; ++r)
        for (int c = 0; c < g.width; ++c) {
            if (g.solid(r, c)) continue;
            int nw = at(r, c), ne = at(r, c + 1), sw = at(r + 1, c), se = at(r + 1, c + 1);
            mesh.faces.push_back({sw, se, ne});
            mesh.faces.push_back({sw, ne, nw});
        }
    return mesh;
}

// The side of cell (r, c) facing direction (dx, dy), seen from the open cell.
void addSide(LevelMesh& mesh, const Grid& g, int r, int c, int dx, int dy, float repeat) {
    float cx = g.x(c) + g.src.cell / 2.0f, cy = g.y(r) - g.src.cell / 2.0f;
    float half = g.src.cell / 2.0f;
    // Along the side, left to right for a viewer facing it: up x outward normal.
    float tx = float(-dy), ty = float(dx);
    float px = cx + float(dx) * half - tx * half, py = cy + float(dy) * half - ty * half;
    float qx = px + tx * g.src.cell, qy = py + ty * g.src.cell;
    float u0 = (px * tx + py * ty) / repeat, u1 = u0 + g.src.cell / repeat;
    float zb = g.src.floorZ, zt = g.src.wallTop;
    addQuad(mesh, {{{px, py, zb}, {qx, qy, zb}, {qx, qy, zt}, {px, py, zt}}},
            {{{u0, zb / repeat}, {u1, zb / repeat}, {u1, zt / repeat}, {u0, zt / repeat}}});
}

// Ground beyond the outer walls, so the view past the edge of the level shows
// dim land rather than a void. It lies at floor height, out of everyone's reach.
LevelMesh buildOutside(const Grid& g, float margin) {
    LevelMesh mesh{"outside", {}, {}, {}};
    float repeat = repeatOf(g.src, "outside");
    float x0 = g.x(0), x1 = g.x(g.width), y0 = g.y(g.height), y1 = g.y(0), z = g.src.floorZ;
    auto strip = [&](float ax, float ay, float bx, float by) {
        addQuad(mesh, {{{ax, ay, z}, {bx, ay, z}, {bx, by, z}, {ax, by, z}}},
                {{{ax / repeat, ay / repeat},
                  {bx / repeat, ay / repeat},
                  {bx / repeat, by / repeat},
                  {ax / repeat, by / repeat}}});
    };
    strip(x0 - margin, y1, x1 + margin, y1 + margin);  // north
    strip(x0 - margin, y0 - margin, x1 + margin, y0);  // south
    strip(x0 - margin, y0, x0, y1);                    // west
    strip(x1, y0, x1 + margin, y1);                    // east
    return mesh;
}

}  // namespace

Level buildLevel(const MapSource& src) {
    Grid g{src, int(src.rows[0].size()), int(src.rows.size())};
    Level level;
    level.meshes.push_back(buildFloor(g));
    std::map<char, LevelMesh> sides;
    std::map<std::string, LevelMesh> tops;
    level.light = {0.0f, 0.0f, src.lightHeight};
    const int dirs[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
    for (int r = 0; r < g.height; ++r)
        for (int c = 0; c < g.width; ++c) {
            char ch = src.rows[size_t(r)][size_t(c)];
            float cx = g.x(c) + src.cell / 2.0f, cy = g.y(r) - src.cell / 2.0f;
            if (ch >= '1' && ch <= '4') level.spawns[size_t(ch - '1')] = {cx, cy, 0.0f};
            if (ch == 'L') level.light = {cx, cy, src.lightHeight};
            if (!g.solid(r, c)) continue;
            LevelMesh& side = sides[ch];
            side.textureKey = std::string(1, ch);
            for (const auto& d : dirs)
                if (!g.solid(r - d[1], c + d[0]) && r - d[1] >= 0 && r - d[1] < g.height &&
                    c + d[0] >= 0 && c + d[0] < g.width)
                    addSide(side, g, r, c, d[0], d[1], repeatOf(src, side.textureKey));
            std::string topKey = src.ownTops.find(ch) != std::string::npos ? side.textureKey : "top";
            LevelMesh& top = tops[topKey];
            top.textureKey = topKey;
            float topRepeat = repeatOf(src, topKey);
            float x0 = g.x(c), x1 = g.x(c + 1), y0 = g.y(r + 1), y1 = g.y(r + 1) + src.cell;
            float z = src.wallTop;
            addQuad(top, {{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}},
                    {{{x0 / topRepeat, y0 / topRepeat},
                      {x1 / topRepeat, y0 / topRepeat},
                      {x1 / topRepeat, y1 / topRepeat},
                      {x0 / topRepeat, y1 / topRepeat}}});
        }
    for (auto& entry : sides)
        if (!entry.second.faces.empty()) level.meshes.push_back(entry.second);
    for (auto& entry : tops) level.meshes.push_back(entry.second);
    for (const TextureSpec& t : src.textures)
        if (t.key == "outside") level.meshes.push_back(buildOutside(g, 24.0f));
    return level;
}
