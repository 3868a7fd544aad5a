// The game's side of joining: a full server is a fatal error with a box. Kept
// apart from the link itself so windowless players (bots) never link a window.
#include "client/net/net_client.h"
#include "client/shell/input.h"

bool NetClient::joinServer(const char* serverName, StateSource source) {
    JoinOutcome outcome = connect(serverName, std::move(source));
    if (outcome == JoinOutcome::ServerFull) fatalError("Server is full");
    if (outcome == JoinOutcome::BadMapPath)
        fatalError("Could not join the server: it named a map outside data/maps");
    return outcome == JoinOutcome::Joined;
}
