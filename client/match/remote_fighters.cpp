// The other players: fighters mirrored from the network table, the kill
// credit that arrives in a victim's state, and the round end.
#include <cstdio>
#include <cstring>

#include "client/match/fighter.h"
#include "client/match/local_fighter.h"
#include "client/match/match_screen.h"
#include "client/net/net_client.h"
#include "client/shell/trace.h"
#include "client/ui/scoreboard.h"
#include "client/ui/text_lines.h"
#include "platform/text.h"

namespace {
constexpr float LINK_COLOUR[3] = {0.5f, 0.7f, 1.0f};
}

void syncRemoteFighters(MatchScreen& match) {
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        // A whole copy: the receive thread may replace the entry meanwhile.
        protocol::RemoteState entry = netClient.remoteState(i);
        Fighter*& fighter = match.remoteFighters[i];
        char text[64];
        if (entry.vacant == 0 && !fighter) {
            fighter = new Fighter(entry.skin);
            applyRemoteState(match, *fighter, entry);
            std::snprintf(text, sizeof text, "%s has connected", entry.name);
            announce(LINK_COLOUR[0], LINK_COLOUR[1], LINK_COLOUR[2], text);
        } else if (entry.vacant == 1 && fighter) {
            delete fighter;
            fighter = nullptr;
            std::snprintf(text, sizeof text, "%s has disconnected", entry.name);
            announce(LINK_COLOUR[0], LINK_COLOUR[1], LINK_COLOUR[2], text);
        } else if (entry.vacant == 0 && fighter) {
            applyRemoteState(match, *fighter, entry);
        }
    }
}

void applyRemoteState(MatchScreen& match, Fighter& f, const protocol::RemoteState& s) {
    LocalFighter& local = *match.localFighter;
    platform::copyText(f.clientId, s.clientId);
    f.skin = s.skin;  // the texture chosen at creation stays
    platform::copyText(f.name, s.name);
    f.body.setPosition(s.x, s.y, 0.0f);
    f.body.setRotation(0.0f, 0.0f, s.yaw);
    f.sphere.current = f.sphere.previous = f.body.position;
    f.animFrame = s.animFrame;
    f.frags = s.frags;

    int32_t fragLimit = netClient.reply().fragLimit;
    if (s.frags >= fragLimit || local.frags >= fragLimit) {
        match.roundOver = 1;
        drawScoreboard(match);
    }

    f.dead = s.dead;
    // A kill is credited once: on the first state that names us as a new killer.
    if (std::strcmp(s.killerId, f.killerId) != 0 && std::strcmp(s.killerId, local.clientId) == 0) {
        local.frags += 1;
        char text[64];
        std::snprintf(text, sizeof text, "You killed %s", f.name);
        announce(0.0f, 1.0f, 0.0f, text);
        trace("frags %d", local.frags);
    }
    platform::copyText(f.killerId, s.killerId);

    f.beam.visible = s.beamVisible;
    f.beam.transform.setPosition(s.beamX, s.beamY, 0.0f);
    f.beam.transform.setRotation(0.0f, 0.0f, s.beamYaw);
    setBeamCorners(f.beam, s.beamLength);
    f.beam.end = {s.beamEndX, s.beamEndY, 0.0f};
}

void drawScoreboard(MatchScreen& match) {
    ScoreRow rows[SCOREBOARD_ROWS] = {};
    platform::copyText(rows[0].name, match.localFighter->name);
    rows[0].frags = match.localFighter->frags;
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        const Fighter* remote = match.remoteFighters[i];
        if (!remote) continue;
        platform::copyText(rows[i + 1].name, remote->name);
        rows[i + 1].frags = remote->frags;
    }
    sortScoreRows(rows);
    ScoreLine lines[SCOREBOARD_MAX_LINES];
    int count = scoreboardLines(rows, lines);
    for (int i = 0; i < count; ++i)
        addTextLine(lines[i].x, lines[i].y, lines[i].red, lines[i].green, lines[i].blue, lines[i].text);
}
