// The discovery port: a thread of its own answers well-formed queries with the
// match's map, occupancy and limits. It prints nothing and touches no slot.
#include "server/discovery.h"

#include "platform/clock.h"
#include "protocol/discovery.h"
#include "server/server.h"

using namespace protocol;

void DiscoveryLimiter::refill(Bucket& b, uint32_t nowMs, int rate, int burst) {
    uint32_t elapsed = nowMs - b.lastMs;
    b.lastMs = nowMs;
    int64_t tokens = int64_t(b.milliTokens) + int64_t(elapsed) * rate;
    if (tokens > int64_t(burst) * 1000) tokens = int64_t(burst) * 1000;
    b.milliTokens = int32_t(tokens);
}

bool DiscoveryLimiter::allow(uint32_t ip, uint32_t nowMs) {
    if (!all.used) {
        all.used = true;
        all.lastMs = nowMs;
        all.milliTokens = ALL_BURST * 1000;
    }
    refill(all, nowMs, ALL_RATE, ALL_BURST);
    Bucket* b = nullptr;
    Bucket* fresh = nullptr;
    Bucket* oldest = nullptr;
    for (Bucket& s : sources) {
        if (s.used && s.ip == ip) {
            b = &s;
            break;
        }
        if (!s.used) {
            if (!fresh) fresh = &s;
        } else if (!oldest || nowMs - s.lastMs > nowMs - oldest->lastMs) {
            oldest = &s;
        }
    }
    if (b) {
        refill(*b, nowMs, PER_SOURCE_RATE, PER_SOURCE_BURST);
    } else {
        // A new source takes a free place, or that of the one heard from longest ago.
        b = fresh ? fresh : oldest;
        *b = Bucket{ip, nowMs, PER_SOURCE_BURST * 1000, true};
    }
    if (b->milliTokens < 1000 || all.milliTokens < 1000) return false;
    b->milliTokens -= 1000;
    all.milliTokens -= 1000;
    return true;
}

bool Server::openDiscovery() {
    discoverySocket = platform::udpSocket();
    if (discoverySocket == platform::NO_SOCKET) return false;
    // Without the port (another program holds it) the match is still served;
    // it just cannot be found by broadcast.
    if (!platform::bindAnyInterface(discoverySocket, DISCOVERY_PORT) ||
        !discoveryThread.start([this] { discoveryLoop(); })) {
        platform::closeSocket(discoverySocket);
        discoverySocket = platform::NO_SOCKET;
        return false;
    }
    return true;
}

size_t Server::answerDiscovery(const platform::NetAddress& from, const uint8_t* query,
                               size_t length, uint32_t nowMs, uint8_t* reply) {
    uint32_t token = 0;
    if (!decodeDiscoveryQuery(query, length, &token)) return 0;
    if (!discoveryLimiter.allow(from.ip, nowMs)) return 0;
    DiscoveryReply r;
    r.token = token;
    r.occupied = occupied.load();
    r.maxPlayers = maxPlayersValue;
    r.fragLimit = fragLimitValue;
    // Longer names are refused at start-up; cut here only so the copy is bounded.
    for (size_t i = 0; i + 1 < sizeof r.mapName && mapNameText[i]; ++i) {
        r.mapName[i] = mapNameText[i];
        r.mapName[i + 1] = '\0';
    }
    size_t n = encodeDiscoveryReply(r, reply, DISCOVERY_REPLY_SIZE);
    return n <= length ? n : 0;
}

void Server::discoveryLoop() {
    // One byte more than any query, so a longer datagram is seen as longer.
    uint8_t buffer[DISCOVERY_QUERY_SIZE + 1];
    uint8_t reply[DISCOVERY_REPLY_SIZE];
    while (!networkGone.load()) {
        platform::NetAddress from;
        long n = platform::receiveFrom(discoverySocket, buffer, sizeof buffer, &from);
        if (networkGone.load()) return;
        if (n <= 0) continue;
        size_t length = answerDiscovery(from, buffer, size_t(n), platform::timeGetTime(), reply);
        if (length > 0) platform::sendTo(discoverySocket, reply, length, from);
    }
}
