// The bare cost of relaying, for comparison with the server: receive one
// datagram, send 90 of about the relays' size to the clients seen so far
// (nine to each), with no verification, no slots and no formatting.
#include <cstring>

#include "platform/net.h"
#include "protocol/protocol.h"

using namespace protocol;

int main() {
    platform::Socket s = platform::udpSocket();
    if (!platform::bindAnyInterface(s, GAME_PORT)) return 1;
    platform::NetAddress clients[SLOT_COUNT];
    int known = 0;
    char in[NET_BUFFER_SIZE + 1];
    char out[NET_BUFFER_SIZE];
    for (;;) {
        platform::NetAddress from;
        long n = platform::receiveFrom(s, in, NET_BUFFER_SIZE, &from);
        if (n < 0) continue;
        bool seen = false;
        for (int i = 0; i < known; ++i)
            seen = seen || (clients[i].ip == from.ip && clients[i].port == from.port);
        if (!seen && known < SLOT_COUNT) clients[known++] = from;
        // A relay is the state with a two-character prefix.
        size_t len = size_t(n) + 2 < sizeof out ? size_t(n) + 2 : sizeof out - 1;
        std::memcpy(out + 2, in, size_t(n) < sizeof out - 2 ? size_t(n) : sizeof out - 2);
        out[0] = '0';
        out[1] = ' ';
        for (int i = 0; i < known; ++i)
            for (int j = 0; j < SLOT_COUNT - 1; ++j) platform::sendTo(s, out, len, clients[i]);
    }
}
