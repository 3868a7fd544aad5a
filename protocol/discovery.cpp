#include "protocol/discovery.h"

#include <cstring>

namespace protocol {

namespace {

const uint8_t QUERY_MAGIC[4] = {'B', 'L', 'Q', '?'};
const uint8_t REPLY_MAGIC[4] = {'B', 'L', 'R', '!'};

void put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

bool allZero(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i] != 0) return false;
    return true;
}

bool mapCharacter(uint8_t c) { return c > ' ' && c < 127; }

}  // namespace

bool isSendableMapName(const char* name) {
    size_t n = 0;
    for (; name[n] != '\0'; ++n)
        if (n >= MAX_MAP_NAME_LENGTH || !mapCharacter(uint8_t(name[n]))) return false;
    return n > 0;
}

size_t encodeDiscoveryQuery(uint32_t token, uint8_t* out, size_t capacity) {
    if (capacity < DISCOVERY_QUERY_SIZE) return 0;
    std::memset(out, 0, DISCOVERY_QUERY_SIZE);
    std::memcpy(out, QUERY_MAGIC, 4);
    out[4] = DISCOVERY_VERSION;
    put32(out + 8, token);
    return DISCOVERY_QUERY_SIZE;
}

bool decodeDiscoveryQuery(const uint8_t* data, size_t length, uint32_t* token) {
    if (length != DISCOVERY_QUERY_SIZE) return false;
    if (std::memcmp(data, QUERY_MAGIC, 4) != 0 || data[4] != DISCOVERY_VERSION) return false;
    if (!allZero(data + 5, 3) || !allZero(data + 12, DISCOVERY_QUERY_SIZE - 12)) return false;
    *token = get32(data + 8);
    return true;
}

size_t encodeDiscoveryReply(const DiscoveryReply& reply, uint8_t* out, size_t capacity) {
    if (capacity < DISCOVERY_REPLY_SIZE) return 0;
    // A field that is not terminated within its bytes is not a name at all.
    if (std::memchr(reply.mapName, '\0', sizeof reply.mapName) == nullptr) return 0;
    if (!isSendableMapName(reply.mapName)) return 0;
    std::memset(out, 0, DISCOVERY_REPLY_SIZE);
    std::memcpy(out, REPLY_MAGIC, 4);
    out[4] = DISCOVERY_VERSION;
    int32_t occupied = reply.occupied < 0 ? 0 : reply.occupied > SLOT_COUNT ? SLOT_COUNT : reply.occupied;
    out[5] = uint8_t(occupied);
    put32(out + 8, reply.token);
    put32(out + 12, uint32_t(reply.maxPlayers));
    put32(out + 16, uint32_t(reply.fragLimit));
    std::memcpy(out + 20, reply.mapName, std::strlen(reply.mapName));
    return DISCOVERY_REPLY_SIZE;
}

bool decodeDiscoveryReply(const uint8_t* data, size_t length, DiscoveryReply* reply) {
    if (length != DISCOVERY_REPLY_SIZE) return false;
    if (std::memcmp(data, REPLY_MAGIC, 4) != 0 || data[4] != DISCOVERY_VERSION) return false;
    if (data[5] > SLOT_COUNT || !allZero(data + 6, 2)) return false;
    const uint8_t* name = data + 20;
    size_t n = 0;
    while (n < DISCOVERY_MAP_FIELD && name[n] != 0) {
        if (n >= MAX_MAP_NAME_LENGTH || !mapCharacter(name[n])) return false;
        ++n;
    }
    if (n == 0 || !allZero(name + n, DISCOVERY_MAP_FIELD - n)) return false;
    DiscoveryReply r;
    r.token = get32(data + 8);
    r.occupied = data[5];
    r.maxPlayers = int32_t(get32(data + 12));
    r.fragLimit = int32_t(get32(data + 16));
    std::memcpy(r.mapName, name, n);
    r.mapName[n] = '\0';
    *reply = r;
    return true;
}

}  // namespace protocol
