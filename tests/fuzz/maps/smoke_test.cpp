// A short fuzz run for the ordinary test command: the seed corpus, then twenty
// thousand inputs mutated from it with a fixed seed. Long runs use libFuzzer
// (scripts/fuzz-maps.sh).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fuzz/maps/map_fuzz.h"

namespace {

std::vector<std::string> corpus() {
    std::vector<std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(MAP_CORPUS_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        out.push_back(s.str());
    }
    return out;
}

const char* const WORDS[] = {"*MESH", "*GEOMOBJECT", "}", "{", "*MESH_FACE", "*MESH_VERTEX",
                             "*MESH_TFACE", "*POINT", "*RESPOINTS", "*LIGHT", "-1", "0x7fffffff",
                             "nan", "1e39", "\n", "*MESH_NUMFACES", "*MESH_FACE_LIST", "010"};

std::string mutate(std::string s, std::mt19937& rng) {
    int edits = 1 + int(rng() % 8);
    for (int e = 0; e < edits; ++e) {
        size_t at = s.empty() ? 0 : rng() % (s.size() + 1);
        switch (rng() % 5) {
        case 0:
            if (!s.empty() && at < s.size()) s[at] = char(rng());
            break;
        case 1:
            s.insert(at, WORDS[rng() % (sizeof WORDS / sizeof *WORDS)]);
            break;
        case 2:
            s.erase(at, rng() % 40);
            break;
        case 3: {
            size_t from = s.empty() ? 0 : rng() % s.size();
            s.insert(at, s.substr(from, rng() % 120));
            break;
        }
        default:
            s.insert(at, std::string(rng() % 300, char('a' + rng() % 26)));
        }
    }
    return s;
}

void run(const std::string& s) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

}  // namespace

TEST(MapFuzzSmoke, CorpusAndMutations) {
    std::vector<std::string> seeds = corpus();
    ASSERT_FALSE(seeds.empty());
    for (const std::string& s : seeds) run(s);
    std::mt19937 rng(2185);
    for (int i = 0; i < 20000; ++i) run(mutate(seeds[size_t(i) % seeds.size()], rng));
}
