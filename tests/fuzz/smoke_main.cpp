// A short, deterministic stand-in for libFuzzer in the ordinary test run:
// every seed in the corpus folder, then seeded random mutations of them,
// through a harness's entry point. Every harness links this same driver.
// Usage: <program> CORPUS_DIR MUTATIONS [DICTIONARY]
// The dictionary is libFuzzer's (one "token" a line, # comments, \xNN, \\ and
// \" escapes); its tokens are spliced into the inputs as libFuzzer would.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Input = std::vector<uint8_t>;

// Inputs longer than this are cut: what breaks a reader shows well before.
constexpr size_t MAX_INPUT = 4096;

uint64_t rng = 0x9E3779B97F4A7C15ull;
uint64_t next() {
    rng ^= rng << 13;
    rng ^= rng >> 7;
    rng ^= rng << 17;
    return rng;
}

Input readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Input(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The tokens of a libFuzzer dictionary: the quoted part of each line.
std::vector<Input> readDictionary(const char* path) {
    std::vector<Input> tokens;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t open = line.find('"');
        size_t close = line.rfind('"');
        if (line.empty() || line[0] == '#' || open == std::string::npos || close <= open) continue;
        Input token;
        for (size_t i = open + 1; i < close; ++i) {
            if (line[i] != '\\' || i + 1 >= close) {
                token.push_back(uint8_t(line[i]));
            } else if (line[i + 1] == 'x' && i + 3 < close && hexDigit(line[i + 2]) >= 0 &&
                       hexDigit(line[i + 3]) >= 0) {
                token.push_back(uint8_t(hexDigit(line[i + 2]) * 16 + hexDigit(line[i + 3])));
                i += 3;
            } else {
                token.push_back(uint8_t(line[++i]));
            }
        }
        if (!token.empty()) tokens.push_back(token);
    }
    return tokens;
}

// Byte edits, header edge values, cuts, repeats, splices and dictionary
// tokens: the edits that break binary headers and text formats alike.
void mutate(Input& d, const std::vector<Input>& seeds, const std::vector<Input>& tokens) {
    static const uint8_t EDGE[] = {0, 1, 0x7F, 0x80, 0xFF, 0xFE, 0xD8, 0xC0, 0xC2, 0xDA};
    size_t edits = 1 + next() % 8;
    for (size_t e = 0; e < edits; ++e) {
        size_t at = d.empty() ? 0 : next() % d.size();
        switch (next() % 10) {
        case 0: if (!d.empty()) d[at] = uint8_t(next()); break;
        case 1: if (!d.empty()) d[at] ^= uint8_t(1u << (next() % 8)); break;
        case 2: if (!d.empty()) d[at] = EDGE[next() % sizeof EDGE]; break;
        case 3: d.resize(d.empty() ? 0 : at + 1); break;
        case 4: d.insert(d.begin() + long(at), uint8_t(next())); break;
        case 5: {
            size_t run = std::min<size_t>(d.size() - at, next() % 40);
            d.erase(d.begin() + long(at), d.begin() + long(at + run));
            break;
        }
        case 6: {
            size_t from = d.empty() ? 0 : next() % d.size();
            size_t run = std::min<size_t>(d.size() - from, next() % 120);
            Input slice(d.begin() + long(from), d.begin() + long(from + run));
            d.insert(d.begin() + long(at), slice.begin(), slice.end());
            break;
        }
        case 7: {
            const Input& other = seeds[next() % seeds.size()];
            d.insert(d.end(), other.begin(), other.end());
            break;
        }
        case 8:
            if (!tokens.empty()) {
                const Input& token = tokens[next() % tokens.size()];
                d.insert(d.begin() + long(at), token.begin(), token.end());
            }
            break;
        default: d.insert(d.begin() + long(at), next() % 300, uint8_t('a' + next() % 26)); break;
        }
    }
    if (d.size() > MAX_INPUT) d.resize(MAX_INPUT);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR MUTATIONS [DICTIONARY]\n", argv[0]);
        return 2;
    }
    std::vector<Input> seeds;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.is_regular_file()) seeds.push_back(readFile(entry.path()));
    if (seeds.empty()) {
        std::fprintf(stderr, "no seeds in %s\n", argv[1]);
        return 2;
    }
    std::vector<Input> tokens;
    if (argc > 3) {
        tokens = readDictionary(argv[3]);
        if (tokens.empty()) {
            std::fprintf(stderr, "no tokens in %s\n", argv[3]);
            return 2;
        }
    }
    for (const Input& s : seeds) LLVMFuzzerTestOneInput(s.data(), s.size());
    long runs = std::atol(argv[2]);
    for (long r = 0; r < runs; ++r) {
        Input input = seeds[next() % seeds.size()];
        mutate(input, seeds, tokens);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu seeds and %ld mutated inputs ran clean\n", seeds.size(), runs);
    return 0;
}
