#include "client/match/remote_table.h"

#include "client/match/fighter.h"
#include "client/net/net_client.h"

void syncRemoteTable(NetClient& net, Fighter* fighters[protocol::SLOT_COUNT],
                     RemoteTableEvents& events) {
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
