#include "client/match/transform.h"

#include <cmath>
#include <cstring>

#include "client/core/records.h"

namespace {

// glRotatef skips nothing for a zero angle, but the game only rotates about an
// axis whose angle is non-zero; a non-number counts as non-zero.
bool rotates(float degrees) { return !(degrees == 0.0f); }

void rotateRightBy(float m[16], const float r[16]) {
    float out[16];
    multiplyMatrices(m, r, out);
    std::memcpy(m, out, sizeof out);
}

void rotateLeftBy(float m[16], const float r[16]) {
    float out[16];
    multiplyMatrices(r, m, out);
    std::memcpy(m, out, sizeof out);
}

}  // namespace

void setIdentity(float m[16]) {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void resetRotation(float m[16]) {
    for (int i = 0; i < 12; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void multiplyMatrices(const float a[16], const float b[16], float out[16]) {
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a[row + 4 * k] * b[k + 4 * col];
            out[row + 4 * col] = sum;
        }
}

void rotationX(float degrees, float out[16]) {
    float c = float(std::cos(degrees * DEGREES_TO_RADIANS));
    float s = float(std::sin(degrees * DEGREES_TO_RADIANS));
    setIdentity(out);
    out[5] = c;
    out[6] = s;
    out[9] = -s;
    out[10] = c;
}

void rotationY(float degrees, float out[16]) {
    float c = float(std::cos(degrees * DEGREES_TO_RADIANS));
    float s = float(std::sin(degrees * DEGREES_TO_RADIANS));
    setIdentity(out);
    out[0] = c;
    out[2] = -s;
    out[8] = s;
    out[10] = c;
}

void rotationZ(float degrees, float out[16]) {
    float c = float(std::cos(degrees * DEGREES_TO_RADIANS));
    float s = float(std::sin(degrees * DEGREES_TO_RADIANS));
    setIdentity(out);
    out[0] = c;
    out[1] = s;
    out[4] = -s;
    out[5] = c;
}

Transform::Transform() { setIdentity(matrix); }

void Transform::setPosition(float x, float y, float z) {
    position = {x, y, z};
    // T . (rotation part): the rotation part has no translation and a bottom
    // row of 0 0 0 1, so the product only fills the translation column.
    matrix[12] = x;
    matrix[13] = y;
    matrix[14] = z;
    matrix[15] = 1.0f;
}

void Transform::setRotation(float a, float b, float c) {
    rotation[0] = a;
    rotation[1] = b;
    rotation[2] = c;
    resetRotation(matrix);
    float r[16];
    if (rotates(a)) rotationX(a, r), rotateRightBy(matrix, r);
    if (rotates(b)) rotationY(b, r), rotateRightBy(matrix, r);
    if (rotates(c)) rotationZ(c, r), rotateRightBy(matrix, r);
}

void setViewRotation(float a, float b, float c) {
    resetRotation(viewMatrix);
    // Rx . Ry . Rz . view: build the rotation first, then multiply once.
    float rot[16], r[16];
    setIdentity(rot);
    if (rotates(a)) rotationX(a, r), rotateRightBy(rot, r);
    if (rotates(b)) rotationY(b, r), rotateRightBy(rot, r);
    if (rotates(c)) rotationZ(c, r), rotateRightBy(rot, r);
    rotateLeftBy(viewMatrix, rot);
}

void setViewTranslation(float x, float y, float z) {
    viewMatrix[12] = 0.0f;
    viewMatrix[13] = 0.0f;
    viewMatrix[14] = 0.0f;
    viewMatrix[15] = 1.0f;
    float t[16];
    setIdentity(t);
    t[12] = x;
    t[13] = y;
    t[14] = z;
    rotateRightBy(viewMatrix, t);
}
