// The states that crossed the wire, for the match's recording: the send
// thread adds each state it sends, the receive thread each relayed state it
// keeps in the table, and the main thread takes them all at once every frame.
// Off until switched on. Bounded: while the main thread does not take (a
// window without focus runs no frames) the newest beyond the bound are
// dropped and counted, so the threads never wait on anything but one lock.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/mutex.h"

// `slot` of our own state; remote states carry their table index.
constexpr int OWN_STATE_SLOT = -1;
// Some 40 s of a full ten-player match without a frame taking them.
constexpr size_t WIRE_LOG_LIMIT = 20000;

struct WireState {
    uint32_t atMs = 0;  // clock reading when it was sent or arrived
    int slot = OWN_STATE_SLOT;
    bool gone = false;  // the player left; `text` is empty
    std::string text;   // the state exactly as on the wire, without its checksum suffix
};

class WireLog {
public:
    // Switching off also forgets what was not taken.
    void setEnabled(bool on);
    bool enabled() const { return on.load(std::memory_order_relaxed); }
    // Any thread. `text` is `length` bytes (no terminator needed).
    void add(uint32_t atMs, int slot, bool gone, const char* text, size_t length);
    // Main thread: everything added since the last take, in order, into `out`
    // (which is cleared first; its storage is reused).
    void take(std::vector<WireState>* out);
    uint64_t droppedCount() const { return dropped.load(); }

private:
    std::atomic<bool> on{false};
    std::atomic<uint64_t> dropped{0};
    platform::Mutex lock;
    std::vector<WireState> pending;
};
