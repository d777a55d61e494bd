#include "projectspace.h"

#include <QJsonDocument>

#include <cmath>

namespace velmorant::projectjson {

QString seamSideName(route::SeamSide side)
{
    switch (side) {
    case route::SeamSide::Inside: return QStringLiteral("interno");
    case route::SeamSide::Outside: return QStringLiteral("esterno");
    case route::SeamSide::Alternating: break;
    }
    return QStringLiteral("alternato");
}

std::optional<route::SeamSide> seamSideNamed(const QString &name)
{
    for (route::SeamSide s :
         {route::SeamSide::Inside, route::SeamSide::Outside, route::SeamSide::Alternating}) {
        if (seamSideName(s) == name)
            return s;
    }
    return std::nullopt;
}

QJsonObject spaceJson(const PipeInSpace &space)
{
    QJsonObject o{{"route", QJsonDocument::fromJson(route::routeJson(space.route)).object()},
                  {"seam-side", seamSideName(space.seam)},
                  {"max-joint-deg", space.maxJointDeg}};
    if (space.surroundings)
        o.insert(QStringLiteral("obstacles"),
                 QJsonDocument::fromJson(route::surroundingsJson(*space.surroundings)).object());
    return o;
}

std::optional<QString> readSpace(const QJsonObject &o, PipeInSpace &into)
{
    PipeInSpace s;
    if (o.contains(QStringLiteral("route"))) {
        const route::RouteRead r = route::readRoute(
            QJsonDocument(o.value(QStringLiteral("route")).toObject()).toJson());
        if (!r.ok())
            return QStringLiteral("percorso del tubo: %1").arg(r.error);
        s.route = r.route;
    }
    const std::optional<route::SeamSide> seam =
        seamSideNamed(o.value(QStringLiteral("seam-side")).toString(QStringLiteral("alternato")));
    if (!seam)
        return QStringLiteral("percorso del tubo: lato della saldatura sconosciuto");
    s.seam = *seam;
    const double limit = o.value(QStringLiteral("max-joint-deg")).toDouble(0);
    if (!(limit == 0 || (limit >= 1 && limit <= 90)))
        return QStringLiteral("percorso del tubo: rotazione massima di una giunzione fuori da 1-90");
    s.maxJointDeg = limit;
    if (o.contains(QStringLiteral("obstacles"))) {
        const route::SurroundingsRead r = route::readSurroundings(
            QJsonDocument(o.value(QStringLiteral("obstacles")).toObject()).toJson());
        if (!r.ok())
            return r.error;
        s.surroundings = r.surroundings;
    }
    into = s;
    return std::nullopt;
}

} // namespace velmorant::projectjson
