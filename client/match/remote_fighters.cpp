// The other players as the game presents them: arrivals and departures, the
// kill credit and the round end the remote-state rules report, the scoreboard.
#include <cstdio>

#include "client/match/fighter.h"
#include "client/match/local_fighter.h"
#include "client/match/match_rules.h"
#include "client/match/match_screen.h"
#include "client/match/remote_table.h"
#include "client/net/net_client.h"
#include "client/core/trace.h"
#include "client/ui/scoreboard.h"
#include "client/core/records.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace {
constexpr float LINK_COLOUR[3] = {0.5f, 0.7f, 1.0f};
// The overlay's font is laid out like the Windows ANSI code page: 0x97 is "—".
constexpr char EM_DASH[] = "\x97";

class MatchEvents {
public:
    explicit MatchEvents(MatchScreen& m) : match(m) {}
    void ruled(Fighter& f, const RemoteOutcome& happened) {
        if (happened.roundOver) {
            match.roundOver = 1;
            drawScoreboard(match);
        }
        if (happened.killCredited) {
            char text[64];
            std::snprintf(text, sizeof text, "You killed %s", f.name);
            announce(0.0f, 1.0f, 0.0f, text);
            trace(TRACE_FRAGS, match.localFighter->frags);
        }
    }
    void arrived(int slot, const protocol::RemoteState& s) {
        trace(TRACE_REMOTE, slot, s.skin, s.name);
        announceLink(s.name, "has connected");
    }
    void left(const protocol::RemoteState& s) { announceLink(s.name, "has disconnected"); }

private:
    static void announceLink(const char* name, const char* what) {
        char text[64];
        std::snprintf(text, sizeof text, "%s %s", name, what);
        announce(LINK_COLOUR[0], LINK_COLOUR[1], LINK_COLOUR[2], text);
    }
    MatchScreen& match;
};
}  // namespace

void syncRemoteFighters(MatchScreen& match) {
    MatchEvents events(match);
    syncRemoteTable(netClient, match.remoteFighters, *match.localFighter, events,
                    platform::timeGetTime());
}

void drawScoreboard(MatchScreen& match) {
    ScoreRow rows[SCOREBOARD_ROWS] = {};
    platform::copyText(rows[0].name, match.localFighter->name);
    rows[0].frags = match.localFighter->frags;
    rows[0].local = true;
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

    // Our round trip to the server, beside our own row; a dash while the
    // server has not answered for a few seconds.
    const ServerBrowser& ping = match.serverPing;
    char text[32];
    if (ping.count() > 0) std::snprintf(text, sizeof text, "ping %u ms", unsigned(ping.server(0).rttMs));
    else std::snprintf(text, sizeof text, "ping %s", EM_DASH);
    int rank = 0;
    for (const ScoreRow& row : rows) {
        if (row.name[0] == '\0') continue;
        ++rank;
        if (row.local) addTextLine(0.25f, 0.4f - 0.08f * float(rank), 0.7f, 1.0f, 1.0f, text);
    }
}
