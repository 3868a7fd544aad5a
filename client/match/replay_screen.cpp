#include "client/match/replay_screen.h"

#include <cmath>
#include <cstdio>

#include "client/core/records.h"
#include "client/core/trace.h"
#include "client/map/map.h"
#include "client/match/fighter_media.h"
#include "client/match/match_rules.h"
#include "client/match/match_screen.h"
#include "client/match/transform.h"
#include "client/ui/font.h"
#include "client/ui/replays_page.h"
#include "client/ui/scoreboard.h"
#include "client/ui/screenshot.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/window.h"

namespace {
constexpr float MAX_STEP_MS = 250.0f;
constexpr float FREE_PAN_PER_MS = 0.02f;
constexpr float FREE_HEIGHT_MIN = 8.0f, FREE_HEIGHT_MAX = 80.0f;
constexpr float KILL_COLOUR[3] = {1.0f, 0.6f, 0.2f};
constexpr float LINK_COLOUR[3] = {0.5f, 0.7f, 1.0f};

void cursorInWindow(int* x, int* yUp) {
    MouseDelta p = mouseDelta();  // absolute while mouse-look is off
    int mx = p.x, my = p.y;
    platform::screenToClient(glWindow.hwnd, &mx, &my);
    *x = mx;
    *yUp = glWindow.height - my;
}
}  // namespace

TimelineBox timelineBox(int width, int height) {
    (void)height;
    return TimelineBox{40, width - 40, 14, 30};
}

uint32_t timelineTimeAt(const TimelineBox& box, int x, uint32_t lengthMs) {
    if (x <= box.x0 || box.x1 <= box.x0) return 0;
    if (x >= box.x1) return lengthMs;
    return uint32_t(double(lengthMs) * (x - box.x0) / double(box.x1 - box.x0));
}

ReplayScreen::ReplayScreen(const char* path) {
    hasVideo = initMatchVideo();
    if (hasVideo) useGlFighterMedia();
    else fighterMedia = silentFighterMedia();
    bool opened = playback.open(path);
    std::string mapPath = opened ? recordingMapPath(playback.header().mapName) : "";
    if (!opened || mapPath.empty()) {
        // The page said why already; back to it before the first frame.
        quitProgram = 0;
        platform::postQuitRequest();
        map = new Map(MAP_GEOMETRY_ONLY);
    } else {
        std::string full = "../data/maps/" + mapPath;
        map = hasVideo ? new Map(full.c_str()) : new Map(full.c_str(), LEVEL_GEOMETRY_ONLY);
    }
    if (opened)
        for (const replay::ReplayKill& k : playback.summary().kills) killMarks.push_back(k.timeMs);
    inputState.mouseLook = 0;  // the cursor picks names and the timeline
    inputState.typedCount = 0;
    if (hasVideo) createFont(18, 500, "Lucida Console");
    loadSound(shotSound, "../data/sfx/shot.wav");
    loadSound(squishSound, "../data/sfx/squish.wav");
    playback.advance(0.0f, &events);
    events.clear();
    std::vector<int> present = playback.presentPlayers();
    follow(present.empty() ? -1 : present.front());
    trace(TRACE_REPLAY_OPENED, playback.header().mapName, int(playback.lengthMs()),
          int(playback.summary().players.size()));
}

ReplayScreen::~ReplayScreen() {
    if (hasVideo) deleteFont();
    freeSound(shotSound);
    freeSound(squishSound);
    delete map;
    map = nullptr;
    killGlWindow();
    trace(TRACE_REPLAY_CLOSED);
}

void ReplayScreen::follow(int player) {
    following = player;
    Fighter* f = playback.fighter(player);
    if (!f) following = -1;
    char name[protocol::NAME_SIZE] = "free";
    if (f) platform::printableText(f->name, name, sizeof name);
    trace(TRACE_REPLAY_FOLLOW, name);
}

void ReplayScreen::seekTo(uint32_t ms) {
    int kept = following;
    playback.seek(ms);
    // The followed player, if still there after the jump, stays followed.
    if (kept >= 0 && playback.fighter(kept)) following = kept;
    trace(TRACE_REPLAY_SEEK, int(playback.position()));
}

void ReplayScreen::takeKeys() {
    TypedKey keys[TYPED_KEYS_KEPT];
    int n = takeTyped(keys, TYPED_KEYS_KEPT);
    for (int i = 0; i < n; ++i) {
        const TypedKey& k = keys[i];
        if (k.character == ' ') {
            playback.paused = !playback.paused;
            trace(TRACE_REPLAY_PAUSED, playback.paused ? 1 : 0, int(playback.position()));
        } else if (k.character == '-' || k.character == '+' || k.character == '=') {
            int step = k.character == '-' ? -1 : 1;
            int next = playback.speedIndex + step;
            if (next >= 0 && next < PLAYBACK_SPEED_COUNT) playback.speedIndex = next;
            trace(TRACE_REPLAY_SPEED, double(playback.speed()));
        } else if (k.character >= '1' && k.character <= '9') {
            std::vector<int> present = playback.presentPlayers();
            size_t pick = size_t(k.character - '1');
            if (pick < present.size()) follow(present[pick]);
        } else if (k.character == 'f' || k.character == 'F') {
            if (following >= 0) {
                if (Fighter* f = playback.fighter(following)) {
                    freeX = f->body.position.x;
                    freeY = f->body.position.y;
                }
                follow(-1);
            }
        } else if (k.virtualKey == VK_LEFT) {
            uint32_t at = playback.position();
            seekTo(at > SEEK_STEP_MS ? at - SEEK_STEP_MS : 0);
        } else if (k.virtualKey == VK_RIGHT) {
            seekTo(playback.position() + SEEK_STEP_MS);
        }
    }
}

void ReplayScreen::takeClick() {
    if (!takeLeftPress()) return;
    int x, y;
    cursorInWindow(&x, &y);
    TimelineBox box = timelineBox(glWindow.width, glWindow.height);
    if (y >= box.y0 - 6 && y <= box.y1 + 6 && x >= box.x0 && x <= box.x1) {
        seekTo(timelineTimeAt(box, x, playback.lengthMs()));
        return;
    }
    // The names listed at the left, one line each from the top.
    std::vector<int> present = playback.presentPlayers();
    int row = (glWindow.height - y - 40) / 22;
    if (x < 260 && row >= 0 && size_t(row) < present.size() && glWindow.height - y >= 40)
        follow(present[size_t(row)]);
}

void ReplayScreen::placeViewCamera() {
    Fighter* f = playback.fighter(following);
    if (!f) {
        following = -1;
        setViewRotation(0.0f, 0.0f, 0.0f);
        setViewTranslation(-freeX, -freeY, -freeHeight);
        return;
    }
    // As the match camera: above a point ahead of the fighter, turned with it.
    float yaw = f->body.rotation[2] * 3.14159265f / 180.0f;
    float fx = -std::sin(yaw), fy = std::cos(yaw);
    float tx = f->body.position.x + fx * CAMERA_AHEAD, ty = f->body.position.y + fy * CAMERA_AHEAD;
    setViewRotation(-f->body.rotation[0], -f->body.rotation[1], -f->body.rotation[2]);
    setViewTranslation(-tx, -ty, -CAMERA_HEIGHT);
}

void ReplayScreen::queueHud() {
    char line[96], at[16], length[16];
    formatLength(playback.position(), at, sizeof at);
    formatLength(playback.lengthMs(), length, sizeof length);
    std::snprintf(line, sizeof line, "%s / %s  %gx%s", at, length, double(playback.speed()),
                  playback.paused ? "  paused" : "");
    addTextLine(0.20f, 0.91f, 1.0f, 1.0f, 1.0f, line);
    std::vector<int> present = playback.presentPlayers();
    bool roundBoard = playback.position() < boardUntil && boardUntil - playback.position() <= ROUND_PAUSE_MS;
    bool board = inputState.keys[VK_TAB] || roundBoard;
    // The board lists the names where the numbered list stands: one at a time.
    for (size_t i = 0; i < present.size() && i < 9 && !board; ++i) {
        Fighter* f = playback.fighter(present[i]);
        char name[protocol::NAME_SIZE];
        platform::printableText(f->name, name, sizeof name);
        std::snprintf(line, sizeof line, "%d %s%s", int(i + 1), name, f->dead ? " (dead)" : "");
        float pixelsDown = 40.0f + 22.0f * float(i) + 16.0f;
        float y = 1.0f - 2.0f * pixelsDown / float(glWindow.height);
        bool on = present[i] == following;
        addTextLine(-0.96f, y, on ? 1.0f : 0.7f, on ? 1.0f : 0.8f, on ? 0.3f : 1.0f, line);
    }
    if (following < 0) addTextLine(-0.96f, 0.83f, 1.0f, 1.0f, 0.5f, "free camera");
    if (board) {
        ScoreRow rows[SCOREBOARD_ROWS] = {};
        int r = 1;
        for (int p : present) {
            if (r >= SCOREBOARD_ROWS) break;
            Fighter* f = playback.fighter(p);
            platform::printableText(f->name, rows[r].name, sizeof rows[r].name);
            rows[r].frags = f->frags;
            ++r;
        }
        sortScoreRows(rows);
        ScoreLine lines[SCOREBOARD_MAX_LINES];
        int count = scoreboardLines(rows, lines);
        for (int i = 0; i < count; ++i)
            addTextLine(lines[i].x, lines[i].y, lines[i].red, lines[i].green, lines[i].blue, lines[i].text);
    }
}

void ReplayScreen::update() {
    updateFrameClock();
    takeKeys();
    takeClick();
    events.clear();
    // Real time since the last frame; the first frame's covers the menu, and
    // a window away from the focus runs none: neither jumps the playback.
    float frameMs = float(frameClock.frameTimeMs);
    if (frameMs > MAX_STEP_MS || frameMs < 0) frameMs = firstFrame ? 0.0f : MAX_STEP_MS;
    firstFrame = false;
    playback.advance(frameMs, &events);
    playback.placeShown();
    for (const PlaybackEvent& e : events) {
        if (e.kind == PlaybackEvent::Fired) {
            playSound(shotSound, CHANNEL_SHOT);
            continue;
        }
        if (e.kind == PlaybackEvent::Killed) playSound(squishSound, CHANNEL_SQUISH);
        if (e.kind == PlaybackEvent::RoundWon) {
            boardUntil = playback.position() + ROUND_PAUSE_MS;
            trace(TRACE_ROUND_OVER);
        }
        const float* c = e.kind == PlaybackEvent::Killed ? KILL_COLOUR : LINK_COLOUR;
        announce(c[0], c[1], c[2], e.text.c_str());
    }
    // The player followed left: the camera goes on with the first one still there.
    if (following >= 0 && !playback.fighter(following)) {
        std::vector<int> present = playback.presentPlayers();
        follow(present.empty() ? -1 : present.front());
    }
    if (following < 0) {
        float step = FREE_PAN_PER_MS * float(frameClock.frameTimeMs) * freeHeight / 30.0f;
        if (inputState.keys['W'] || inputState.keys[VK_UP]) freeY += step;
        if (inputState.keys['S'] || inputState.keys[VK_DOWN]) freeY -= step;
        if (inputState.keys['A']) freeX -= step;
        if (inputState.keys['D']) freeX += step;
        float zoom = 0.03f * float(frameClock.frameTimeMs);
        if (inputState.keys[VK_PRIOR]) freeHeight = std::fmax(FREE_HEIGHT_MIN, freeHeight - zoom);
        if (inputState.keys[VK_NEXT]) freeHeight = std::fmin(FREE_HEIGHT_MAX, freeHeight + zoom);
    }
    placeViewCamera();
    queueHud();

    uint32_t now = platform::timeGetTime();
    if (traceEnabled() && now - tracedAt >= 250) {
        tracedAt = now;
        Fighter* f = playback.fighter(following);
        char name[protocol::NAME_SIZE] = "free";
        if (f) platform::printableText(f->name, name, sizeof name);
        trace(TRACE_REPLAY_AT, int(playback.position()), name, f ? double(f->body.position.x) : double(freeX),
              f ? double(f->body.position.y) : double(freeY), playback.paused ? 1 : 0);
    }
    if (inputState.keys[VK_ESCAPE]) {
        quitProgram = 0;
        platform::postQuitRequest();
        // Let go here: the menu that follows must not take it for its own
        // Escape, which would leave the Replays page for the main one.
        inputState.keys[VK_ESCAPE] = 0;
    }
    if (inputState.keys[VK_F12]) {
        takeScreenshot("../");
        trace(TRACE_SCREENSHOT);
        inputState.keys[VK_F12] = 0;
    }
}
