#include "route.h"

#include "jsonreader.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace velmorant::route {

namespace {

using json::Reader;
using json::array;
using json::tr;

constexpr double Pi = 3.14159265358979323846;
// A bend's figures a route can sensibly hold: beyond these it is a mistake, not a pipe.
constexpr double MaxDistanceMm = 1e5;

std::optional<Bend> readBend(Reader &r, const QJsonValue &value, int index)
{
    const QString where = tr("curva %1").arg(index + 1);
    if (!value.isObject()) {
        r.fail(tr("%1: deve essere un oggetto").arg(where));
        return std::nullopt;
    }
    const QJsonObject o = value.toObject();
    if (!r.onlyKeys(o, {"at_mm", "angle_deg", "plane_deg", "joints", "radius_mm", "spacing_mm",
                                 "halves"},
                    where))
        return std::nullopt;
    Bend b;
    const auto at = r.number(o, "at_mm", where, 0, MaxDistanceMm);
    const auto angle = r.number(o, "angle_deg", where, 0, 180);
    const auto plane = r.number(o, "plane_deg", where, -360, 360, false);
    const auto joints = r.number(o, "joints", where, 1, MaxJointsPerBend);
    const auto radius = r.number(o, "radius_mm", where, 0, MaxDistanceMm, false);
    const auto spacing = r.number(o, "spacing_mm", where, 0, MaxDistanceMm, false);
    if (!r.error.isEmpty())
        return std::nullopt;
    const QJsonValue halves = o.value("halves");
    if (!halves.isUndefined() && !halves.isBool()) {
        r.fail(tr("%1: \"halves\" deve essere true o false").arg(where));
        return std::nullopt;
    }
    if (*joints != std::floor(*joints)) {
        r.fail(tr("%1: \"joints\" deve essere un numero intero").arg(where));
        return std::nullopt;
    }
    if (radius.has_value() == spacing.has_value()) {
        r.fail(tr("%1: serve \"radius_mm\" oppure \"spacing_mm\", uno solo dei due").arg(where));
        return std::nullopt;
    }
    if ((radius && *radius <= 0) || (spacing && *spacing <= 0)) {
        r.fail(tr("%1: il raggio o il passo deve essere maggiore di zero").arg(where));
        return std::nullopt;
    }
    if (*angle <= 0) {
        r.fail(tr("%1: l'angolo deve essere maggiore di zero").arg(where));
        return std::nullopt;
    }
    b.atMm = *at;
    b.angleDeg = *angle;
    b.planeDeg = plane.value_or(0);
    b.joints = int(*joints);
    b.radiusMm = radius;
    b.spacingMm = spacing;
    b.halves = halves.toBool(false);
    return b;
}

} // namespace

double Bend::spacing() const
{
    if (spacingMm)
        return *spacingMm;
    const double turn = angleDeg / joints * Pi / 180;
    return 2 * radiusMm.value_or(0) * std::tan(turn / 2);
}

RouteRead readRoute(const QByteArray &json)
{
    RouteRead out;
    Reader r;
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        out.error = tr("il percorso non \u00e8 un oggetto JSON valido");
        return out;
    }
    const QJsonObject root = doc.object();
    const QString whole = tr("percorso");
    if (!r.onlyKeys(root, {"version", "start", "bends"}, whole)) {
        out.error = r.error;
        return out;
    }
    if (root.value("version") != QJsonValue(1)) {
        out.error = tr("percorso: versione non supportata (attesa 1)");
        return out;
    }
    const QString start = tr("inizio del percorso");
    const QJsonObject s = root.value("start").toObject();
    if (!root.value("start").isObject() || !r.onlyKeys(s, {"point", "direction", "up"}, start)) {
        out.error = r.error.isEmpty() ? tr("percorso: manca \"start\"") : r.error;
        return out;
    }
    const auto point = r.vector(s, "point", start);
    const auto direction = r.vector(s, "direction", start);
    const auto up = r.vector(s, "up", start);
    if (!r.error.isEmpty()) {
        out.error = r.error;
        return out;
    }
    if (norm(*direction) < 1e-9 || norm(*up) < 1e-9) {
        out.error = tr("%1: \"direction\" e \"up\" non possono essere lunghi zero").arg(start);
        return out;
    }
    // "Up" is taken across the pipe: what it has along the direction is dropped.
    const Vec3 d = unit(*direction);
    const Vec3 across = *up - d * dot(*up, d);
    if (norm(across) < 1e-6 * norm(*up)) {
        out.error = tr("%1: \"up\" non pu\u00f2 essere parallelo a \"direction\"").arg(start);
        return out;
    }
    out.route.point = *point;
    out.route.direction = d;
    out.route.up = unit(across);
    const QJsonValue bends = root.value("bends");
    if (!bends.isUndefined() && !bends.isArray()) {
        out.error = tr("percorso: \"bends\" deve essere un elenco");
        return out;
    }
    const QJsonArray list = bends.toArray();
    if (list.size() > MaxBends) {
        out.error = tr("percorso: al massimo %1 curve").arg(MaxBends);
        return out;
    }
    for (int i = 0; i < list.size(); ++i) {
        const std::optional<Bend> b = readBend(r, list[i], i);
        if (!b) {
            out.error = r.error;
            out.route.bends.clear();
            return out;
        }
        out.route.bends << *b;
    }
    return out;
}

QByteArray routeJson(const Route &route)
{
    QJsonArray bends;
    for (const Bend &b : route.bends) {
        QJsonObject o{{"at_mm", b.atMm},
                      {"angle_deg", b.angleDeg},
                      {"plane_deg", b.planeDeg},
                      {"joints", b.joints}};
        if (b.radiusMm)
            o.insert("radius_mm", *b.radiusMm);
        else
            o.insert("spacing_mm", b.spacingMm.value_or(0));
        if (b.halves)
            o.insert("halves", true);
        bends.append(o);
    }
    const QJsonObject start{{"point", array(route.point)},
                            {"direction", array(route.direction)},
                            {"up", array(route.up)}};
    return QJsonDocument(QJsonObject{{"version", 1}, {"start", start}, {"bends", bends}})
        .toJson(QJsonDocument::Indented);
}

} // namespace velmorant::route
