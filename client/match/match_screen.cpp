#include "client/match/match_screen.h"

#include <cstdio>
#include <cstdlib>

#include "client/map/map.h"
#include "client/match/collision.h"
#include "client/match/fighter_media.h"
#include "client/match/local_fighter.h"
#include "client/match/match_rules.h"
#include "client/net/join_server.h"
#include "client/net/net_client.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "client/core/trace.h"
#include "client/ui/font.h"
#include "client/core/records.h"
#include "client/ui/screenshot.h"
#include "client/core/records.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/window.h"

namespace {

// Where we stand, for the end-to-end tests: a few times a second.
void traceLocalState(const LocalFighter& f) {
    uint32_t& last = matchRecords.stateTracedAt;
    uint32_t now = platform::timeGetTime();
    if (!traceEnabled() || now - last < 100) return;
    last = now;
    trace(TRACE_STATE, f.body.position.x, f.body.position.y, f.body.rotation[2], f.aimDistance,
          f.dead, f.frags, int(frameClock.fps));
}

}  // namespace

void announce(float red, float green, float blue, const char* text) {
    showEventMessage(red, green, blue, text);
    trace(TRACE_EVENT, text);
}

void placeCamera(const LocalFighter& f) {
    Vec3 target = f.body.position + f.forward * CAMERA_AHEAD;
    setViewRotation(-f.body.rotation[0], -f.body.rotation[1], -f.body.rotation[2]);
    setViewTranslation(-target.x, -target.y, -target.z - CAMERA_HEIGHT);
}

MatchScreen::MatchScreen(int32_t chosenFighter) {
    quitProgram = 1;
    roundOver = 0;
    // Without a window there is no GL context: the construction goes on (the
    // quit request is already queued) but nothing of it may touch GL.
    hasVideo = initMatchVideo();
    if (hasVideo) useGlFighterMedia();
    else fighterMedia = silentFighterMedia();
    localFighter = new LocalFighter(chosenFighter);

    LocalFighter* fighter = localFighter;
    auto source = [fighter](protocol::StateMessage& m) { fillStateMessage(*fighter, m); };
    bool joined = joinServer(netClient, settingsCopy().serverName, source);
    if (joined) {
        platform::copyText(localFighter->clientId, netClient.clientId());
        char address[16];
        platform::addressText(netClient.serverAddress(), address);
        serverPing.setAskNetwork(false);
        serverPing.setDirectHost(address);
        serverPing.open();
    }
    else
        fatalError("Could not join the server");  // unseen after "Server is full"

    char path[128];
    std::snprintf(path, sizeof path, "../data/maps/%s", netClient.reply().mapPath);
    // After a failed join there is no map to trust; the screen ends unplayed.
    if (joined && hasVideo) map = new Map(path);
    else if (joined) map = new Map(path, LEVEL_GEOMETRY_ONLY);
    else map = new Map(MAP_GEOMETRY_ONLY);

    localFighter->respawn();
    localFighter->publishedPosition = localFighter->body.position;
    localFighter->publishState();
    mouseLookFactor = float(settingsCopy().mouseSensitivity + 1) * 0.1f;
    inputState.mouseLook = 1;
    if (hasVideo) createFont(matchFontHeight(glWindow.height), MATCH_FONT_WEIGHT, "Lucida Console");

    char musicPath[64];
    std::snprintf(musicPath, sizeof musicPath, "../data/music/%i.ogg", std::rand() % 3);
    loadSound(music, musicPath);
    setSoundVolume(music, settingsCopy().volume * 6);
    playSound(music, CHANNEL_MUSIC);
    trace(TRACE_MATCH_OPENED, chosenFighter, settingsCopy().playerName, path,
          netClient.clientId());
    if (joined && hasVideo && settingsCopy().recordMatches)
        recording.start(netClient, localFighter->name, platform::timeGetTime());
}

MatchScreen::~MatchScreen() {
    serverPing.close();
    if (hasVideo) deleteFont();
    for (Fighter*& remote : remoteFighters) {
        delete remote;  // its destructor deletes its three textures
        remote = nullptr;
    }
    // The send thread reads the local fighter: stop it before the fighter goes.
    netClient.leaveServer();
    recording.stop();
    delete localFighter;
    localFighter = nullptr;
    delete map;
    map = nullptr;
    haltChannel(CHANNEL_MUSIC);
    freeSound(music);
    killGlWindow();
    trace(TRACE_MATCH_CLOSED);
}

void MatchScreen::update() {
    updateFrameClock();
    char fps[32];
    std::snprintf(fps, sizeof fps, "fps: %i", int(frameClock.fps));
    addTextLine(0.71f, 0.91f, 1.0f, 1.0f, 1.0f, fps);

    serverPing.poll(platform::timeGetTime());
    if (roundOver == 1) {
        roundOver = 0;
        roundPause.roundEnded();
    }
    switch (roundPause.step(platform::timeGetTime(), *localFighter)) {
    case RoundPause::Step::Began:
        trace(TRACE_ROUND_OVER);
        [[fallthrough]];
    case RoundPause::Step::Holding:
        // The last frame stands, scoreboard up; the network goes on, and the
        // player may still leave or take a screenshot.
        drawScoreboard(*this);
        recording.update();
        takeLeaveAndScreenshotKeys();
        return;
    case RoundPause::Step::Restart: trace(TRACE_ROUND_RESTARTED); break;
    case RoundPause::Step::Play: break;
    }

    syncRemoteFighters(*this);
    placeShownRemotes(netClient, remoteFighters, remoteMotion, platform::timeGetTime(),
                      remoteShown);

    uint8_t wasMoving = localFighter->moved;
    LocalFighter* fighter = localFighter;
    LocalFrame frame = playLocalFrame(*fighter, remoteFighters, map->meshList(),
                                      [fighter] { fighter->update(); });
    if (frame.killer) {
        char text[64];
        std::snprintf(text, sizeof text, "Killed by %s", frame.killer->name);
        announce(1.0f, 0.0f, 0.0f, text);
    }
    // Where a walk ended, for testers driving the game from outside.
    if (wasMoving && !localFighter->moved)
        trace(TRACE_FIGHTER_STOPPED, double(localFighter->body.position.x),
              double(localFighter->body.position.y));

    // The name goes with the fighter as drawn, not as last received.
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        const Fighter* remote = remoteFighters[i];
        if (remote && remoteShown[i] && isAimedAtShown(*localFighter, *remote))
            addTextLine(-0.96f, 0.83f, 1.0f, 1.0f, 0.5f, remote->name);
    }
    placeCamera(*localFighter);

    traceLocalState(*localFighter);
    recording.update();
    takeLeaveAndScreenshotKeys();
}

void MatchScreen::takeLeaveAndScreenshotKeys() {
    if (inputState.keys[VK_ESCAPE]) {
        quitProgram = 0;
        platform::postQuitRequest();
    }
    if (inputState.keys[VK_F12]) {
        takeScreenshot("../");
        trace(TRACE_SCREENSHOT);
        inputState.keys[VK_F12] = 0;
    }
}
