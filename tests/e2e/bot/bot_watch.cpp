#include "bot_watch.h"

#include <cmath>

#include "client/match/collision.h"
#include "client/match/fighter.h"
#include "platform/clock.h"
#include "platform/text.h"

BotWatch::BotWatch(const char* mapPath) : map(mapPath, MAP_GEOMETRY_ONLY) {
    for (const MapMesh& mesh : map.meshList())
        for (int i = 0; i < mesh.faceCount; ++i)
            for (const MapVertex& c : mesh.faces[i].corners) {
                minX = std::fmin(minX, c.position.x);
                minY = std::fmin(minY, c.position.y);
                maxX = std::fmax(maxX, c.position.x);
                maxY = std::fmax(maxY, c.position.y);
            }
}

bool BotWatch::join() {
    auto source = [](protocol::StateMessage& m) {
        platform::copyText(m.name, "Watcher");
        m.x = m.y = 1000.0f;
        m.dead = 1;
    };
    return net.connect("127.0.0.1", source) == JoinOutcome::Joined;
}

bool BotWatch::inWallOrOutside(float x, float y) const {
    if (x < minX || x > maxX || y < minY || y > maxY) return true;
    Vec3 p{x, y, 0.0f};
    for (const MapMesh& mesh : map.meshList()) {
        for (int i = 0; i < mesh.faceCount; ++i) {
            const MapFace& f = mesh.faces[i];
            if (std::fabs(f.planeNormal.z) > 0.5f) continue;  // floors and tops
            float d = dot(f.planeNormal, p) + f.planeDistance;
            // The centre sunk more than half a body into a wall, or behind it.
            if (d > -FIGHTER_RADIUS && d < FIGHTER_RADIUS * 0.5f &&
                pointInFace(p - f.planeNormal * d, f))
                return true;
        }
    }
    return false;
}

void BotWatch::poll() {
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        protocol::RemoteState s = net.remoteState(i);
        if (s.vacant) continue;
        Watched& w = players[s.clientId];
        w.name = s.name;
        if (s.killerId != w.lastKiller && std::string(s.killerId) != "0") {
            w.deaths += 1;
            players[s.killerId].credited += 1;
        }
        w.lastKiller = s.killerId;
        w.frags = s.frags;
        if (inWallOrOutside(s.x, s.y)) {
            w.badPositions += 1;
            w.badX = s.x;
            w.badY = s.y;
        }
    }
}

void BotWatch::watch(uint32_t ms) {
    uint32_t start = platform::timeGetTime();
    while (platform::timeGetTime() - start < ms) {
        poll();
        platform::sleepMs(4);
    }
}

bool BotWatch::watchUntilFrags(int frags, uint32_t ms) {
    uint32_t start = platform::timeGetTime();
    while (platform::timeGetTime() - start < ms) {
        poll();
        for (auto& p : players)
            if (p.second.frags >= frags) return true;
        platform::sleepMs(4);
    }
    return false;
}
