#include "client/net/net_client.h"
#include "client/shell/input.h"

bool NetClient::joinServer(const char* serverName, StateSource source) {
    JoinOutcome outcome = connect(serverName, std::move(source));
    if (outcome == JoinOutcome::ServerFull) fatalError("Server is full");
    return outcome == JoinOutcome::Joined;
}
