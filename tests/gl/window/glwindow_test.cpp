// The window and the fixed GL state every drawing part of the game relies on,
// under a real (offscreen) OpenGL context.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "client/core/records.h"
#include "client/shell/glwindow.h"
#include "platform/window.h"

namespace {

TEST(GlWindow, CreatesTheContextWithTheGameState) {
    useGlWindows(); ASSERT_TRUE(createGlWindow("Blastavia", 640, 480, 16, false));
    EXPECT_NE(glWindow.hwnd, nullptr);
    EXPECT_NE(glWindow.hglrc, nullptr);
    EXPECT_EQ(glWindow.width, 640);
    EXPECT_EQ(glWindow.height, 480);

    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_BACK);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    glGetIntegerv(GL_FRONT_FACE, &value);
    EXPECT_EQ(value, GL_CCW);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    GLfloat colour[4] = {};
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    EXPECT_FLOAT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 0.0f);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    EXPECT_TRUE(killGlWindow());
    EXPECT_EQ(glWindow.hwnd, nullptr);
    EXPECT_EQ(glWindow.hglrc, nullptr);
}

TEST(GlWindow, AZeroHeightClientAreaKeepsAValidViewport) {
    useGlWindows(); ASSERT_TRUE(createGlWindow("Blastavia", 640, 480, 32, false));
    resizeGlScene(320, 0);
    EXPECT_EQ(glWindow.width, 320);
    EXPECT_EQ(glWindow.height, 1);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 1);
    EXPECT_TRUE(killGlWindow());
}

TEST(GlWindow, TheWindowClassIsFreeAgainAfterEachScreen) {
    for (int screen = 0; screen < 3; ++screen) {
        useGlWindows(); ASSERT_TRUE(createGlWindow("Blastavia", 640, 480, 16, false)) << "screen " << screen;
        EXPECT_TRUE(killGlWindow());
    }
}

}  // namespace
