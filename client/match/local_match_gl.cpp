#include <GL/gl.h>

#include "client/map/map.h"
#include "client/match/local_fighter.h"
#include "client/match/local_match.h"
#include "client/shell/glwindow.h"
#include "client/ui/font.h"
#include "platform/window.h"

void LocalMatch::render() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyProjection();
    map->render();
    localFighter->draw();
    drawTextOverlay();
    platform::swapBuffers(glWindow.hdc);
}
