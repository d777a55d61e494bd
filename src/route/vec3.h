#pragma once

#include <cmath>

namespace velmorant::route {

// A point or direction in space, millimetres; a plain value for the pipe's geometry.
struct Vec3
{
    double x = 0, y = 0, z = 0;

    Vec3 operator+(const Vec3 &o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3 &o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double k) const { return {x * k, y * k, z * k}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
};

inline double dot(const Vec3 &a, const Vec3 &b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Vec3 cross(const Vec3 &a, const Vec3 &b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double norm(const Vec3 &a)
{
    return std::sqrt(dot(a, a));
}

inline Vec3 unit(const Vec3 &a)
{
    return a * (1.0 / norm(a));
}

// `v` turned by `angle` radians about the unit axis `k`, right-handed (Rodrigues).
inline Vec3 rotated(const Vec3 &v, const Vec3 &k, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return v * c + cross(k, v) * s + k * (dot(k, v) * (1 - c));
}

} // namespace velmorant::route
