#include "client/records.h"

#include <cstring>

#include "client/map/map_model.h"
#include "client/match/fighter_media.h"
#include "client/match/transform.h"
#include "client/shell/input.h"
#include "client/shell/settings.h"
#include "client/ui/frame_clock.h"
#include "client/ui/text_lines.h"
#include "platform/clock.h"

void resetProcessRecords() {
    settings = Settings{};
    inputState = InputState{};
    setMouseDeltaSource(nullptr);
    platform::setClockSource(nullptr);
    frameClock = FrameClock{};
    frameClock.lastTime = frameClock.previousTime = platform::timeGetTime();
    for (TextLine& line : textLines) line = TextLine{};
    eventActive = 0;
    eventStartTime = 0;
    fighterMedia = silentFighterMedia();
}

void resetScreenRecords() {
    std::memset(inputState.keys, 0, sizeof inputState.keys);
    inputState.leftButton = 0;
    inputState.rightButton = 0;
    inputState.typedCount = 0;
    for (TextLine& line : textLines) line = TextLine{};
    eventActive = 0;
}

void resetMatchRecords() {
    for (Vec3& p : respawnPoints) p = Vec3{};
    std::memset(viewMatrix, 0, sizeof viewMatrix);
    std::memset(viewTranslation, 0, sizeof viewTranslation);
    std::memset(viewRotation, 0, sizeof viewRotation);
    mouseLookFactor = MOUSE_LOOK_FACTOR_AT_START;
}
