// Keeps one Fighter per occupied slot of a NetClient's table: created when a
// player arrives, updated every frame, deleted when it leaves. The caller owns the array.
#pragma once
#include "client/match/fighter.h"
#include "client/net/net_client.h"
#include "protocol/protocol.h"

// Events is any type with
//   apply(Fighter&, const RemoteState&)   every state of a present player, its first included
//   arrived(int slot, const RemoteState&)
//   left(const RemoteState&)
// called on the frame's thread.
template <class Events>
void syncRemoteTable(NetClient& net, Fighter* fighters[protocol::SLOT_COUNT], Events& events) {
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        // A whole copy: the receive thread may replace the entry meanwhile.
        protocol::RemoteState entry = net.remoteState(i);
        Fighter*& fighter = fighters[i];
        if (entry.vacant == 0 && !fighter) {
            fighter = new Fighter(entry.skin);
            events.apply(*fighter, entry);
            events.arrived(i, entry);
        } else if (entry.vacant == 1 && fighter) {
            delete fighter;
            fighter = nullptr;
            events.left(entry);
        } else if (entry.vacant == 0 && fighter) {
            events.apply(*fighter, entry);
        }
    }
}
