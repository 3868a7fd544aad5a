// Fighters drawn under a real (offscreen) GL context, read back pixel by
// pixel: skin or blood atlas, the beam under the sprite, the crosshair over
// a wall that is nearer the camera.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include "client/match/fighter_media.h"
#include "client/match/local_fighter.h"
#include "client/match/transform.h"
#include "client/core/records.h"
#include "client/shell/glwindow.h"

namespace {

GLuint solidTexture(unsigned char r, unsigned char g, unsigned char b) {
    unsigned char pixels[4 * 4 * 4];
    for (int i = 0; i < 16; ++i) {
        pixels[i * 4] = r;
        pixels[i * 4 + 1] = g;
        pixels[i * 4 + 2] = b;
        pixels[i * 4 + 3] = 255;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    return name;
}

struct Rgb {
    int r, g, b;
};

class FighterDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        useGlWindows(); ASSERT_TRUE(createGlWindow("Blastavia", 640, 480, 32, false));
        useGlFighterMedia();
        // As in play: 15 above a point 5.5 ahead of a fighter at the origin.
        setViewRotation(0, 0, 0);
        setViewTranslation(0, -5.5f, -15);
    }
    void TearDown() override {
        fighterMedia = silentFighterMedia();
        killGlWindow();
    }

    void clear() {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        applyProjection();
    }

    Rgb pixelAt(Vec3 world) {
        GLdouble projection[16], modelview[16];
        GLint viewport[4];
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        for (int i = 0; i < 16; ++i) modelview[i] = (i % 5 == 0) ? 1.0 : 0.0;
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLdouble wx, wy, wz;
        gluProject(world.x, world.y, world.z, modelview, projection, viewport, &wx, &wy, &wz);
        unsigned char p[4] = {};
        glReadPixels(GLint(wx), GLint(wy), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }

    void paint(LocalFighter& f) {
        f.skinTexture = solidTexture(255, 0, 0);
        f.bloodTexture = solidTexture(0, 0, 255);
        f.laserTexture = solidTexture(0, 255, 0);
        f.crosshairTexture = solidTexture(255, 255, 0);
    }
};

TEST_F(FighterDrawing, SpriteBeamAndCrosshairInTheirOrder) {
    LocalFighter f(0);
    paint(f);
    f.beam.visible = 1;
    f.beam.transform.setPosition(0, 0, 0);
    setBeamCorners(f.beam, 5.0f);
    clear();

    // A wall square between the camera and the crosshair at (0, 6).
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.5f, 0.5f, 0.5f);
    glBegin(GL_QUADS);
    glVertex3f(-1, 5, 1);
    glVertex3f(1, 5, 1);
    glVertex3f(1, 7, 1);
    glVertex3f(-1, 7, 1);
    glEnd();
    glColor3f(1, 1, 1);
    glEnable(GL_TEXTURE_2D);

    f.draw();
    Rgb body = pixelAt({0.3f, -0.3f, 0});
    EXPECT_EQ(body.r, 255);
    EXPECT_EQ(body.g, 0);
    Rgb beam = pixelAt({-0.08f, 3, 0});  // the beam slants in from the gun
    EXPECT_EQ(beam.g, 255);
    EXPECT_EQ(beam.r, 0);
    Rgb cross = pixelAt({0, 6, 0});
    EXPECT_EQ(cross.r, 255);
    EXPECT_EQ(cross.g, 255);
    Rgb wall = pixelAt({0.6f, 6.6f, 1});
    EXPECT_NEAR(wall.r, 128, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FighterDrawing, DeadFighterShowsTheBloodAtlas) {
    LocalFighter f(1);
    paint(f);
    f.dead = 1;
    clear();
    f.draw();
    Rgb body = pixelAt({0, 0, 0});
    EXPECT_EQ(body.b, 255);
    EXPECT_EQ(body.r, 0);
}

}  // namespace
