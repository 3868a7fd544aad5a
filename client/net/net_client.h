// The client's link to the server: the TCP join, then a send thread that
// posts our state every 20 ms and a receive thread that keeps the table of
// the other players. The NetClient owns its sockets, threads and table;
// threads share the table and the stop flag only through its lock or atomics.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>

#include "client/net/wire_log.h"
#include "platform/mutex.h"
#include "platform/net.h"
#include "platform/thread.h"
#include "protocol/protocol.h"

using protocol::RemoteState;

// Fills every field of our next state except clientId; called on the send
// thread, so it must take its own consistent copy.
using StateSource = std::function<void(protocol::StateMessage&)>;

// BadMapPath: the server answered with a map path outside our maps folder.
// When a slot's entry was last written by a relay, and how many relays have
// written it: the same state relayed again is an arrival too.
struct SlotArrival {
    uint32_t count = 0;
    uint32_t atMs = 0;  // our clock
};

enum class JoinOutcome { Joined, Failed, ServerFull, BadMapPath };

class NetClient {
public:
    NetClient() = default;
    ~NetClient();
    NetClient(const NetClient&) = delete;
    NetClient& operator=(const NetClient&) = delete;

    // The TCP join, then both threads; says what happened. Several players in
    // one process each pass their own idTag (1, 2, ...).
    JoinOutcome connect(const char* serverName, StateSource source, int idTag = 0);
    // Stops and joins both threads, closes the sockets, marks every player gone.
    void leaveServer();

    // Receive side, also used directly by tests: one verified relay text.
    void applyRelayedState(const char* text);
    // A whole copy of one entry, never half old and half new.
    RemoteState remoteState(int slot);
    // The same, with when it arrived.
    RemoteState remoteState(int slot, SlotArrival* arrival);

    const char* clientId() const { return id; }
    const protocol::JoinReply& reply() const { return joinReply; }
    // The server's address as joined (its port is the game port).
    const platform::NetAddress& serverAddress() const { return server; }
    // Clock reading of the last relay from our server (the join's time before
    // the first): a server that went away falls silent.
    uint32_t lastHeardMs() const { return lastHeard; }
    // The local UDP port (0 before the first send), for tests.
    uint16_t localPort() const;

    // Every state sent and every relayed state kept, for a recording; off
    // unless the match switches it on.
    WireLog wireLog;

    // How long one join may wait for the server, connect and reply each.
    static constexpr uint32_t JOIN_TIMEOUT_MS = 3000;

private:
    void sendLoop();
    void receiveLoop();

    char id[protocol::CLIENT_ID_SIZE] = "0";
    protocol::JoinReply joinReply;
    platform::NetAddress server;
    platform::Socket tcp = platform::NO_SOCKET;
    platform::Socket udp = platform::NO_SOCKET;
    platform::Thread receiver, sender;
    std::atomic<uint8_t> stopRequested{0};
    std::atomic<uint32_t> lastHeard{0};
    StateSource stateSource;
    platform::Mutex tableLock;
    RemoteState remoteStates[protocol::SLOT_COUNT];
    SlotArrival arrivals[protocol::SLOT_COUNT];
};

// The game's one link to its server; process lifetime, joined per match.
extern NetClient netClient;

// "%i%s": process id written directly in front of the local IPv4 address,
// cut to 19 characters; a tag above 0 adds "b<tag>" after the process id so
// that players sharing a process differ.
void formatClientId(char out[protocol::CLIENT_ID_SIZE], int processId, int tag,
                    const platform::NetAddress& address);
// The address for the id: the host name's address when it resolves, unless it
// is a loopback one while the server is elsewhere; otherwise the local address
// of the socket that reaches the server. Either may be missing (null).
bool pickIdAddress(const platform::NetAddress* byHostName, const platform::NetAddress& server,
                   const platform::NetAddress* bySocket, platform::NetAddress* out);
// The id for this machine; `reach` is a socket connected to `server`, when
// there is one. False when no address can be found.
bool makeClientId(char out[protocol::CLIENT_ID_SIZE], int tag = 0,
                  platform::Socket reach = platform::NO_SOCKET,
                  const platform::NetAddress* server = nullptr);
