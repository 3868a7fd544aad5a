// The game's side of joining: a full server is a fatal error with a box. Kept
// apart from the link itself so windowless players (bots) never link a window.
#pragma once
#include "client/net/net_client.h"

// The game's join: a full server is the fatal "Server is full"; false on any
// failure. (A second fatal message in the same construction is not shown.)
bool joinServer(NetClient& net, const char* serverName, StateSource source);
