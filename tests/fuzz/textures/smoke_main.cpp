// A short, deterministic stand-in for libFuzzer in the ordinary test run:
// every corpus file, then a few thousand mutations of them, through the
// harness's entry point. Usage: <program> <corpus folder> [mutations]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> readAll(const std::string& path) {
    std::vector<uint8_t> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(uint8_t(c));
    std::fclose(f);
    return out;
}

uint32_t state = 2463534242u;
uint32_t next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// Byte flips, interesting values, cuts and splices: what breaks headers.
void mutate(std::vector<uint8_t>& d) {
    int edits = 1 + int(next() % 6);
    for (int e = 0; e < edits && !d.empty(); ++e) {
        size_t at = next() % d.size();
        switch (next() % 6) {
        case 0: d[at] ^= uint8_t(1u << (next() % 8)); break;
        case 1: d[at] = uint8_t(next()); break;
        case 2: {
            static const uint8_t edge[] = {0, 1, 0x7F, 0x80, 0xFF, 0xFE, 0xD8, 0xC0, 0xC2, 0xDA};
            d[at] = edge[next() % sizeof edge];
            break;
        }
        case 3: d.resize(at + 1); break;
        case 4: d.insert(d.begin() + long(at), uint8_t(next())); break;
        default: d.erase(d.begin() + long(at)); break;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder> [mutations]\n", argv[0]);
        return 2;
    }
    int mutations = argc > 2 ? std::atoi(argv[2]) : 3000;
    std::vector<std::vector<uint8_t>> corpus;
    if (DIR* dir = opendir(argv[1])) {
        while (dirent* e = readdir(dir))
            if (e->d_name[0] != '.') corpus.push_back(readAll(std::string(argv[1]) + "/" + e->d_name));
        closedir(dir);
    }
    if (corpus.empty()) {
        std::fprintf(stderr, "no corpus in %s\n", argv[1]);
        return 1;
    }
    for (const auto& input : corpus) LLVMFuzzerTestOneInput(input.data(), input.size());
    for (int i = 0; i < mutations; ++i) {
        std::vector<uint8_t> input = corpus[next() % corpus.size()];
        mutate(input);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu corpus files and %d mutations ran\n", corpus.size(), mutations);
    return 0;
}
