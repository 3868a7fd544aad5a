// The relay loop: every datagram frees at most one silent slot, is verified,
// recorded in its sender's slot, and makes every live client hear all others.
#include <cstring>

#include "platform/clock.h"
#include "platform/text.h"
#include "protocol/scan.h"
#include "server/console.h"
#include "server/server.h"

using namespace protocol;

namespace {
// The suffix is at most "+-65536 " for any text that fits a datagram, so only
// states near the limit need the exact test.
bool relayFits(const char* state) {
    size_t length = std::strlen(state);
    if (length + 2 + 8 < size_t(NET_BUFFER_SIZE)) return true;
    char scratch[NET_BUFFER_SIZE];
    // Both flags: a stored state is relayed live now and vacant later.
    return formatRelayMessage(0, state, scratch, sizeof scratch) != 0 &&
           formatRelayMessage(1, state, scratch, sizeof scratch) != 0;
}
}  // namespace

int Server::relayLoop(SendMode mode) {
    char buffer[NET_BUFFER_SIZE + 1];
    while (!networkGone.load() && gameSocket != platform::NO_SOCKET) {
        platform::NetAddress from;
        long n = platform::receiveFrom(gameSocket, buffer, NET_BUFFER_SIZE, &from);
        if (networkGone.load()) break;
        if (n < 0) continue;
        size_t count = handleDatagram(from, buffer, size_t(n));
        if (mode == SendMode::Batched) {
            platform::sendBatch(gameSocket, batch.datagrams, count);
        } else {
            for (size_t k = 0; k < count; ++k) {
                const platform::Datagram& d = batch.datagrams[k];
                platform::sendTo(gameSocket, d.data, d.len, d.to);
            }
        }
    }
    return 1;
}

size_t Server::handleDatagram(const platform::NetAddress& from, char* buffer, size_t length) {
    batch.count = 0;
    buffer[length] = '\0';
    expireSlots();
    // A full buffer may be a longer datagram cut short: no message is that long.
    if (length >= size_t(NET_BUFFER_SIZE)) return 0;
    if (!verifyChecksum(buffer)) return 0;
    // A state that could not be relayed whole is neither kept nor relayed.
    if (!relayFits(buffer)) return 0;
    recordDatagram(from, buffer);

    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (slots[i].vacant != 0) continue;
        for (int j = 0; j < SLOT_COUNT; ++j) {
            if (j == i) continue;
            batch.datagrams[batch.count++] =
                platform::Datagram{relayText[j], relayLength[j], slots[i].address};
        }
    }
    return batch.count;
}

void Server::expireSlots() {
    for (int i = 0; i < SLOT_COUNT; ++i) {
        PlayerSlot& s = slots[i];
        if (s.vacant != 0) continue;
        // Unsigned 32-bit difference: right across a wrap of the clock too.
        uint32_t elapsed = platform::timeGetTime() - uint32_t(s.lastHeard);
        if (elapsed > SLOT_TIMEOUT_MS) {
            s.vacant = 1;
            refreshRelay(i);
            publishOccupancy();
            char name[NAME_SIZE];
            printableText(s.name, name, sizeof name);
            consoleLine(console, "%s %s \n", name, "has disconnected");
            return;
        }
    }
}

void Server::recordDatagram(const platform::NetAddress& from, const char* text) {
    PlayerSlot record;
    record.address = from;
    TextScanner scan(text);
    if (scan.token(record.clientId, sizeof record.clientId))
        scan.token(record.name, sizeof record.name);

    for (int i = 0; i < SLOT_COUNT; ++i) {
        PlayerSlot& s = slots[i];
        if (s.vacant == 0 && std::strcmp(s.clientId, record.clientId) == 0) {
            s.lastHeard = platform::timeGetTime();
            platform::copyText(s.lastState, text);
            refreshRelay(i);
            return;
        }
    }
    record.lastHeard = platform::timeGetTime();
    record.vacant = 0;
    platform::copyText(record.lastState, text);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (slots[i].vacant != 1) continue;
        slots[i] = record;
        refreshRelay(i);
        publishOccupancy();
        char name[NAME_SIZE];
        printableText(record.name, name, sizeof name);
        consoleLine(console, "%s %s \n", "New Client: ", name);
        return;
    }
}

void Server::refreshRelay(int j) {
    relayLength[j] = formatRelayMessage(slots[j].vacant, slots[j].lastState, relayText[j],
                                        sizeof relayText[j]);
    recording.slotChanged(j, slots[j], mapNameText, fragLimitValue);
}

void Server::publishOccupancy() {
    int count = 0;
    for (const PlayerSlot& s : slots) count += s.vacant == 0 ? 1 : 0;
    occupied.store(count);
}
