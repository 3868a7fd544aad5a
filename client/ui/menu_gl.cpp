// Menu drawing: pixel rectangles in a fixed 640 x 480 space, fitted to the
// window (menuView), no textures and no 3-D.
#include <GL/gl.h>

#include "client/ui/menu.h"

namespace {

bool isPagePicture(const Image& picture) {
    return picture.pixels && picture.width == MENU_WIDTH && picture.height == MENU_HEIGHT &&
           picture.bitsPerPixel == 24;
}

// The picture's background: the mean of its outermost pixels, so the bars
// read as the picture running on.
void backgroundColour(const Image& picture, float rgb[3]) {
    rgb[0] = rgb[1] = rgb[2] = 0.0f;
    if (!isPagePicture(picture)) return;
    double sum[3] = {0, 0, 0};
    long count = 0;
    auto add = [&](int x, int y) {
        const unsigned char* px = picture.pixels + (size_t(y) * MENU_WIDTH + size_t(x)) * 3;
        for (int c = 0; c < 3; ++c) sum[c] += px[c];
        ++count;
    };
    for (int x = 0; x < MENU_WIDTH; ++x) {
        add(x, 0);
        add(x, MENU_HEIGHT - 1);
    }
    for (int y = 1; y < MENU_HEIGHT - 1; ++y) {
        add(0, y);
        add(MENU_WIDTH - 1, y);
    }
    for (int c = 0; c < 3; ++c) rgb[c] = float(sum[c] / count / 255.0);
}

}  // namespace

void drawMenuPicture(const Image& picture) {
    MenuView view = menuView();
    float bars[3];
    backgroundColour(picture, bars);
    glClearColor(bars[0], bars[1], bars[2], 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    double box[4];
    menuProjectionBox(view, box);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(box[0], box[1], box[2], box[3], 1.0, -1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2i(0, 0);
    if (!isPagePicture(picture)) return;
    glPixelZoom(float(view.scale), float(view.scale));
    glDrawPixels(MENU_WIDTH, MENU_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, picture.pixels);
    glPixelZoom(1.0f, 1.0f);
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

void drawMenuCursor(const Image& cursor, const MenuPoint& at) {
    float scale = float(menuView().scale);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glRasterPos2d(at.x - 8, MENU_HEIGHT - 8 - at.y);  // centres the 16 x 16 cross on the hot point
    glPixelZoom(scale, scale);
    if (cursor.pixels && cursor.width == 16 && cursor.height == 16 && cursor.bitsPerPixel == 32)
        glDrawPixels(16, 16, GL_RGBA, GL_UNSIGNED_BYTE, cursor.pixels);
    glPixelZoom(1.0f, 1.0f);
    glDisable(GL_BLEND);
}
