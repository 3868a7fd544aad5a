// Fighters on screen and their media: the GL side of the fighter seam.
#include <GL/gl.h>

#include "client/assets/sound.h"
#include "client/assets/texture.h"
#include "client/match/fighter_media.h"
#include "client/match/local_fighter.h"

namespace {

uint32_t glTexture(const char* path) {
    int name = loadTexture(path, 0);
    return name < 0 ? 0u : uint32_t(name);
}

void deleteGlTexture(uint32_t name) {
    GLuint n = name;
    if (n != 0) glDeleteTextures(1, &n);
}

Sound mixerSound(const char* path) {
    Sound s = nullptr;
    loadSound(s, path);
    return s;
}

void quad(const Vec3 corners[4], const float texCoords[4][2]) {
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        glTexCoord2f(texCoords[i][0], texCoords[i][1]);
        glVertex3f(corners[i].x, corners[i].y, corners[i].z);
    }
    glEnd();
}

const float WHOLE_TEXTURE[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};

// Beam first, unblended, under the sprite; the sprite blended over it. The
// camera lives in the projection, so each object loads only its own matrix.
// Leaves blending on for the caller to finish.
void drawBeamAndSprite(const Fighter& f) {
    glMatrixMode(GL_MODELVIEW);
    if (f.beam.visible) {
        glLoadMatrixf(f.beam.transform.matrix);
        glBindTexture(GL_TEXTURE_2D, f.laserTexture);
        quad(f.beam.corners, WHOLE_TEXTURE);
    }
    glLoadMatrixf(f.body.matrix);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, f.dead ? f.bloodTexture : f.skinTexture);
    quad(f.spriteCorners, f.spriteTexCoords);
}

void drawRemote(const Fighter& f) {
    drawBeamAndSprite(f);
    glDisable(GL_BLEND);
}

// The crosshair goes over walls and fighters alike: no depth test.
void drawLocal(const LocalFighter& f) {
    drawBeamAndSprite(f);
    glDisable(GL_DEPTH_TEST);
    glLoadMatrixf(f.crosshair.matrix);
    glBindTexture(GL_TEXTURE_2D, f.crosshairTexture);
    quad(f.crosshairCorners, WHOLE_TEXTURE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

}  // namespace

void useGlFighterMedia() {
    fighterMedia = {glTexture, deleteGlTexture, mixerSound, playSound, freeSound, drawRemote,
                    drawLocal};
}
