// The client's side of LAN discovery: it asks the whole network (and one
// typed host) once a second which matches are running, and keeps the list of
// servers that answered, with their round-trip times. Replies that do not
// answer one of its own recent queries are ignored.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/net.h"
#include "protocol/discovery.h"

struct FoundServer {
    platform::NetAddress address;           // 127.0.0.1 for a server on this host
    char addressText[16] = "";
    char mapName[protocol::DISCOVERY_MAP_FIELD] = "";
    int32_t occupied = 0;
    int32_t maxPlayers = 0;
    int32_t fragLimit = 0;
    uint32_t rttMs = 0;
    uint32_t lastSeenMs = 0;
    bool hosted = false;  // the server this game started itself
};

class ServerBrowser {
public:
    static constexpr size_t MAX_SERVERS = 16;
    static constexpr uint32_t QUERY_INTERVAL_MS = 1000;
    static constexpr uint32_t FORGET_AFTER_MS = 3500;

    ServerBrowser();
    ~ServerBrowser();
    ServerBrowser(const ServerBrowser&) = delete;
    ServerBrowser& operator=(const ServerBrowser&) = delete;

    // Opens the query socket; false when there is none (the list stays empty).
    bool open();
    void close();

    // A dotted quad (or nothing) that is asked directly besides the broadcast.
    void setDirectHost(const char* text);
    // Whether this game hosts a server: it is asked on 127.0.0.1 and listed first.
    void setHosting(bool hosting);
    // Whether a round asks the whole network (the default) or the direct host
    // alone: a match timing the round trip to its own server.
    void setAskNetwork(bool ask) { askNetwork = ask; }

    // Sends a round of queries when one is due, takes in every reply waiting
    // and forgets servers silent for FORGET_AFTER_MS.
    void poll(uint32_t nowMs);

    // The query a round sends (its token names the round).
    size_t makeQuery(uint32_t nowMs, uint8_t* out, size_t capacity);
    // One datagram from `from`: true when it answered one of our queries and
    // updated the list.
    bool takeReply(const platform::NetAddress& from, const uint8_t* data, size_t length,
                   uint32_t nowMs);

    size_t count() const { return serverCount; }
    // Hosted server first, then in the order they were found.
    const FoundServer& server(size_t i) const { return servers[i]; }

private:
    static constexpr size_t ROUNDS_KEPT = 16;
    void forget(uint32_t nowMs);
    void sortHostedFirst();

    platform::Socket socket = platform::NO_SOCKET;
    uint32_t session = 0;                  // high half of every token
    uint16_t round = 0;                    // low half: the round number
    uint32_t sentAt[ROUNDS_KEPT] = {};     // clock at each kept round
    uint16_t sentRound[ROUNDS_KEPT] = {};
    bool sentValid[ROUNDS_KEPT] = {};
    bool anySent = false;
    uint32_t lastRoundMs = 0;
    platform::NetAddress direct;
    bool hasDirect = false;
    bool hosting = false;
    bool askNetwork = true;
    FoundServer servers[MAX_SERVERS];
    size_t serverCount = 0;
};
