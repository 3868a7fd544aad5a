// Arbitrary datagrams from arbitrary peers through the server's relay step:
// verification, slot recording and relay formatting, then the client's parse
// of every relay it would send. Any overflow or broken relay is a finding.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/clock.h"
#include "protocol/protocol.h"
#include "server/server.h"

using namespace protocol;

namespace {
uint32_t fakeNow = 0;
uint32_t fakeClock() { return fakeNow; }

// Says which invariant broke before stopping the run.
#define check(ok)                                                              \
    do {                                                                       \
        if (!(ok)) {                                                           \
            std::fprintf(stderr, "broken: %s (line %d)\n", #ok, __LINE__);    \
            __builtin_trap();                                                  \
        }                                                                      \
    } while (0)

// Every relay has a sendable length; the sender's fresh state verifies and
// parses as a client would. (Other slots' texts were checked when made.)
void checkRelays(const Server& server, const platform::NetAddress& from, size_t count) {
    const RelayBatch& batch = server.relays();
    for (size_t k = 0; k < count; ++k)
        check(batch.datagrams[k].len > 0 && batch.datagrams[k].len < size_t(NET_BUFFER_SIZE));

    // The slot this datagram refreshed (any slot heard from this port at this
    // moment passes the same checks).
    int sender = -1;
    for (int i = 0; i < SLOT_COUNT && sender < 0 && count > 0; ++i) {
        const PlayerSlot& s = server.slot(i);
        if (s.vacant == 0 && s.address.ip == from.ip && s.address.port == from.port &&
            s.lastHeard == fakeNow)
            sender = i;
    }
    if (sender < 0) return;
    const PlayerSlot& s = server.slot(sender);
    check(std::memchr(s.clientId, 0, sizeof s.clientId) != nullptr);
    check(std::memchr(s.name, 0, sizeof s.name) != nullptr);
    // Batches run recipient by recipient, nine slots each in ascending order:
    // the sender's text is in the block of the first other live slot.
    int block = 0, recipient = -1;
    for (int i = 0; i < SLOT_COUNT && recipient < 0; ++i) {
        if (server.slot(i).vacant != 0) continue;
        if (i != sender) recipient = i;
        else ++block;
    }
    if (recipient < 0) return;  // alone: nobody hears it
    size_t k = size_t(block * (SLOT_COUNT - 1) + (sender < recipient ? sender : sender - 1));
    check(k < count);
    const platform::Datagram& d = batch.datagrams[k];
    char text[NET_BUFFER_SIZE + 1];
    std::memcpy(text, d.data, d.len);
    text[d.len] = '\0';
    check(verifyChecksum(text));
    RemoteState state;
    int fields = parseRelayMessage(text, &state);
    check(fields >= 1);
    if (fields >= 2) check(std::strcmp(state.clientId, s.clientId) == 0);
}
}  // namespace

// Input: records of [control][length low][length high][bytes...]. control:
// bits 0-3 the sender's port (ports 0-7 on a host the lobby has just
// answered, 8-15 on one that never joined), bit 4 "append a correct checksum"
// (so most records get past verification), bits 5-7 the time since the last
// record in steps of 200 ms (so slots time out).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::setClockSource(fakeClock);
    fakeNow = 0xFFFFF000u;  // start just before a wrap of the clock
    Server server("hall", "4", "20", nullptr);  // no console: lines are dropped

    size_t pos = 0;
    while (pos + 3 <= size) {
        uint8_t control = data[pos];
        size_t length = (size_t(data[pos + 1]) | size_t(data[pos + 2]) << 8) % 700;
        pos += 3;
        if (length > size - pos) length = size - pos;
        fakeNow += uint32_t(control >> 5) * 200u;

        char buffer[NET_BUFFER_SIZE + 1];
        size_t n = length < size_t(NET_BUFFER_SIZE) ? length : size_t(NET_BUFFER_SIZE);
        std::memcpy(buffer, data + pos, n);
        pos += length;
        if (control & 0x10) {
            size_t withSum = appendChecksum(buffer, n, sizeof buffer);
            if (withSum) n = withSum;
        }
        platform::NetAddress from;
        bool joined = (control & 0x08) == 0;
        from.ip = joined ? 0x0100007f : 0x4200000a;
        from.port = uint16_t(40000 + (control & 0x0F));
        if (joined) server.admitJoin(from.ip);
        size_t count = server.handleDatagram(from, buffer, n);
        // A host that never joined makes the server send nothing.
        check(joined || count == 0);
        checkRelays(server, from, count);
    }
    return 0;
}
