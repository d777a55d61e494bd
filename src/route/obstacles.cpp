#include "obstacles.h"

#include "jsonreader.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace velmorant::route {

namespace {

using json::array;
using json::tr;
constexpr double Largest = json::MaxCoordinateMm;

struct Reader : json::Reader
{
    std::optional<Vec3> point(const QJsonObject &o, const QString &key, const QString &where)
    {
        return vector(o, key, where);
    }

    std::optional<TargetBox> box(const QJsonValue &v, const QString &where)
    {
        const QJsonObject o = v.toObject();
        if (!v.isObject() || !onlyKeys(o, {"min", "max"}, where))
            return fail(error.isEmpty() ? tr("%1: serve {\"min\": [...], \"max\": [...]}").arg(where)
                                        : error),
                   std::nullopt;
        const auto lo = point(o, "min", where), hi = point(o, "max", where);
        if (!lo || !hi)
            return std::nullopt;
        if (!(hi->x > lo->x && hi->y > lo->y && hi->z > lo->z))
            return fail(tr("%1: ogni coordinata di \"max\" deve superare quella di \"min\"").arg(where)),
                   std::nullopt;
        return TargetBox{*lo, *hi};
    }

    std::optional<Obstacle> obstacle(const QJsonValue &v, int index)
    {
        QString where = tr("ostacolo %1").arg(index + 1);
        const QJsonObject o = v.toObject();
        if (!v.isObject())
            return fail(tr("%1: deve essere un oggetto").arg(where)), std::nullopt;
        if (!onlyKeys(o, {"name", "box", "cylinder"}, where))
            return std::nullopt;
        Obstacle ob;
        ob.name = o.value("name").toString().simplified().left(80);
        if (ob.name.isEmpty())
            return fail(tr("%1: manca il nome (\"name\")").arg(where)), std::nullopt;
        where = tr("ostacolo \"%1\"").arg(ob.name);
        if (o.contains("box") == o.contains("cylinder"))
            return fail(tr("%1: serve \"box\" oppure \"cylinder\", uno solo").arg(where)),
                   std::nullopt;
        if (o.contains("box")) {
            const auto b = box(o.value("box"), where);
            if (!b)
                return std::nullopt;
            ob.kind = Obstacle::Kind::Box;
            ob.min = b->min;
            ob.max = b->max;
            return ob;
        }
        const QJsonObject c = o.value("cylinder").toObject();
        if (!o.value("cylinder").isObject() || !onlyKeys(c, {"a", "b", "radius"}, where))
            return fail(error.isEmpty() ? tr("%1: serve {\"a\": [...], \"b\": [...], \"radius\": R}").arg(where)
                                        : error),
                   std::nullopt;
        const auto a = point(c, "a", where), b = point(c, "b", where);
        if (!a || !b)
            return std::nullopt;
        const double r = c.value("radius").toDouble(std::nan(""));
        if (!c.value("radius").isDouble() || !(r > 0) || r > Largest)
            return fail(tr("%1: il raggio deve essere un numero maggiore di zero").arg(where)),
                   std::nullopt;
        if (!(norm(*b - *a) > 0))
            return fail(tr("%1: le due basi del cilindro coincidono").arg(where)), std::nullopt;
        ob.kind = Obstacle::Kind::Cylinder;
        ob.a = *a;
        ob.b = *b;
        ob.radius = r;
        return ob;
    }
};

} // namespace

SurroundingsRead readSurroundings(const QByteArray &json)
{
    SurroundingsRead out;
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        out.error = tr("gli ostacoli non sono un oggetto JSON valido");
        return out;
    }
    const QJsonObject root = doc.object();
    Reader r;
    const QString whole = tr("ostacoli");
    if (!r.onlyKeys(root, {"version", "clearance_mm", "obstacles", "target"}, whole)) {
        out.error = r.error;
        return out;
    }
    if (root.value("version") != QJsonValue(1)) {
        out.error = tr("ostacoli: versione non supportata (attesa 1)");
        return out;
    }
    if (root.contains("clearance_mm")) {
        const double c = root.value("clearance_mm").toDouble(std::nan(""));
        if (!root.value("clearance_mm").isDouble() || !(c >= 0 && c <= 1000)) {
            out.error = tr("ostacoli: \"clearance_mm\" deve essere tra 0 e 1000");
            return out;
        }
        out.surroundings.clearanceMm = c;
    }
    const QJsonArray list = root.value("obstacles").toArray();
    if (root.contains("obstacles") && !root.value("obstacles").isArray()) {
        out.error = tr("ostacoli: \"obstacles\" deve essere un elenco");
        return out;
    }
    if (list.size() > MaxObstacles) {
        out.error = tr("ostacoli: al massimo %1").arg(MaxObstacles);
        return out;
    }
    QStringList names;
    for (int i = 0; i < list.size(); ++i) {
        const std::optional<Obstacle> o = r.obstacle(list[i], i);
        if (!o) {
            out.error = r.error;
            out.surroundings = Surroundings();
            return out;
        }
        if (names.contains(o->name)) {
            out.error = tr("ostacoli: due ostacoli si chiamano \"%1\"").arg(o->name);
            out.surroundings = Surroundings();
            return out;
        }
        names << o->name;
        out.surroundings.obstacles << *o;
    }
    if (root.contains("target")) {
        const auto t = r.box(root.value("target"), tr("arrivo (\"target\")"));
        if (!t) {
            out.error = r.error;
            out.surroundings = Surroundings();
            return out;
        }
        out.surroundings.target = t;
    }
    return out;
}

QByteArray surroundingsJson(const Surroundings &s)
{
    QJsonArray obstacles;
    for (const Obstacle &o : s.obstacles) {
        if (o.kind == Obstacle::Kind::Box)
            obstacles.append(QJsonObject{{"name", o.name},
                                         {"box", QJsonObject{{"min", array(o.min)}, {"max", array(o.max)}}}});
        else
            obstacles.append(QJsonObject{
                {"name", o.name},
                {"cylinder", QJsonObject{{"a", array(o.a)}, {"b", array(o.b)}, {"radius", o.radius}}}});
    }
    QJsonObject root{{"version", 1}, {"clearance_mm", s.clearanceMm}, {"obstacles", obstacles}};
    if (s.target)
        root.insert("target", QJsonObject{{"min", array(s.target->min)}, {"max", array(s.target->max)}});
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace velmorant::route
