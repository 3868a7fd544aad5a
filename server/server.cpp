#include "server/server.h"

#include <cstring>

#include "platform/files.h"
#include "protocol/scan.h"
#include "server/console.h"

using namespace protocol;

namespace {
constexpr int LOBBY_BACKLOG = 1024;
}  // namespace

Server::Server(const char* mapArg, const char* maxPlayersArg, const char* fragLimitArg,
               FILE* consoleFile)
    : console(consoleFile) {
    TextScanner(mapArg).token(mapNameText, sizeof mapNameText);
    readInteger(maxPlayersArg, &maxPlayersValue);
    readInteger(fragLimitArg, &fragLimitValue);
    for (int j = 0; j < SLOT_COUNT; ++j) refreshRelay(j);
}

Server::~Server() {
    cleanUp();
    lobbyThread.join();
    discoveryThread.join();
    platform::closeSocket(discoverySocket);
    platform::closeSocket(initSocket);
    platform::closeSocket(gameSocket);
    platform::netCleanup();
}

bool Server::startUp() {
    // Clients keep the path in 64 bytes: a longer name would reach them cut
    // into a path that names no map.
    if (std::strlen(mapNameText) > MAX_MAP_NAME_LENGTH) {
        consoleLine(console, "Error: Map name longer than %i characters \n",
                    int(MAX_MAP_NAME_LENGTH));
        return false;
    }
    if (!platform::netStartup()) {
        consoleLine(console, "Error: WSAData initialization failed \n");
        return false;
    }
    const char* failure = nullptr;
    initSocket = platform::tcpSocket();
    if (initSocket == platform::NO_SOCKET) failure = "Could not create init-socket";
    if (!failure) {
        gameSocket = platform::udpSocket();
        if (gameSocket == platform::NO_SOCKET) failure = "Could not create game-socket";
    }
    // A restarted server must get its port back while the last run's
    // connections still linger; a live listener elsewhere still refuses it.
    if (!failure && !(platform::setReuseAddress(initSocket) &&
                      platform::bindAnyInterface(initSocket, INIT_PORT)))
        failure = "Could not bind init-socket name";
    if (!failure && !platform::bindAnyInterface(gameSocket, GAME_PORT))
        failure = "Could not bind game-socket name";
    // Relays leave from the address each player reached; without the option
    // the system picks, which serves every player who joined by that one.
    if (!failure) platform::enableArrivalAddress(gameSocket);
    // Room for a burst of connections: with only a few, a host connecting as
    // fast as it can keeps the queue full, and an honest join that finds it
    // full waits for its connect to be retried a second or more later.
    if (!failure && !platform::listenOn(initSocket, LOBBY_BACKLOG))
        failure = "Could not listen for connections";
    if (failure) {
        consoleLine(console, "Error: %s \n", failure);
        platform::closeSocket(initSocket);
        platform::closeSocket(gameSocket);
        initSocket = gameSocket = platform::NO_SOCKET;
        platform::netCleanup();
        return false;
    }
    if (!lobbyThread.start([this] { lobbyLoop(); })) {
        cleanUp();
        return false;
    }
    openDiscovery();
    consoleLine(console, "Server started \n");
    return true;
}

bool Server::isServerFull() const { return occupied.load() >= maxPlayersValue; }

void Server::lobbyLoop() {
    for (;;) {
        platform::NetAddress peer;
        platform::Socket connection = platform::acceptConnection(initSocket, &peer);
        if (connection == platform::NO_SOCKET) {
            if (networkGone.load()) return;
            // A peer that reset its connection before we took it must not
            // take the lobby down for everyone else.
            if (platform::acceptFailedForPeerOnly()) continue;
            consoleLine(console, "Error: Connection failed \n");
            cleanUp();
            return;
        }
        // Each connection costs one accept, one send and a close, whatever
        // the peer does: nothing is read, and a reply the peer's connection
        // cannot take at once (it always fits a fresh one) is not waited for.
        bool full = isServerFull();
        char reply[128];
        size_t length =
            formatJoinReply(mapNameText, full ? 1 : 0, fragLimitValue, reply, sizeof reply);
        // The handshake has shown the peer's address is its own. The pass is
        // there before the reply, since a game sends its first state as soon
        // as it reads it.
        if (!full) admitJoin(peer.ip);
        platform::setNonBlocking(connection);
        long sent = platform::sendBytes(connection, reply, length);
        bool peersFault = sent != long(length) && platform::sendFailedForPeerOnly();
        platform::closeSocket(connection);
        // Only this one client is lost; the others may still join. A peer
        // that hung up is its own affair and prints nothing.
        if (sent != long(length) && !peersFault)
            consoleLine(console, "Error: Could not send data \n");
    }
}

void Server::cleanUp() {
    networkGone.store(true);
    platform::shutdownSocket(initSocket);
    platform::shutdownSocket(gameSocket);
    platform::shutdownSocket(discoverySocket);
}

int serverMain(int argc, char** argv, SendMode mode) {
    platform::keepStandardStreamsBinary();
    if (argc != 4) return 0;
    Server server(argv[1], argv[2], argv[3]);
    if (!server.startUp()) {
        consoleLine(stdout, "Error: Server creation failed \n");
        return 1;
    }
    return server.relayLoop(mode);
}
