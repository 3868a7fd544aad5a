// Keeps one Fighter per occupied slot of a NetClient's table: created when a
// player arrives, ruled every frame, deleted when it leaves. The caller owns the array.
#pragma once
#include "client/match/fighter.h"
#include "client/match/match_rules.h"
#include "client/net/net_client.h"
#include "protocol/protocol.h"

// Every present player's state goes through the remote-state rules (its first
// included) at `now`, the frame's clock reading; Events is any type that presents what happened, on the frame's thread:
//   ruled(Fighter&, const RemoteOutcome&)
//   arrived(int slot, const RemoteState&)   after its first state was ruled
//   left(const RemoteState&)
template <class Events>
void syncRemoteTable(NetClient& net, Fighter* fighters[protocol::SLOT_COUNT], LocalFighter& local,
                     Events& events, uint32_t now) {
    int32_t fragLimit = net.reply().fragLimit;
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        // A whole copy: the receive thread may replace the entry meanwhile.
        protocol::RemoteState entry = net.remoteState(i);
        Fighter*& fighter = fighters[i];
        if (entry.vacant == 0 && !fighter) {
            fighter = new Fighter(entry.skin);
            events.ruled(*fighter, applyRemoteRules(*fighter, entry, local, fragLimit, now));
            events.arrived(i, entry);
        } else if (entry.vacant == 1 && fighter) {
            delete fighter;
            fighter = nullptr;
            events.left(entry);
        } else if (entry.vacant == 0 && fighter) {
            events.ruled(*fighter, applyRemoteRules(*fighter, entry, local, fragLimit, now));
        }
    }
}
