#pragma once

#include "vec3.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace velmorant::route {

// Something the pipe must keep clear of: a box (two opposite corners, its sides along the
// axes) or a cylinder (the centres of its two ends and its radius). Millimetres.
struct Obstacle
{
    QString name;
    enum class Kind { Box, Cylinder } kind = Kind::Box;
    Vec3 min, max;  // a box
    Vec3 a, b;      // a cylinder's axis
    double radius = 0;
};

// Where the tail may end: a box.
struct TargetBox
{
    Vec3 min, max;
    bool contains(const Vec3 &p) const
    {
        return p.x >= min.x && p.x <= max.x && p.y >= min.y && p.y <= max.y && p.z >= min.z &&
               p.z <= max.z;
    }
};

// The bike around the pipe: the obstacles, the gap the pipe keeps from each, the tail's target.
struct Surroundings
{
    double clearanceMm = 15;
    QList<Obstacle> obstacles;
    std::optional<TargetBox> target;
};

constexpr int MaxObstacles = 100;
constexpr qint64 MaxObstaclesFileBytes = 1 << 20;

struct SurroundingsRead
{
    Surroundings surroundings;
    QString error; // Italian, naming the obstacle; empty when read
    bool ok() const { return error.isEmpty(); }
};
// Version 1: {"version": 1, "clearance_mm": 15, "obstacles": [{"name": "motore", "box": {"min":
// [x, y, z], "max": [x, y, z]}}, {"name": "ruota", "cylinder": {"a": [...], "b": [...],
// "radius": 300}}], "target": {"min": [...], "max": [...]}}. Refused: unknown keys, numbers
// not finite, a box whose max is not beyond its min, a cylinder of no length or radius, two
// obstacles of one name.
SurroundingsRead readSurroundings(const QByteArray &json);
QByteArray surroundingsJson(const Surroundings &s);

} // namespace velmorant::route
