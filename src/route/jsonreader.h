#pragma once

// Reading the route's and the obstacles' JSON: a reader that stops at the first fault and
// names it with the place it was found. Used by the route library alone.
#include "vec3.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <cmath>
#include <optional>

namespace velmorant::route::json {

inline QString tr(const char *s)
{
    return QCoreApplication::translate("velmorant", s);
}

constexpr double MaxCoordinateMm = 1e6; // a bike is a few metres

struct Reader
{
    QString error;

    bool fail(const QString &text)
    {
        if (error.isEmpty())
            error = text;
        return false;
    }

    bool onlyKeys(const QJsonObject &o, const QStringList &known, const QString &where)
    {
        for (const QString &k : o.keys()) {
            if (!known.contains(k))
                return fail(tr("%1: chiave sconosciuta \"%2\"").arg(where, k.left(40)));
        }
        return true;
    }

    std::optional<double> number(const QJsonObject &o, const QString &key, const QString &where,
                                 double low, double high, bool required = true)
    {
        const QJsonValue v = o.value(key);
        if (v.isUndefined() && !required)
            return std::nullopt;
        if (!v.isDouble()) {
            fail(tr("%1: \"%2\" deve essere un numero").arg(where, key));
            return std::nullopt;
        }
        const double x = v.toDouble();
        if (!std::isfinite(x) || x < low || x > high) {
            fail(tr("%1: \"%2\" deve essere tra %3 e %4")
                     .arg(where, key, QString::number(low), QString::number(high)));
            return std::nullopt;
        }
        return x;
    }

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
