#pragma once
// Small vector maths for building the sample models: points, rotations and rigid placements.

#include <cmath>
#include <numbers>

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float k) {
    return {a.x * k, a.y * k, a.z * k};
}
inline float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}
inline Vec3 Normalized(Vec3 a) {
    const float length = Length(a);
    return length > 0.0f ? a * (1.0f / length) : a;
}

inline float Radians(float degrees) {
    return degrees * std::numbers::pi_v<float> / 180.0f;
}

// Row-major 3x3 matrix applied to column vectors.
struct Mat3 {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

inline Vec3 operator*(const Mat3& r, Vec3 v) {
    return {r.m[0][0] * v.x + r.m[0][1] * v.y + r.m[0][2] * v.z,
            r.m[1][0] * v.x + r.m[1][1] * v.y + r.m[1][2] * v.z,
            r.m[2][0] * v.x + r.m[2][1] * v.y + r.m[2][2] * v.z};
}

inline Mat3 operator*(const Mat3& a, const Mat3& b) {
    Mat3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    return r;
}

// Right-handed rotations by an angle in degrees.
inline Mat3 RotationX(float degrees) {
    const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
    return Mat3{{{1, 0, 0}, {0, c, -s}, {0, s, c}}};
}
inline Mat3 RotationY(float degrees) {
    const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
    return Mat3{{{c, 0, s}, {0, 1, 0}, {-s, 0, c}}};
}
inline Mat3 RotationZ(float degrees) {
    const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
    return Mat3{{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
}

// A rigid placement: rotate, then move. Parts are built in their own axes and placed with one.
struct Placement {
    Mat3 rotation;
    Vec3 origin;

    Vec3 Point(Vec3 p) const { return rotation * p + origin; }
    Vec3 Direction(Vec3 d) const { return rotation * d; }
    // A child joint at `offset` in this placement's axes, turned by `turn`.
    Placement Joint(Vec3 offset, const Mat3& turn = Mat3{}) const { return {rotation * turn, Point(offset)}; }
};
