// Keeps one Fighter per occupied slot of a NetClient's table: created when a
// player arrives, updated every frame, deleted when it leaves. The caller owns the array.
#pragma once
#include "protocol/protocol.h"

struct Fighter;
class NetClient;

// What the program does with each change; called on the frame's thread.
class RemoteTableEvents {
public:
    virtual ~RemoteTableEvents() = default;
    // Every state of a present player, its first one included.
    virtual void apply(Fighter& fighter, const protocol::RemoteState& state) = 0;
    virtual void arrived(int slot, const protocol::RemoteState& state) = 0;
    virtual void left(const protocol::RemoteState& state) = 0;
};

void syncRemoteTable(NetClient& net, Fighter* fighters[protocol::SLOT_COUNT],
                     RemoteTableEvents& events);
