#include <GL/gl.h>

#include "client/core/records.h"
#include "client/map/map.h"
#include "client/match/replay_screen.h"
#include "client/match/transform.h"
#include "client/ui/font.h"
#include "platform/window.h"

void ReplayScreen::render() {
    if (!hasVideo) return;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyProjection();
    map->render();
    for (int p : playback.presentPlayers()) {
        Fighter* f = playback.fighter(p);
        if (f->visible) f->draw();
    }
    drawTextOverlay();
    drawTimeline();
    platform::swapBuffers(glWindow.hdc);
}

// The bar along the bottom: played part, a mark for each kill, the position.
void ReplayScreen::drawTimeline() {
    TimelineBox b = timelineBox(glWindow.width, glWindow.height);
    uint32_t length = playback.lengthMs();
    auto xAt = [&](uint32_t ms) {
        return float(b.x0) + float(b.x1 - b.x0) * (length ? float(ms) / float(length) : 0.0f);
    };
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, glWindow.width, 0.0, glWindow.height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    float played = xAt(playback.position());
    glBegin(GL_QUADS);
    glColor4f(0.05f, 0.05f, 0.15f, 0.7f);
    glVertex2f(float(b.x0), float(b.y0));
    glVertex2f(float(b.x1), float(b.y0));
    glVertex2f(float(b.x1), float(b.y1));
    glVertex2f(float(b.x0), float(b.y1));
    glColor4f(0.3f, 0.5f, 1.0f, 0.7f);
    glVertex2f(float(b.x0), float(b.y0 + 5));
    glVertex2f(played, float(b.y0 + 5));
    glVertex2f(played, float(b.y1 - 5));
    glVertex2f(float(b.x0), float(b.y1 - 5));
    glEnd();
    glBegin(GL_LINES);
    glColor4f(1.0f, 0.35f, 0.25f, 0.95f);
    for (uint32_t t : killMarks) {
        glVertex2f(xAt(t), float(b.y0));
        glVertex2f(xAt(t), float(b.y1));
    }
    glEnd();
    glBegin(GL_QUADS);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glVertex2f(played - 2, float(b.y0 - 4));
    glVertex2f(played + 2, float(b.y0 - 4));
    glVertex2f(played + 2, float(b.y1 + 4));
    glVertex2f(played - 2, float(b.y1 + 4));
    glEnd();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
