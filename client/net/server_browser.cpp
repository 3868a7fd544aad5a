#include "client/net/server_browser.h"

#include <cstring>

#include "platform/clock.h"

using namespace protocol;

ServerBrowser::ServerBrowser() {
    // Different games on one host and successive pages use different tokens.
    session = (uint32_t(platform::currentProcessId()) * 2654435761u) ^ platform::timeGetTime();
}

ServerBrowser::~ServerBrowser() { close(); }

bool ServerBrowser::open() {
    if (socket != platform::NO_SOCKET) return true;
    socket = platform::udpSocket();
    if (socket == platform::NO_SOCKET) return false;
    platform::setBroadcast(socket);
    platform::setNonBlocking(socket);
    return true;
}

void ServerBrowser::close() {
    platform::closeSocket(socket);
    socket = platform::NO_SOCKET;
}

void ServerBrowser::setDirectHost(const char* text) {
    hasDirect = platform::parseDottedQuad(text, &direct);
}

void ServerBrowser::setHosting(bool on) {
    hosting = on;
    for (size_t i = 0; i < serverCount; ++i)
        servers[i].hosted = on && platform::isLoopback(servers[i].address);
    sortHostedFirst();
}

size_t ServerBrowser::makeQuery(uint32_t nowMs, uint8_t* out, size_t capacity) {
    ++round;
    size_t k = round % ROUNDS_KEPT;
    sentAt[k] = nowMs;
    sentRound[k] = round;
    sentValid[k] = true;
    uint32_t token = (session & 0xFFFF0000u) | round;
    return encodeDiscoveryQuery(token, out, capacity);
}

void ServerBrowser::poll(uint32_t nowMs) {
    if (socket == platform::NO_SOCKET) return;
    if (!anySent || nowMs - lastRoundMs >= QUERY_INTERVAL_MS) {
        anySent = true;
        lastRoundMs = nowMs;
        uint8_t query[DISCOVERY_QUERY_SIZE];
        size_t length = makeQuery(nowMs, query, sizeof query);
        platform::NetAddress targets[12];
        size_t n = askNetwork ? platform::broadcastAddresses(targets, 10) : 0;
        if (hasDirect) targets[n++] = direct;
        if (hosting) platform::parseDottedQuad("127.0.0.1", &targets[n++]);
        for (size_t i = 0; i < n; ++i) {
            targets[i].port = DISCOVERY_PORT;
            platform::sendTo(socket, query, length, targets[i]);
        }
    }
    // One byte more than a reply, so that a longer datagram shows as longer.
    uint8_t buffer[DISCOVERY_REPLY_SIZE + 1];
    for (int i = 0; i < 64; ++i) {
        platform::NetAddress from;
        long n = platform::receiveFrom(socket, buffer, sizeof buffer, &from);
        if (n < 0) break;
        takeReply(from, buffer, size_t(n), nowMs);
    }
    forget(nowMs);
}

bool ServerBrowser::takeReply(const platform::NetAddress& from, const uint8_t* data,
                              size_t length, uint32_t nowMs) {
    if (from.port != DISCOVERY_PORT) return false;
    DiscoveryReply reply;
    if (!decodeDiscoveryReply(data, length, &reply)) return false;
    if ((reply.token & 0xFFFF0000u) != (session & 0xFFFF0000u)) return false;
    uint16_t answered = uint16_t(reply.token & 0xFFFF);
    size_t k = answered % ROUNDS_KEPT;
    if (!sentValid[k] || sentRound[k] != answered) return false;
    uint32_t rtt = nowMs - sentAt[k];
    if (rtt > 60000) return false;  // an answer from before the clock's present

    // Every address of this host is the same server: join it on 127.0.0.1.
    platform::NetAddress address{from.ip, 0};
    platform::NetAddress mine[16];
    size_t own = platform::localAddresses(mine, 16);
    for (size_t i = 0; i < own; ++i)
        if (mine[i].ip == from.ip) platform::parseDottedQuad("127.0.0.1", &address);

    FoundServer* entry = nullptr;
    for (size_t i = 0; i < serverCount; ++i)
        if (servers[i].address.ip == address.ip) entry = &servers[i];
    if (!entry) {
        if (serverCount == MAX_SERVERS) return false;
        entry = &servers[serverCount++];
        *entry = FoundServer{};
        entry->address = address;
        entry->rttMs = rtt;
    } else if (answered == uint16_t(round)) {
        // Several copies of one round (broadcast and direct): keep the fastest.
        if (rtt < entry->rttMs || entry->lastSeenMs < sentAt[k]) entry->rttMs = rtt;
    } else {
        entry->rttMs = rtt;
    }
    platform::addressText(address, entry->addressText);
    std::memcpy(entry->mapName, reply.mapName, sizeof entry->mapName);
    entry->occupied = reply.occupied;
    entry->maxPlayers = reply.maxPlayers;
    entry->fragLimit = reply.fragLimit;
    entry->lastSeenMs = nowMs;
    entry->hosted = hosting && platform::isLoopback(address);
    sortHostedFirst();
    return true;
}

void ServerBrowser::forget(uint32_t nowMs) {
    size_t kept = 0;
    for (size_t i = 0; i < serverCount; ++i)
        if (nowMs - servers[i].lastSeenMs <= FORGET_AFTER_MS) servers[kept++] = servers[i];
    serverCount = kept;
}

void ServerBrowser::sortHostedFirst() {
    for (size_t i = 1; i < serverCount; ++i)
        if (servers[i].hosted) {
            FoundServer hosted = servers[i];
            for (size_t j = i; j > 0; --j) servers[j] = servers[j - 1];
            servers[0] = hosted;
        }
}
