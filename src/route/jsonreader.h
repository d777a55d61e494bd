#pragma once

// Reading the route's and the obstacles' JSON: a reader that stops at the first fault and
// names it with the place it was found. Used by the route library alone.
#include "jsonfields.h"
#include "vec3.h"

#include <QJsonArray>

#include <cmath>
#include <optional>

namespace velmorant::route::json {

using velmorant::json::tr;

constexpr double MaxCoordinateMm = 1e6; // a bike is a few metres

struct Reader : velmorant::json::FieldReader
{
    // Three finite coordinates [x, y, z] within MaxCoordinateMm.
    std::optional<Vec3> vector(const QJsonObject &o, const QString &key, const QString &where)
    {
        const QJsonArray a = o.value(key).toArray();
        if (!o.value(key).isArray() || a.size() != 3) {
            fail(tr("%1: \"%2\" deve essere una terna di numeri [x, y, z]").arg(where, key));
            return std::nullopt;
        }
        double c[3];
        for (int i = 0; i < 3; ++i) {
            c[i] = a[i].toDouble(std::nan(""));
            if (!a[i].isDouble() || !std::isfinite(c[i]) || std::abs(c[i]) > MaxCoordinateMm) {
                fail(tr("%1: \"%2\" deve essere una terna di numeri finiti [x, y, z]")
                         .arg(where, key));
                return std::nullopt;
            }
        }
        return Vec3{c[0], c[1], c[2]};
    }
};

inline QJsonArray array(const Vec3 &v)
{
    return {v.x, v.y, v.z};
}

} // namespace velmorant::route::json
