// The relay loop: every datagram frees at most one silent slot, is verified,
// recorded in its sender's slot, and makes every live client hear all others.
// Only a slot's own address speaks for it, only a host the lobby answered
// takes a free slot, and a slot's fan-outs are budgeted: a datagram from
// anyone else makes the server send nothing.
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
        uint32_t reached = 0;
        long n = platform::receiveDatagram(gameSocket, buffer, NET_BUFFER_SIZE, &from, &reached);
        if (networkGone.load()) break;
        if (n < 0) continue;
        size_t count = handleDatagram(from, buffer, size_t(n), reached);
        if (mode == SendMode::Batched) {
            platform::sendBatch(gameSocket, batch.datagrams, count);
        } else {
            for (size_t k = 0; k < count; ++k)
                platform::sendDatagram(gameSocket, batch.datagrams[k]);
        }
    }
    return 1;
}

size_t Server::handleDatagram(const platform::NetAddress& from, char* buffer, size_t length,
                              uint32_t reachedIp) {
    batch.count = 0;
    buffer[length] = '\0';
    expireSlots();
    // A full buffer may be a longer datagram cut short: no message is that long.
    if (length >= size_t(NET_BUFFER_SIZE)) return 0;
    if (!verifyChecksum(buffer)) return 0;
    // A state that could not be relayed whole is neither kept nor relayed.
    if (!relayFits(buffer)) return 0;
    int sender = recordDatagram(from, buffer, reachedIp);
    // A state over its slot's budget is kept (the next fan-out carries it)
    // but makes no fan-out of its own.
    if (sender < 0 || !slots[sender].fanOuts.spend(platform::timeGetTime())) return 0;

    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (slots[i].vacant != 0) continue;
        for (int j = 0; j < SLOT_COUNT; ++j) {
            if (j == i) continue;
            batch.datagrams[batch.count++] = platform::Datagram{
                relayText[j], relayLength[j], slots[i].address, slots[i].reachedIp};
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
            // It may come back from the same host (a new port after a stall).
            passes.grantReturn(s.address.ip, s.clientId, platform::timeGetTime());
            publishOccupancy();
            char name[NAME_SIZE];
            platform::printableText(s.name, name, sizeof name);
            consoleLine(console, "%s %s \n", name, "has disconnected");
            return;
        }
    }
}

int Server::recordDatagram(const platform::NetAddress& from, const char* text,
                          uint32_t reachedIp) {
    PlayerSlot record;
    record.address = from;
    record.reachedIp = reachedIp;
    TextScanner scan(text);
    if (scan.token(record.clientId, sizeof record.clientId))
        scan.token(record.name, sizeof record.name);

    int byId = -1, byAddress = -1;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const PlayerSlot& s = slots[i];
        if (s.vacant != 0) continue;
        if (std::strcmp(s.clientId, record.clientId) == 0) byId = i;
        if (s.address.ip == from.ip && s.address.port == from.port) byAddress = i;
    }
    uint32_t now = platform::timeGetTime();
    if (byId >= 0 && byId == byAddress) {
        PlayerSlot& s = slots[byId];
        s.lastHeard = now;
        s.reachedIp = reachedIp;
        platform::copyText(s.lastState, text);
        refreshRelay(byId);
        return byId;
    }
    // A player is spoken for by its own address only, and an address speaks
    // for one player only.
    if (byId >= 0 || byAddress >= 0) return -1;

    int free = -1;
    for (int i = 0; i < SLOT_COUNT && free < 0; ++i)
        if (slots[i].vacant == 1) free = i;
    if (free < 0 || !passes.take(from.ip, record.clientId, now)) return -1;
    record.lastHeard = now;
    record.vacant = 0;
    record.fanOuts.start(now);
    platform::copyText(record.lastState, text);
    slots[free] = record;
    refreshRelay(free);
    publishOccupancy();
    char name[NAME_SIZE];
    platform::printableText(record.name, name, sizeof name);
    consoleLine(console, "%s %s \n", "New Client: ", name);
    return free;
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
