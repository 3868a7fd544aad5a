// Finding servers on a LAN: a fixed-size query a client sends to UDP port
// DISCOVERY_PORT (to one host or to a broadcast address) and the reply a server
// sends back. Binary, fixed layout, integers big-endian. The query is padded to
// the reply's size, so answering never sends more bytes than were received.
//
// Query, 52 bytes:
//   0..3   "BLQ?"            magic
//   4      1                 protocol version
//   5..7   0 0 0             reserved, zero
//   8..11  token             any value; the reply echoes it
//   12..51 zero              padding
// Reply, 52 bytes:
//   0..3   "BLR!"            magic
//   4      1                 protocol version
//   5      occupied slots    0..SLOT_COUNT
//   6..7   0 0               reserved, zero
//   8..11  token             the query's token, unchanged
//   12..15 player limit      signed 32-bit (the server's second argument)
//   16..19 frag limit        signed 32-bit (the server's third argument)
//   20..51 map name          printable, no blank, 1..29 characters, zero-filled
#pragma once
#include <cstddef>
#include <cstdint>

#include "protocol/protocol.h"

namespace protocol {

constexpr uint16_t DISCOVERY_PORT = 2186;
constexpr uint8_t DISCOVERY_VERSION = 1;
constexpr size_t DISCOVERY_QUERY_SIZE = 52;
constexpr size_t DISCOVERY_REPLY_SIZE = 52;
constexpr size_t DISCOVERY_MAP_FIELD = 32;

struct DiscoveryReply {
    uint32_t token = 0;
    int32_t occupied = 0;
    int32_t maxPlayers = 0;
    int32_t fragLimit = 0;
    char mapName[DISCOVERY_MAP_FIELD] = "";
};

// Writes the query into `out`; returns DISCOVERY_QUERY_SIZE, or 0 when it
// does not fit `capacity`.
size_t encodeDiscoveryQuery(uint32_t token, uint8_t* out, size_t capacity);
// True only for a query of exactly the right size, magic, version and zeros.
bool decodeDiscoveryQuery(const uint8_t* data, size_t length, uint32_t* token);

// Writes the reply; 0 when it does not fit `capacity` or the map name cannot
// be sent (empty, too long, blanks or control bytes). `occupied` is clamped to
// 0..SLOT_COUNT.
size_t encodeDiscoveryReply(const DiscoveryReply& reply, uint8_t* out, size_t capacity);
// True only for a well-formed reply: exact size, magic, version, reserved
// zeros, occupied within 0..SLOT_COUNT, a map name as encode writes it with
// zeros after it. Anything else leaves *reply untouched.
bool decodeDiscoveryReply(const uint8_t* data, size_t length, DiscoveryReply* reply);

// A map name a reply may carry: 1..MAX_MAP_NAME_LENGTH printable ASCII
// characters without blanks.
bool isSendableMapName(const char* name);

}  // namespace protocol
