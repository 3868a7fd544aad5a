#include "client/net/join_server.h"

#include "client/core/records.h"

bool joinServer(NetClient& net, const char* serverName, StateSource source) {
    JoinOutcome outcome = net.connect(serverName, std::move(source));
    if (outcome == JoinOutcome::ServerFull) fatalError("Server is full");
    if (outcome == JoinOutcome::BadMapPath)
        fatalError("Could not join the server: it named a map outside data/maps");
    return outcome == JoinOutcome::Joined;
}
