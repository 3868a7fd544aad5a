// Map files written on the fly for tests and benchmarks: temporary files, and a
// single-mesh grid of any size in the map format.
#pragma once
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

// A file under the system's temporary folder, removed with the object.
struct TempFile {
    std::string path;
    explicit TempFile(const std::string& text, const std::string& suffix = ".bxm") {
        static int counter = 0;
        path = (std::filesystem::temp_directory_path() /
                ("blast_map_" + std::to_string(getpid()) + "_" + std::to_string(counter++) + suffix))
                   .string();
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    ~TempFile() { std::remove(path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
};

// A gently rolling terrain of about `faces` triangles in one mesh: shared vertex
// numbers everywhere, six faces around each inner vertex, as a real floor has.
inline std::string gridMapText(int faces) {
    int side = 1;
    while (2 * side * side < faces) ++side;
    int n = side + 1;
    std::string s = "*GEOMOBJECT {\n\t*MESH {\n";
    char line[160];
    std::snprintf(line, sizeof line, "\t\t*MESH_NUMVERTEX %d\n\t\t*MESH_NUMFACES %d\n", n * n,
                  2 * side * side);
    s += line;
    s += "\t\t*MESH_VERTEX_LIST {\n";
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float z = 0.25f * float((x * 7 + y * 13) % 5) - 0.5f;
            std::snprintf(line, sizeof line, "\t\t\t*MESH_VERTEX %d\t%.4f\t%.4f\t%.4f\n", y * n + x,
                          double(x), double(y), double(z));
            s += line;
        }
    s += "\t\t}\n\t\t*MESH_FACE_LIST {\n";
    int f = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            int a = y * n + x, b = a + 1, c = a + n + 1, d = a + n;
            std::snprintf(line, sizeof line, "\t\t\t*MESH_FACE %d: A: %d B: %d C: %d AB: 1 BC: 1 CA: 0\n", f++, a, b, c);
            s += line;
            std::snprintf(line, sizeof line, "\t\t\t*MESH_FACE %d: A: %d B: %d C: %d AB: 1 BC: 1 CA: 0\n", f++, a, c, d);
            s += line;
        }
    s += "\t\t}\n\t}\n\t*MATERIAL_REF 0\n}\n";
    return s;
}
