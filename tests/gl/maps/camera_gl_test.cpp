// The processor's Transform and camera matrices against the GL matrix stack
// they stand in for, under a real (offscreen) GL context.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "client/match/transform.h"
#include "client/core/records.h"
#include "client/shell/glwindow.h"

namespace {

class CameraGl : public ::testing::Test {
protected:
    static void SetUpTestSuite() { useGlWindows(); ASSERT_TRUE(createGlWindow("camera", 320, 240, 32, false)); }
    static void TearDownTestSuite() { killGlWindow(); }
};

void readModelview(float out[16]) { glGetFloatv(GL_MODELVIEW_MATRIX, out); }

void expectNear(const float a[16], const float b[16], const char* what) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], 2e-5f * (1.0f + std::fabs(b[i]))) << what << " element " << i;
}

void glRotations(float a, float b, float c) {
    if (a != 0.0f) glRotatef(a, 1, 0, 0);
    if (b != 0.0f) glRotatef(b, 0, 1, 0);
    if (c != 0.0f) glRotatef(c, 0, 0, 1);
}

const float ANGLES[][3] = {{0, 0, 0}, {0, 0, 90}, {0, 0, -137.5f}, {30, 0, 0}, {0, -45, 0}, {12, 250, -33}};
const float POSITIONS[][3] = {{0, 0, 0}, {3, -4, 0}, {-15.5f, 11.25f, 2}};

}  // namespace

TEST_F(CameraGl, TransformMatchesTheStackInEitherSetterOrder) {
    for (const auto& p : POSITIONS)
        for (const auto& r : ANGLES) {
            Transform positionFirst, rotationFirst;
            positionFirst.setPosition(p[0], p[1], p[2]);
            positionFirst.setRotation(r[0], r[1], r[2]);
            rotationFirst.setRotation(r[0], r[1], r[2]);
            rotationFirst.setPosition(p[0], p[1], p[2]);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glTranslatef(p[0], p[1], p[2]);
            glRotations(r[0], r[1], r[2]);
            float gl[16];
            readModelview(gl);
            expectNear(positionFirst.matrix, gl, "position then rotation");
            expectNear(rotationFirst.matrix, gl, "rotation then position");
        }
}

TEST_F(CameraGl, ViewMatchesTheStackFrameAfterFrame) {
    for (const auto& r : ANGLES)
        for (const auto& p : POSITIONS) {
            setViewRotation(r[0], r[1], r[2]);
            setViewTranslation(-p[0], -p[1], -p[2] - 15.0f);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glRotations(r[0], r[1], r[2]);
            glTranslatef(-p[0], -p[1], -p[2] - 15.0f);
            float gl[16];
            readModelview(gl);
            expectNear(viewMatrix, gl, "R . T");
        }
}

TEST_F(CameraGl, SecondViewRotationKeepsTheOldTranslationUntilReplaced) {
    // A second rotation multiplies onto last frame's translation column; the
    // next translation discards it, so each frame is R . T of its own values.
    setViewRotation(0, 0, 40);
    setViewTranslation(2, 3, -15);
    float earlier[16];
    std::copy(viewMatrix, viewMatrix + 16, earlier);
    setViewRotation(0, 0, -70);
    // The stack's way: the earlier matrix with its rotation reset, rotated on the left.
    resetRotation(earlier);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(-70, 0, 0, 1);
    glMultMatrixf(earlier);
    float gl[16];
    readModelview(gl);
    expectNear(viewMatrix, gl, "second rotation");
    setViewTranslation(-5, 1, -15);
    glLoadIdentity();
    glRotatef(-70, 0, 0, 1);
    glTranslatef(-5, 1, -15);
    readModelview(gl);
    expectNear(viewMatrix, gl, "then translation");
}

TEST_F(CameraGl, ProjectionFoldsTheViewIn) {
    setViewRotation(0, 0, -30);
    setViewTranslation(-1, -2, -15);
    for (int height : {240, 1}) {
        resizeGlScene(320, height);
        applyProjection();
        float folded[16];
        glGetFloatv(GL_PROJECTION_MATRIX, folded);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(50.0, 320.0 / double(height), 0.1, 100.0);
        float perspective[16], expected[16];
        glGetFloatv(GL_PROJECTION_MATRIX, perspective);
        multiplyMatrices(perspective, viewMatrix, expected);
        expectNear(folded, expected, "projection . view");
        for (float v : folded) EXPECT_TRUE(std::isfinite(v));
    }
    resizeGlScene(320, 240);
}
