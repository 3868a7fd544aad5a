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

void check(bool ok) {
    if (!ok) __builtin_trap();
}

void checkRelays(const Server& server, size_t count) {
    // A batch repeats each slot's text for every recipient: check each once.
    const void* seen[SLOT_COUNT];
    size_t seenCount = 0;
    for (size_t k = 0; k < count; ++k) {
        const platform::Datagram& d = server.relays().datagrams[k];
        check(d.len > 0 && d.len < size_t(NET_BUFFER_SIZE));
        bool known = false;
        for (size_t m = 0; m < seenCount; ++m) known = known || seen[m] == d.data;
        if (known) continue;
        check(seenCount < size_t(SLOT_COUNT));
        seen[seenCount++] = d.data;
        char text[NET_BUFFER_SIZE + 1];
        std::memcpy(text, d.data, d.len);
        text[d.len] = '\0';
        check(verifyChecksum(text));
        // What a client makes of it (one per batch keeps the run fast).
        RemoteState state;
        if (k == 0) check(parseRelayMessage(text, &state) >= 1);
    }
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const PlayerSlot& s = server.slot(i);
        check(std::memchr(s.clientId, 0, sizeof s.clientId) != nullptr);
        check(std::memchr(s.name, 0, sizeof s.name) != nullptr);
        check(std::strlen(s.lastState) < size_t(NET_BUFFER_SIZE));
    }
}
}  // namespace

// Input: records of [control][length low][length high][bytes...]. control:
// bits 0-3 the sender's port, bit 4 "append a correct checksum" (so most
// records get past verification), bits 5-7 the time since the last record in
// steps of 200 ms (so slots time out).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char consoleBuffer[4096];
    static FILE* console = fmemopen(consoleBuffer, sizeof consoleBuffer, "w");
    platform::setClockSource(fakeClock);
    fakeNow = 0xFFFFF000u;  // start just before a wrap of the clock
    Server server("hall", "4", "20", console);

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
        from.ip = 0x0100007f;
        from.port = uint16_t(40000 + (control & 0x0F));
        checkRelays(server, server.handleDatagram(from, buffer, n));
        std::rewind(console);
    }
    return 0;
}
