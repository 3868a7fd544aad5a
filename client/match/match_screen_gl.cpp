#include <GL/gl.h>

#include "client/map/map.h"
#include "client/match/fighter.h"
#include "client/match/local_fighter.h"
#include "client/match/match_screen.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "client/ui/font.h"
#include "platform/window.h"

void MatchScreen::render() {
    if (!hasVideo) return;
    // The player may resize the window: the text follows its height.
    fitFont(matchFontHeight(glWindow.height), MATCH_FONT_WEIGHT, "Lucida Console");
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyProjection();
    map->render();
    for (Fighter* remote : remoteFighters)
        if (remote && remote->visible) remote->draw();
    localFighter->draw();
    if (inputState.keys[VK_TAB]) drawScoreboard(*this);
    drawTextOverlay();
    platform::swapBuffers(glWindow.hdc);
}
