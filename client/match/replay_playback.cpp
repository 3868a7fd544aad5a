#include "client/match/replay_playback.h"

#include <cstdio>
#include <cstring>

#include "client/match/match_rules.h"
#include "platform/text.h"

ReplayPlayback::~ReplayPlayback() { clear(); }

void ReplayPlayback::clear() {
    for (Fighter*& f : fighters) {
        delete f;
        f = nullptr;
    }
    for (RemoteMotion& m : motions) m.reset();
    haveAhead = false;
}

bool ReplayPlayback::open(const char* path) {
    clear();
    if (!reader.open(path)) return false;
    positionMs = 0;
    reader.seek(0);
    return true;
}

std::vector<int> ReplayPlayback::presentPlayers() const {
    std::vector<int> out;
    for (int i = 0; i < PLAYBACK_PLAYERS; ++i)
        if (fighters[i]) out.push_back(i);
    return out;
}

void ReplayPlayback::apply(const replay::ReplayRecord& r, std::vector<PlaybackEvent>* events) {
    if (r.player >= PLAYBACK_PLAYERS) return;
    Fighter*& f = fighters[r.player];
    char name[protocol::NAME_SIZE];
    if (r.flags & replay::RECORD_GONE) {
        if (!f) return;
        platform::printableText(f->name, name, sizeof name);
        if (events) events->push_back({PlaybackEvent::Left, r.player, -1, std::string(name) + " has disconnected"});
        delete f;
        f = nullptr;
        motions[r.player].reset();
        return;
    }
    // The recorded text is the state as on the wire: parsed as a present slot.
    char text[replay::MAX_STATE_LENGTH + 3] = "0 ";
    platform::copyText(text + 2, sizeof text - 2, r.text);
    protocol::RemoteState s;
    if (protocol::parseRelayMessage(text, &s) < 2) return;
    bool arrived = !f;
    if (arrived) {
        f = new Fighter(s.skin);
        motions[r.player].reset();
    }
    bool newKiller = std::strcmp(f->killerId, s.killerId) != 0 && std::strcmp(s.killerId, "0") != 0;
    int32_t limit = reader.header().fragLimit;
    bool wonRound = !arrived && limit > 0 && s.frags >= limit && f->frags < limit;
    bool fired = s.beamVisible && !f->beam.visible;
    mirrorRemoteBody(*f, s);
    motions[r.player].received(s.x, s.y, s.yaw, double(r.timeMs));
    f->dead = s.dead;
    platform::copyText(f->killerId, s.killerId);
    mirrorRemoteBeam(*f, s);
    f->updateTexCoords();
    if (!events) return;
    platform::printableText(f->name, name, sizeof name);
    if (arrived) events->push_back({PlaybackEvent::Arrived, r.player, -1, std::string(name) + " has connected"});
    if (newKiller && !arrived) {
        int killer = -1;
        for (int i = 0; i < PLAYBACK_PLAYERS; ++i)
            if (fighters[i] && i != r.player && std::strcmp(fighters[i]->clientId, s.killerId) == 0) killer = i;
        char killerName[protocol::NAME_SIZE] = "?";
        if (killer >= 0) platform::printableText(fighters[killer]->name, killerName, sizeof killerName);
        events->push_back({PlaybackEvent::Killed, r.player, killer,
                           std::string(killerName) + " killed " + name});
    }
    if (fired) events->push_back({PlaybackEvent::Fired, r.player, -1, ""});
    if (wonRound) events->push_back({PlaybackEvent::RoundWon, r.player, -1, std::string(name) + " wins the round"});
}

void ReplayPlayback::advance(float frameMs, std::vector<PlaybackEvent>* events) {
    uint32_t length = lengthMs();
    if (!paused) positionMs += double(frameMs) * speed();
    if (positionMs > length) positionMs = length;
    for (;;) {
        if (!haveAhead) haveAhead = reader.next(&ahead);
        if (!haveAhead || ahead.timeMs > positionMs) break;
        // A seek's opening state is the scene as it stood: nothing is announced.
        apply(ahead, (ahead.flags & replay::RECORD_KEYFRAME) ? nullptr : events);
        haveAhead = false;
    }
}

void ReplayPlayback::placeShown() {
    for (int i = 0; i < PLAYBACK_PLAYERS; ++i) {
        ShownPose pose;
        if (!fighters[i] || !motions[i].shownAt(positionMs, &pose)) continue;
        fighters[i]->body.setPosition(pose.x, pose.y, 0.0f);
        fighters[i]->body.setRotation(0.0f, 0.0f, pose.yaw);
    }
}

void ReplayPlayback::seek(uint32_t ms) {
    uint32_t length = lengthMs();
    if (ms > length) ms = length;
    clear();
    positionMs = ms;
    reader.seek(ms);
    advance(0.0f, nullptr);
}
