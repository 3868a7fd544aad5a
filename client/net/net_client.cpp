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

bool makeClientId(char out[protocol::CLIENT_ID_SIZE], int tag) {
    char host[512];
    platform::NetAddress local;
    if (!platform::localHostName(host, sizeof host) || !platform::lookupHost(host, &local))
        return false;
    char address[16];
    platform::addressText(local, address);
    char full[64];
    if (tag > 0)
        std::snprintf(full, sizeof full, "%ib%i%s", platform::currentProcessId(), tag, address);
    else
        std::snprintf(full, sizeof full, "%i%s", platform::currentProcessId(), address);
    platform::copyText(out, protocol::CLIENT_ID_SIZE, full);
    return true;
}

NetClient::~NetClient() { leaveServer(); }

JoinOutcome NetClient::connect(const char* serverName, StateSource source, int idTag) {
    stopRequested = 0;
    if (!platform::netStartup()) return JoinOutcome::Failed;
    if (!makeClientId(id, idTag)) return JoinOutcome::Failed;
    tcp = platform::tcpSocket();
    if (tcp == platform::NO_SOCKET) return JoinOutcome::Failed;
    udp = platform::udpSocket();
    if (udp == platform::NO_SOCKET) return JoinOutcome::Failed;
    if (!platform::lookupHost(serverName, &server)) return JoinOutcome::Failed;
    server.port = protocol::INIT_PORT;
    // A server that never answers must not freeze the player's screen.
    if (!platform::connectTo(tcp, server, JOIN_TIMEOUT_MS)) return JoinOutcome::Failed;
    platform::setReceiveTimeout(tcp, JOIN_TIMEOUT_MS);
    char text[protocol::NET_BUFFER_SIZE + 1];
    long n = platform::receiveBytes(tcp, text, protocol::NET_BUFFER_SIZE);
    // A connection closed without a word is no reply: the last match's map
    // path must not be taken for this one's.
    if (n <= 0) return JoinOutcome::Failed;
    text[n] = '\0';
    protocol::parseJoinReply(text, &joinReply);
    if (joinReply.serverFull != 0) return JoinOutcome::ServerFull;
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
        if (length > 0) platform::sendTo(udp, text, length, server);
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
    platform::Lock lock(tableLock);
    for (RemoteState& entry : remoteStates) {
        if (entry.vacant == 0 && std::strcmp(entry.clientId, parsed.clientId) == 0) {
            entry = parsed;  // an update, or the player leaving (vacant 1)
            return;
        }
    }
    if (parsed.vacant == 1) return;                      // a slot we never held
    if (std::strcmp(parsed.clientId, id) == 0) return;   // ourselves
    for (RemoteState& entry : remoteStates) {
        if (entry.vacant == 1) {
            entry = parsed;
            return;
        }
    }
}

RemoteState NetClient::remoteState(int slot) {
    platform::Lock lock(tableLock);
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
