#include "tools/bot/bot.h"

#include <cstdio>

#include "client/map/map.h"
#include "client/match/match_rules.h"
#include "client/match/remote_table.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/virtual_keys.h"

namespace {

// The fighter's input for one frame from what the brain decided.
FighterInput handsOn(const BotControls& c, const LocalFighter& me, int64_t frameMs, uint32_t now) {
    FighterInput in;
    in.keys[KEY_W] = c.forward;
    in.keys[KEY_S] = c.back;
    in.keys[KEY_A] = c.left;
    in.keys[KEY_D] = c.right;
    in.fire = c.fire;
    in.turnDegrees = c.turnDegrees;
    in.aimOut = c.aimDistance - me.aimDistance;
    in.frameTimeMs = frameMs;
    in.now = now;
    return in;
}

}  // namespace

class BotTableEvents {
public:
    explicit BotTableEvents(Bot& b) : bot(b) {}
    void ruled(Fighter& f, const RemoteOutcome& happened) {
        if (happened.roundOver) bot.roundPause.roundEnded();
        if (happened.killCredited) {
            bot.tally.kills += 1;
            std::printf("kill %s %s frags=%d\n", bot.self.name, f.name, bot.self.frags);
        }
    }
    void arrived(int, const protocol::RemoteState& s) {
        std::printf("seen %s %s\n", bot.self.name, s.name);
    }
    void left(const protocol::RemoteState& s) {
        std::printf("gone %s %s\n", bot.self.name, s.name);
    }

private:
    Bot& bot;
};

Bot::Bot(int number, const std::string& name, int32_t skin, int skill, uint32_t seed)
    : idTag(number), self(skin), brain(skill, seed) {
    platform::copyText(self.name, name.c_str());
    // The first states on the wire already carry the bot's name.
    self.publishState();
}

Bot::~Bot() {
    // The send thread reads the fighter: it stops before anything goes.
    net.leaveServer();
    for (Fighter*& r : remotes) {
        delete r;
        r = nullptr;
    }
}

JoinOutcome Bot::join(const char* server) {
    LocalFighter* me = &self;
    JoinOutcome outcome =
        net.connect(server, [me](protocol::StateMessage& m) { fillStateMessage(*me, m); }, idTag);
    if (outcome == JoinOutcome::Joined) platform::copyText(self.clientId, net.clientId());
    return outcome;
}

void Bot::enter(const Map& arena, uint32_t now) {
    map = &arena;
    lastFrame = now;
    self.respawn();
    self.publishedPosition = self.body.position;
    self.publishState();
}

bool Bot::serverSilentFor(uint32_t now, uint32_t ms) const {
    return platform::elapsedMs(now, net.lastHeardMs()) > int64_t(ms);
}

void Bot::frame(uint32_t now) {
    switch (roundPause.step(now, self)) {
    case RoundPause::Step::Began:
        tally.rounds += 1;
        std::printf("round %s frags=%d\n", self.name, self.frags);
        return;
    case RoundPause::Step::Holding: return;
    case RoundPause::Step::Restart:
        std::printf("restart %s\n", self.name);
        lastFrame = now;
        break;
    case RoundPause::Step::Play: break;
    }
    int64_t frameMs = platform::elapsedMs(now, lastFrame);
    lastFrame = now;

    BotTableEvents table(*this);
    syncRemoteTable(net, remotes, self, table, now);
    placeShownRemotes(net, remotes, motions, now, shown);

    const std::vector<MapMesh>& meshes = map->meshList();
    LocalFrame played = playLocalFrame(self, remotes, meshes, [&] {
        // The brain sees the frame's hits, as a player sees its own death.
        self.step(handsOn(brain.think(self, remotes, meshes, now, frameMs), self, frameMs, now));
    });
    if (played.killer) {
        tally.deaths += 1;
        std::printf("death %s %s\n", self.name, played.killer->name);
    }
}
