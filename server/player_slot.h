// One client of the match as the server keeps it, and the relays of a datagram.
// Slots belong to the Server; only its main thread writes them.
#pragma once
#include <cstdint>

#include "platform/net.h"
#include "protocol/protocol.h"
#include "server/admission.h"

// A vacant slot keeps its last client's id, name and state: they keep being
// relayed, flagged vacant, so every client sees that player leave.
struct PlayerSlot {
    uint64_t lastHeard = 0;  // millisecond clock at the last accepted datagram
    char clientId[protocol::CLIENT_ID_SIZE] = "0";
    char name[protocol::NAME_SIZE] = "";
    platform::NetAddress address;  // where this client's relays go
    int32_t vacant = 1;
    char lastState[protocol::STATE_TEXT_SIZE] = "";  // last accepted state, without its suffix
    // The server address this client's datagrams reach: its relays leave from
    // it, since a client takes answers only from the address it joined (0: any).
    uint32_t reachedIp = 0;
    FanOutBudget fanOuts;  // how often this client's states may be relayed to all
};

constexpr int MAX_RELAYS = protocol::SLOT_COUNT * (protocol::SLOT_COUNT - 1);

// The relays one datagram causes, in send order (recipient slot ascending,
// then relayed slot ascending). The texts point into the Server's cache.
struct RelayBatch {
    platform::Datagram datagrams[MAX_RELAYS];
    size_t count = 0;
};
