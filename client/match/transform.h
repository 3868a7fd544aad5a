// Object placement and the top-down camera. Matrices are 16 floats in OpenGL's
// column-major order (12, 13, 14: translation), computed on the processor in
// the same order the GL matrix stack would multiply them.
#pragma once
#include "client/geometry/vec3.h"

void setIdentity(float m[16]);
// Elements 0..11 to the identity pattern; the translation column survives.
void resetRotation(float m[16]);
// out = a * b (out may alias neither).
void multiplyMatrices(const float a[16], const float b[16], float out[16]);
// The matrix glRotatef(angle, axis) would multiply by, for the unit axes.
void rotationX(float degrees, float out[16]);
void rotationY(float degrees, float out[16]);
void rotationZ(float degrees, float out[16]);

// Position, rotation in degrees about x, y, z, and the cached model matrix
// T(position) . Rx . Ry . Rz once both setters have run, in either order.
struct Transform {
    Vec3 position;
    float rotation[3] = {0.0f, 0.0f, 0.0f};
    float matrix[16];

    Transform();
    void setPosition(float x, float y, float z);
    void setPosition(Vec3 p) { setPosition(p.x, p.y, p.z); }
    void setRotation(float a, float b, float c);
};

// The camera (`viewMatrix`, client/core/records.h). The view is folded into the
// projection matrix, so every draw loads only its own model matrix.
constexpr float FIELD_OF_VIEW = 50.0f;  // degrees, vertical
// The camera hangs this high above a point this far ahead of the local fighter.
constexpr float CAMERA_HEIGHT = 15.0f;
constexpr float CAMERA_AHEAD = 5.5f;

// viewMatrix = Rx(a) . Ry(b) . Rz(c) . viewMatrix, after resetting its rotation.
void setViewRotation(float a, float b, float c);
// viewMatrix = viewMatrix . T(x, y, z), after clearing its translation column.
void setViewTranslation(float x, float y, float z);
// GL: perspective (50 degrees, window aspect, 0.1 to 100) times viewMatrix.
void applyProjection();
