#include "client/match/local_match.h"

#include <cstdio>

#include "client/map/map.h"
#include "client/match/collision.h"
#include "client/match/fighter_media.h"
#include "client/match/local_fighter.h"
#include "client/shell/glwindow.h"
#include "client/shell/input.h"
#include "client/shell/settings.h"
#include "client/shell/trace.h"
#include "client/ui/font.h"
#include "client/ui/frame_clock.h"
#include "client/ui/screenshot.h"
#include "client/ui/text_lines.h"
#include "platform/window.h"

LocalMatch::LocalMatch(int32_t chosenFighter) {
    quitProgram = 1;
    initMatchVideo();
    useGlFighterMedia();
    localFighter = new LocalFighter(chosenFighter);
    map = new Map("../data/maps/hall/hall.bxm");
    localFighter->respawn();
    localFighter->publishedPosition = localFighter->body.position;
    localFighter->publishState();
    mouseLookFactor = float(settingsCopy().mouseSensitivity + 1) * 0.1f;
    inputState.mouseLook = 1;
    createFont(18, 500, "Lucida Console");
    trace("match opened fighter=%d name=%s", chosenFighter, settingsCopy().playerName);
}

LocalMatch::~LocalMatch() {
    deleteFont();
    delete localFighter;
    delete map;
    killGlWindow();
    trace("match closed");
}

void placeCamera(const LocalFighter& f) {
    Vec3 target = f.body.position + f.forward * 5.5f;
    setViewRotation(-f.body.rotation[0], -f.body.rotation[1], -f.body.rotation[2]);
    setViewTranslation(-target.x, -target.y, -target.z - 15.0f);
}

void LocalMatch::update() {
    updateFrameClock();
    char fps[32];
    std::snprintf(fps, sizeof fps, "fps: %i", int(frameClock.fps));
    addTextLine(0.71f, 0.91f, 1.0f, 1.0f, 1.0f, fps);

    uint8_t wasMoving = localFighter->moved;
    localFighter->update();
    collideWithMap(*localFighter, *map);
    // Where a walk ended, for testers driving the game from outside.
    if (wasMoving && !localFighter->moved)
        trace("match fighter stopped at %.2f %.2f", double(localFighter->body.position.x),
              double(localFighter->body.position.y));
    localFighter->publishedPosition = localFighter->body.position;
    if (localFighter->beam.visible) clipBeamToMap(localFighter->beam, *map);
    localFighter->publishState();
    placeCamera(*localFighter);

    if (inputState.keys[VK_ESCAPE]) {
        quitProgram = 0;
        platform::postQuitRequest();
    }
    if (inputState.keys[VK_F12]) {
        takeScreenshot("../");
        inputState.keys[VK_F12] = 0;
    }
}
