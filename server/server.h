// The dedicated server: start-up, the lobby thread that answers joins, and the
// relay of every client's state to the others. One Server per process.
#pragma once
#include <atomic>
#include <cstdio>

#include "platform/clock.h"
#include "platform/thread.h"
#include "server/discovery.h"
#include "server/player_slot.h"
#include "server/recording.h"

// How relayLoop hands its relays to the system: one batch per datagram, or one
// send per relay. Both send the same bytes in the same order.
enum class SendMode { Batched, OneByOne };

class Server {
public:
    // Reads the three command-line arguments ("%s", "%i", "%i"); lines go to
    // `console` (null: nowhere). Opens nothing yet.
    Server(const char* mapArg, const char* maxPlayersArg, const char* fragLimitArg,
           FILE* console = stdout);
    // Clean-up, then waits for the lobby thread and closes the sockets.
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Opens both sockets and starts the lobby; prints the failing step's line.
    bool startUp();
    bool isServerFull() const;

    // Receives and relays until the networking is gone (the lobby's clean-up,
    // or a start-up that never opened it); returns the exit status then.
    int relayLoop(SendMode mode = SendMode::Batched);

    // One received datagram of `length` bytes in `buffer` (room for one more
    // byte): expire, verify, record, and fill the relays it causes. Returns
    // their count (0: dropped). The batch stays valid until the next call.
    // `reachedIp`: the local address it arrived at (0: unknown). Only a
    // datagram its slot's own address sent, within the slot's budget, is relayed.
    size_t handleDatagram(const platform::NetAddress& from, char* buffer, size_t length,
                          uint32_t reachedIp = 0);

    void expireSlots();
    // The sender's slot, or -1 when the datagram is dropped: it names a player
    // from another address, or is new without a pass, or finds no vacant slot.
    int recordDatagram(const platform::NetAddress& from, const char* text, uint32_t reachedIp = 0);

    // The lobby answered `ip` "not full": it may take one slot for a while.
    void admitJoin(uint32_t ip) { passes.grant(ip, platform::timeGetTime()); }

    // Stops the networking: marks it gone and wakes both sockets' waiters.
    // Safe from either thread; the descriptors are closed by the destructor.
    void cleanUp();

    // One datagram that reached the discovery port: the reply to send back
    // (at most `length` bytes, into `reply` of DISCOVERY_REPLY_SIZE), or 0.
    size_t answerDiscovery(const platform::NetAddress& from, const uint8_t* query, size_t length,
                           uint32_t nowMs, uint8_t* reply);

    const PlayerSlot& slot(int i) const { return slots[i]; }
    const RelayBatch& relays() const { return batch; }
    const char* mapName() const { return mapNameText; }
    int32_t maxPlayers() const { return maxPlayersValue; }
    int32_t fragLimit() const { return fragLimitValue; }

private:
    void lobbyLoop();
    bool openDiscovery();
    void discoveryLoop();
    void refreshRelay(int j);
    void publishOccupancy();

    FILE* console;
    char mapNameText[64] = "";
    int32_t maxPlayersValue = 0;
    int32_t fragLimitValue = 0;
    platform::Socket initSocket = platform::NO_SOCKET;
    platform::Socket gameSocket = platform::NO_SOCKET;
    platform::Thread lobbyThread;
    platform::Socket discoverySocket = platform::NO_SOCKET;
    platform::Thread discoveryThread;
    DiscoveryLimiter discoveryLimiter;  // discovery thread only
    JoinPasses passes;  // granted by the lobby, taken by the relay
    std::atomic<bool> networkGone{false};
    // The lobby only counts occupied slots; the main thread publishes the count.
    std::atomic<int> occupied{0};

    PlayerSlot slots[protocol::SLOT_COUNT];
    // Each slot's RelayMessage, formatted when its state or flag changes, so a
    // datagram costs one format and its sends.
    char relayText[protocol::SLOT_COUNT][protocol::NET_BUFFER_SIZE];
    size_t relayLength[protocol::SLOT_COUNT];
    RelayBatch batch;
    ServerRecording recording;  // told of every slot change by refreshRelay
};

// The whole program: argument check, start-up, relay loop. Returns the exit
// status: 0 for a wrong argument count (nothing printed), non-zero once the
// server cannot or can no longer serve.
int serverMain(int argc, char** argv, SendMode mode);
