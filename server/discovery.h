// The server's answers to LAN discovery queries: who may be answered how
// often. A reply is never larger than its query, and a source (or a flood of
// spoofed sources) gets only a few per second, so the port cannot be used to
// aim traffic at someone else.
#pragma once
#include <cstddef>
#include <cstdint>

class DiscoveryLimiter {
public:
    // Up to PER_SOURCE_BURST replies at once to one IPv4 address, then
    // PER_SOURCE_RATE a second; all sources together ALL_BURST, then ALL_RATE.
    static constexpr int PER_SOURCE_BURST = 8;
    static constexpr int PER_SOURCE_RATE = 4;
    static constexpr int ALL_BURST = 64;
    static constexpr int ALL_RATE = 100;
    static constexpr size_t TRACKED = 64;

    // Whether a reply to `ip` may go out now (and counts it if so).
    bool allow(uint32_t ip, uint32_t nowMs);

private:
    struct Bucket {
        uint32_t ip = 0;
        uint32_t lastMs = 0;
        int32_t milliTokens = 0;  // thousandths of a reply
        bool used = false;
    };
    static void refill(Bucket& b, uint32_t nowMs, int rate, int burst);
    Bucket sources[TRACKED];
    Bucket all;
};
