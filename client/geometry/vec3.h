// The game's three-float vector and its angles: world units, z up, degrees.
// Header-only, below the map and the match, which both build on it.
#pragma once
#include <cmath>

constexpr double PI = 3.14159265358979323846;
constexpr double DEGREES_TO_RADIANS = PI / 180.0;

// A fighter's heading (degrees, 0 faces +y) as the angle from +x in radians,
// to the digits every client has always turned by: a float 1/180, then pi to
// eight places. Positions on the wire follow from it bit for bit.
inline double headingRadians(float heading) {
    return double((heading + 90.0f) * 0.0055555557f) * 3.14159265;
}

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline bool operator==(Vec3 a, Vec3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(Vec3 a) { return std::sqrt(dot(a, a)); }

// Scales v in place to unit length. A zero vector is not guarded against and
// yields non-numbers; callers that can meet one check first.
inline Vec3& normalize(Vec3& v) {
    float s = 1.0f / std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    v.x *= s;
    v.y *= s;
    v.z *= s;
    return v;
}

// v = v - (a, b, c); returns a copy of the new v.
inline Vec3 subtract(Vec3& v, float a, float b, float c) {
    v.x -= a;
    v.y -= b;
    v.z -= c;
    return v;
}
