#include <GL/gl.h>
#include <cstring>

#include "client/ui/font.h"
#include "client/core/records.h"

namespace {
void drawLine(const TextLine& line) {
    glColor3f(line.red, line.green, line.blue);
    glRasterPos2f(line.x, line.y);
    glCallLists(GLsizei(std::strlen(line.text)), GL_UNSIGNED_BYTE, line.text);
}
}  // namespace

void drawTextOverlay() {
    expireEventMessage();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    // Identity in both matrices: positions are normalised device coordinates.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontListBase);
    if (textLines[0].text[0] != '\0') drawLine(textLines[0]);
    for (int i = 1; i < TEXT_LINE_COUNT && textLines[i].text[0] != '\0'; ++i) drawLine(textLines[i]);
    glColor3f(1.0f, 1.0f, 1.0f);
    glPopAttrib();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    clearFrameLines();
}
