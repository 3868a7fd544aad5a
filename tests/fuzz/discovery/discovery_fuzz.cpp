// Arbitrary bytes as a discovery query and as a reply. A decoded reply must
// carry a name that is safe to show, and re-encode to exactly the input.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "protocol/discovery.h"

using namespace protocol;

#define check(ok)                                                           \
    do {                                                                    \
        if (!(ok)) {                                                        \
            std::fprintf(stderr, "broken: %s (line %d)\n", #ok, __LINE__); \
            __builtin_trap();                                               \
        }                                                                   \
    } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint32_t token = 0;
    if (decodeDiscoveryQuery(data, size, &token)) {
        uint8_t again[DISCOVERY_QUERY_SIZE];
        check(encodeDiscoveryQuery(token, again, sizeof again) == size);
        check(std::memcmp(again, data, size) == 0);
    }
    DiscoveryReply reply;
    if (decodeDiscoveryReply(data, size, &reply)) {
        check(std::strlen(reply.mapName) <= MAX_MAP_NAME_LENGTH);
        check(isSendableMapName(reply.mapName));
        check(reply.occupied >= 0 && reply.occupied <= SLOT_COUNT);
        uint8_t again[DISCOVERY_REPLY_SIZE];
        check(encodeDiscoveryReply(reply, again, sizeof again) == size);
        check(std::memcmp(again, data, size) == 0);
    }
    return 0;
}
