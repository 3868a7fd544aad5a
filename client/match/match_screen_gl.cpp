#include <GL/gl.h>

#include "client/map/map.h"
#include "client/match/fighter.h"
#include "client/match/local_fighter.h"
#include "client/match/match_screen.h"
#include "client/core/records.h"
#include "client/core/trace.h"
#include "client/ui/font.h"
#include "platform/window.h"

void MatchScreen::render() {
    if (!hasVideo) return;
    // The player may resize the window: the text follows its height.
    fitFont(matchFontHeight(glWindow.height), MATCH_FONT_WEIGHT, "Lucida Console");
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyProjection();
    map->render();
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        Fighter* remote = remoteFighters[i];
        if (!remote || !remote->visible || !remoteShown[i]) continue;
        remote->draw();
        trace(TRACE_REMOTE_DRAWN, i, double(remote->body.position.x),
              double(remote->body.position.y));
    }
    localFighter->draw();
    if (inputState.keys[VK_TAB]) drawScoreboard(*this);
    drawTextOverlay();
    platform::swapBuffers(glWindow.hdc);
}
