// The only GL of the camera: folding the view into the projection matrix.
#include <GL/gl.h>
#include <GL/glu.h>

#include "client/match/transform.h"
#include "client/core/records.h"

void applyProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW, double(glWindow.width) / double(glWindow.height), 0.1, 100.0);
    float view[16];
    for (int i = 0; i < 16; ++i) view[i] = viewMatrix[i];
    glMultMatrixf(view);
}
