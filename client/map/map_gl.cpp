// The map's GL side: the game's services and drawing with the map's one light.
#include <GL/gl.h>

#include "client/assets/texture.h"
#include "client/map/map.h"
#include "client/core/records.h"

namespace {

void deleteGlTexture(unsigned int name) {
    GLuint texture = name;
    glDeleteTextures(1, &texture);
}

const MapServices GAME_MAP_SERVICES = {loadTexture, deleteGlTexture, fatalError, true};

}  // namespace

Map::Map(const char* path) : Map(path, GAME_MAP_SERVICES) {}

void Map::render() const {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The light sits at the origin of a frame moved to its position.
    glTranslatef(light.position.x, light.position.y, light.position.z);
    glEnable(GL_LIGHTING);
    const GLfloat origin[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat ambient[4] = {light.ambient[0], light.ambient[1], light.ambient[2], 1.0f};
    const GLfloat diffuse[4] = {light.diffuse[0], light.diffuse[1], light.diffuse[2], 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, origin);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, diffuse);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, light.attenuation);
    glEnable(GL_LIGHT0);
    glLoadIdentity();
    for (const MapMesh& mesh : meshArray) {
        // A material index naming no material draws the mesh untextured.
        bool named = mesh.materialIndex >= 0 && size_t(mesh.materialIndex) < materials.size();
        glBindTexture(GL_TEXTURE_2D, named ? materials[size_t(mesh.materialIndex)].textureName : 0);
        glBegin(GL_TRIANGLES);
        for (int32_t f = 0; f < mesh.faceCount; ++f)
            for (const MapVertex& c : mesh.faces[f].corners) {
                glNormal3f(c.normal.x, c.normal.y, c.normal.z);
                glTexCoord2f(c.u, c.v);
                glVertex3f(c.position.x, c.position.y, c.position.z);
            }
        glEnd();
    }
    glDisable(GL_LIGHTING);
}
