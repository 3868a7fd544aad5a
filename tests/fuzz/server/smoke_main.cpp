// Runs a fuzz entry point without libFuzzer: every seed in the corpus folder,
// then seeded random mutations of them, so the normal test run covers it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR RANDOM_RUNS\n", argv[0]);
        return 2;
    }
    std::vector<std::vector<uint8_t>> seeds;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
        std::ifstream in(entry.path(), std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (seeds.empty()) {
        std::fprintf(stderr, "no seeds in %s\n", argv[1]);
        return 2;
    }
    for (const auto& s : seeds) LLVMFuzzerTestOneInput(s.data(), s.size());

    uint64_t rng = 0x9E3779B97F4A7C15ull;
    auto next = [&rng] {
        rng ^= rng << 13;
        rng ^= rng >> 7;
        rng ^= rng << 17;
        return rng;
    };
    long runs = std::atol(argv[2]);
    for (long r = 0; r < runs; ++r) {
        std::vector<uint8_t> input = seeds[next() % seeds.size()];
        size_t edits = 1 + next() % 8;
        for (size_t e = 0; e < edits; ++e) {
            size_t at = input.empty() ? 0 : next() % input.size();
            switch (next() % 4) {
            case 0: if (!input.empty()) input[at] = uint8_t(next()); break;
            case 1: input.insert(input.begin() + long(at), uint8_t(next())); break;
            case 2: if (!input.empty()) input.erase(input.begin() + long(at)); break;
            default: {
                const std::vector<uint8_t>& other = seeds[next() % seeds.size()];
                input.insert(input.end(), other.begin(), other.end());
                break;
            }
            }
        }
        if (input.size() > 4096) input.resize(4096);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu seeds and %ld mutated inputs ran clean\n", seeds.size(), runs);
    return 0;
}
