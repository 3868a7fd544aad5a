#include "client/net/net_client.h"

#include <cstdio>
#include <cstring>

#include "platform/clock.h"
#include "platform/text.h"

NetClient netClient;

namespace {
// A receive gives up this often so the thread notices the stop request.
constexpr uint32_t RECEIVE_POLL_MS = 100;
}  // namespace

bool pickIdAddress(const platform::NetAddress* byHostName, const platform::NetAddress& server,
                   const platform::NetAddress* bySocket, platform::NetAddress* out) {
    // The host name's own address is the first choice. It is no use when it is
    // missing, or when it is a loopback address and the server is elsewhere:
    // then every such machine would send the same address.
    if (byHostName && !(platform::isLoopback(*byHostName) && !platform::isLoopback(server))) {
        *out = *byHostName;
        return true;
    }
    if (bySocket) {
        *out = *bySocket;
        return true;
    }
    if (byHostName) {  // loopback it is, but still an address
        *out = *byHostName;
        return true;
    }
    return false;
}

void formatClientId(char out[protocol::CLIENT_ID_SIZE], int processId, int tag,
                    const platform::NetAddress& address) {
    char text[16];
    platform::addressText(address, text);
    char full[64];
    if (tag > 0)
        std::snprintf(full, sizeof full, "%ib%i%s", processId, tag, text);
    else
        std::snprintf(full, sizeof full, "%i%s", processId, text);
    platform::copyText(out, protocol::CLIENT_ID_SIZE, full);
}

bool makeClientId(char out[protocol::CLIENT_ID_SIZE], int tag, platform::Socket reach,
                  const platform::NetAddress* server) {
    char host[512];
    platform::NetAddress named, local;
    bool haveNamed = platform::localHostName(host, sizeof host) && platform::lookupHost(host, &named);
    bool haveLocal = reach != platform::NO_SOCKET && platform::localAddress(reach, &local);
    platform::NetAddress chosen;
    // Without a server to reach, the host name's address is taken as it is.
    if (!pickIdAddress(haveNamed ? &named : nullptr, server ? *server : named,
                       haveLocal ? &local : nullptr, &chosen))
        return false;
    formatClientId(out, platform::currentProcessId(), tag, chosen);
    return true;
}

NetClient::~NetClient() { leaveServer(); }

JoinOutcome NetClient::connect(const char* serverName, StateSource source, int idTag) {
    stopRequested = 0;
    if (!platform::netStartup()) return JoinOutcome::Failed;
    tcp = platform::tcpSocket();
    if (tcp == platform::NO_SOCKET) return JoinOutcome::Failed;
    udp = platform::udpSocket();
    if (udp == platform::NO_SOCKET) return JoinOutcome::Failed;
    if (!platform::lookupHost(serverName, &server)) return JoinOutcome::Failed;
    server.port = protocol::INIT_PORT;
    // A server that never answers must not freeze the player's screen.
    if (!platform::connectTo(tcp, server, JOIN_TIMEOUT_MS)) return JoinOutcome::Failed;
    // After the connect: the socket then knows which local address reaches
    // the server, the fallback when the host name does not resolve.
    if (!makeClientId(id, idTag, tcp, &server)) return JoinOutcome::Failed;
    platform::setReceiveTimeout(tcp, JOIN_TIMEOUT_MS);
    char text[protocol::NET_BUFFER_SIZE + 1];
    long n = platform::receiveBytes(tcp, text, protocol::NET_BUFFER_SIZE);
    // A connection closed without a word is no reply: the last match's map
    // path must not be taken for this one's.
    if (n <= 0) return JoinOutcome::Failed;
    text[n] = '\0';
    protocol::parseJoinReply(text, &joinReply);
    if (joinReply.serverFull != 0) return JoinOutcome::ServerFull;
    // The path is opened under our maps folder: a server must not be able to
    // point the game at any other file on the player's machine.
    if (!protocol::isSafeMapPath(joinReply.mapPath)) {
        joinReply.mapPath[0] = '\0';
        return JoinOutcome::BadMapPath;
    }
    server.port = protocol::GAME_PORT;
    lastHeard = platform::timeGetTime();
    stateSource = std::move(source);
    platform::setReceiveTimeout(udp, RECEIVE_POLL_MS);
    if (!receiver.start([this] { receiveLoop(); })) return JoinOutcome::Failed;
    if (!sender.start([this] { sendLoop(); })) return JoinOutcome::Failed;
    return JoinOutcome::Joined;
}

void NetClient::sendLoop() {
    for (;;) {
        protocol::StateMessage state;
        if (stateSource) stateSource(state);
        platform::copyText(state.clientId, id);
        char text[protocol::NET_BUFFER_SIZE];
        size_t length = protocol::formatStateMessage(state, text, sizeof text);
        if (stopRequested) return;
        if (length > 0) {
            platform::sendTo(udp, text, length, server);
            // The suffix is the last '+': neither names nor numbers hold one.
            const char* suffix = std::strrchr(text, '+');
            if (suffix) wireLog.add(platform::timeGetTime(), OWN_STATE_SLOT, false, text,
                                    size_t(suffix - text));
        }
        platform::sleepMs(protocol::SEND_INTERVAL_MS);
    }
}

void NetClient::receiveLoop() {
    char text[protocol::NET_BUFFER_SIZE + 1];
    while (!stopRequested) {
        platform::NetAddress from;
        // One byte more than a message may have, to tell an over-long one apart.
        long n = platform::receiveFrom(udp, text, protocol::NET_BUFFER_SIZE, &from);
        if (n <= 0) continue;
        if (n >= protocol::NET_BUFFER_SIZE) continue;  // does not fit a message
        if (from.ip != server.ip || from.port != server.port) continue;  // not our server
        text[n] = '\0';
        if (!protocol::verifyChecksum(text)) continue;
        lastHeard = platform::timeGetTime();
        applyRelayedState(text);
    }
}

void NetClient::applyRelayedState(const char* text) {
    RemoteState parsed;
    protocol::parseRelayMessage(text, &parsed);
    uint32_t now = platform::timeGetTime();
    // The state's own text follows the slot's vacant flag and one blank.
    const char* state = std::strchr(text, ' ');
    state = state ? state + 1 : "";
    platform::Lock lock(tableLock);
    auto take = [&](int slot) {
        remoteStates[slot] = parsed;
        arrivals[slot].count += 1;
        arrivals[slot].atMs = now;
        if (wireLog.enabled())
            wireLog.add(now, slot, parsed.vacant == 1, state, std::strlen(state));
    };
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        if (remoteStates[i].vacant == 0 &&
            std::strcmp(remoteStates[i].clientId, parsed.clientId) == 0) {
            take(i);  // an update, or the player leaving (vacant 1)
            return;
        }
    }
    if (parsed.vacant == 1) return;                      // a slot we never held
    if (std::strcmp(parsed.clientId, id) == 0) return;   // ourselves
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        if (remoteStates[i].vacant == 1) {
            take(i);
            return;
        }
    }
}

RemoteState NetClient::remoteState(int slot) {
    platform::Lock lock(tableLock);
    return remoteStates[slot];
}

RemoteState NetClient::remoteState(int slot, SlotArrival* arrival) {
    platform::Lock lock(tableLock);
    *arrival = arrivals[slot];
    return remoteStates[slot];
}

uint16_t NetClient::localPort() const { return platform::localPort(udp); }

void NetClient::leaveServer() {
    stopRequested = 1;
    // Closing alone does not wake a blocked receive on Linux; the receive
    // timeout and a shutdown both do, and then the threads are waited for, so
    // no thread of this match lives on into the next one.
    platform::shutdownSocket(udp);
    receiver.join();
    sender.join();
    if (tcp != platform::NO_SOCKET) platform::closeSocket(tcp);
    if (udp != platform::NO_SOCKET) platform::closeSocket(udp);
    tcp = udp = platform::NO_SOCKET;
    platform::netCleanup();
    platform::Lock lock(tableLock);
    for (RemoteState& entry : remoteStates) entry.vacant = 1;
}
