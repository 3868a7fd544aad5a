// Menu drawing: pixel rectangles in a fixed 640 x 480 window space, no
// textures and no 3-D.
#include <GL/gl.h>

#include "client/ui/menu.h"

void drawMenuPicture(const Image& picture) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, MENU_WIDTH, 0.0, MENU_HEIGHT, 1.0, -1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2i(0, 0);
    if (picture.pixels && picture.width == MENU_WIDTH && picture.height == MENU_HEIGHT &&
        picture.bitsPerPixel == 24)
        glDrawPixels(MENU_WIDTH, MENU_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, picture.pixels);
}

void drawMenuHighlight(const MenuButton& button) {
    glColor3f(0.3f, 0.3f, 0.1f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glBegin(GL_QUADS);
    for (const auto& corner : button.corners) glVertex2i(corner[0], corner[1]);
    glEnd();
    glDisable(GL_BLEND);
    glColor3f(1.0f, 1.0f, 1.0f);
}

void drawMenuCursor(const Image& cursor, int mx, int my) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glRasterPos2i(mx - 8, 472 - my);  // centres the 16 x 16 cross on the hot point
    if (cursor.pixels && cursor.width == 16 && cursor.height == 16 && cursor.bitsPerPixel == 32)
        glDrawPixels(16, 16, GL_RGBA, GL_UNSIGNED_BYTE, cursor.pixels);
    glDisable(GL_BLEND);
}
