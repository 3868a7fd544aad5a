#include "tools/bot/bot.h"

#include <cstdio>

#include "client/map/map.h"
#include "client/match/match_rules.h"
#include "client/match/remote_table.h"
#include "client/shell/input.h"
#include "client/ui/frame_clock.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace {

constexpr uint32_t ROUND_PAUSE_MS = 5000;  // the scoreboard's pause in the game
constexpr uint32_t KEY_A = 0x41, KEY_D = 0x44, KEY_S = 0x53, KEY_W = 0x57;

// The mouse the fighter reads during the bot's own update.
MouseDelta botMouse = {0, 0};
MouseDelta readBotMouse() { return botMouse; }

// The bot's hands on the process-wide input, just before its update.
void holdControls(const BotControls& c) {
    inputState = InputState{};
    inputState.keys[KEY_W] = c.forward;
    inputState.keys[KEY_S] = c.back;
    inputState.keys[KEY_A] = c.left;
    inputState.keys[KEY_D] = c.right;
    inputState.leftButton = c.fire;
    botMouse = {c.mouseX, c.mouseY};
    setMouseDeltaSource(readBotMouse);
}

}  // namespace

class BotTableEvents {
public:
    explicit BotTableEvents(Bot& b) : bot(b) {}
    void apply(Fighter& f, const protocol::RemoteState& s) {
        LocalFighter& me = bot.self;
        mirrorRemoteBody(f, s);
        if (fragLimitReached(s.frags, me.frags, bot.net.reply().fragLimit)) bot.roundOver = true;
        if (takeKillCredit(f, s, me)) {
            bot.tally.kills += 1;
            std::printf("kill %s %s frags=%d\n", me.name, f.name, me.frags);
        }
        mirrorRemoteBeam(f, s);
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
    if (paused) {
        // The scoreboard stays up; the network goes on with the last state.
        if (platform::elapsedMs(now, pausedUntil) < 0) return;
        paused = false;
        restartRound(self);
        lastFrame = now;
    }
    if (roundOver) {
        roundOver = false;
        paused = true;
        pausedUntil = now + ROUND_PAUSE_MS;
        tally.rounds += 1;
        std::printf("round %s frags=%d\n", self.name, self.frags);
        return;
    }
    frameClock.frameTimeMs = platform::elapsedMs(now, lastFrame);
    lastFrame = now;

    BotTableEvents table(*this);
    syncRemoteTable(net, remotes, table);

    for (Fighter* remote : remotes) {
        if (remote && takeHit(self, *remote)) {
            tally.deaths += 1;
            std::printf("death %s %s\n", self.name, remote->name);
        }
    }

    holdControls(brain.think(self, remotes, map->meshList(), now, frameClock.frameTimeMs));
    self.update();
    collideAndPublish(self, remotes, map->meshList());
}
