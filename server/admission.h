// Who may take a free slot, and how often a slot may make the server speak.
// A server open to the internet meets hosts that never joined and datagrams
// with forged sources: only a host the lobby has just answered (its TCP
// handshake proves the address is real) is given a slot, and no player can
// make the server send much more than an honest one causes.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/mutex.h"
#include "protocol/protocol.h"

// Passes to a slot, by source IPv4 address. The lobby grants one for every
// join it answers "not full"; a player whose slot was freed gets one to come
// back with (same address, same clientId: a stall, or a NAT that moved it to
// another port). Each pass lets one new slot be taken within WINDOW_MS.
// Granted on the lobby thread, taken on the main thread.
class JoinPasses {
public:
    // The game sends its first state within milliseconds of the lobby's
    // reply; ten seconds also covers a loaded machine and a few lost first
    // datagrams, and is still too short to keep a pass for later use.
    static constexpr uint32_t WINDOW_MS = 10000;
    // Hosts waiting at once; beyond that the oldest pass goes.
    static constexpr size_t TRACKED = 64;

    void grant(uint32_t ip, uint32_t nowMs);
    void grantReturn(uint32_t ip, const char* clientId, uint32_t nowMs);
    // Uses up a pass for `ip` (a returning player's own first): whether there was one.
    bool take(uint32_t ip, const char* clientId, uint32_t nowMs);

private:
    struct Pass {
        uint32_t ip = 0;
        uint32_t grantedMs = 0;
        int count = 0;  // 0: a free place
        char clientId[protocol::CLIENT_ID_SIZE] = "";  // "": any (a lobby pass)
    };
    Pass* place(uint32_t ip, const char* clientId, uint32_t nowMs);
    platform::Mutex lock;
    Pass passes[TRACKED];
};

// How many fan-outs a slot may cause: a token bucket refilled at twice the
// rate a player sends (50 a second), holding a burst of a few states that a
// late network delivers at once. An honest player never meets it.
struct FanOutBudget {
    static constexpr int RATE = 2 * 1000 / int(protocol::SEND_INTERVAL_MS);
    static constexpr int BURST = 10;
    int32_t milliTokens = BURST * 1000;
    uint32_t lastMs = 0;

    void start(uint32_t nowMs);
    // Whether one more fan-out may go now (and counts it if so).
    bool spend(uint32_t nowMs);
};
