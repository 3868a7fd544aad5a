// A small deterministic random generator, so every build paints and plays
// exactly the same data on every machine.
#pragma once
#include <cstdint>

struct Rng {
    uint64_t state;
    explicit Rng(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return uint32_t(state >> 32);
    }
    float unit() { return (next() >> 8) * (1.0f / 16777216.0f); }     // [0, 1)
    float range(float lo, float hi) { return lo + (hi - lo) * unit(); }
    float signedUnit() { return unit() * 2.0f - 1.0f; }               // [-1, 1)
};
