#pragma once

// Reading a small JSON file of the suite (a route, the bike around it, a gas path): a reader
// that stops at the first fault and names it with the place it was found.
#include <QCoreApplication>
#include <QJsonObject>
#include <QStringList>

#include <cmath>
#include <optional>

namespace velmorant::json {

inline QString tr(const char *s)
{
    return QCoreApplication::translate("velmorant", s);
}

struct FieldReader
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
};

} // namespace velmorant::json
