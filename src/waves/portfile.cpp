#include "portfile.h"

#include "jsonfields.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

namespace {

using json::tr;

constexpr int MostWindows = 8;
constexpr double SteepestDuct = 80;

// One window's keys; `piston` for the intake, whose radius goes on all four corners.
std::optional<PortWindow> window(json::FieldReader &r, const QJsonValue &v, const QString &where,
                                 bool piston, bool named, bool counted)
{
    const QJsonObject o = v.toObject();
    if (!v.isObject()) {
        r.fail(tr("%1: deve essere un oggetto").arg(where));
        return std::nullopt;
    }
    QStringList keys{"opens_deg", "width_mm", "height_mm"};
    keys << (piston ? QStringList{"radius_mm"} : QStringList{"top_radius_mm", "bottom_radius_mm"});
    if (named)
        keys << "name";
    if (counted)
        keys << "count";
    if (named && counted)
        keys << "angle_deg";
    if (!r.onlyKeys(o, keys, where))
        return std::nullopt;
    PortWindow w;
    w.name = where;
    if (named && o.contains("name")) {
        if (!o.value("name").isString() || o.value("name").toString().trimmed().isEmpty()) {
            r.fail(tr("%1: \"name\" \u00e8 un testo").arg(where));
            return std::nullopt;
        }
        w.name = tr("travaso %1").arg(o.value("name").toString().trimmed().left(20));
    }
    const auto opens = r.number(o, "opens_deg", w.name, 0, 180);
    if (opens && (*opens <= 0 || *opens >= 180))
        r.fail(tr("%1: \"opens_deg\" deve essere tra 0 e 180").arg(w.name));
    const auto width = r.number(o, "width_mm", w.name, 0, 1000);
    const auto height = r.number(o, "height_mm", w.name, 0, 1000, false);
    if ((width && !(*width > 0)) || (height && !(*height > 0)))
        r.fail(tr("%1: larghezza e altezza devono essere maggiori di zero").arg(w.name));
    const QString top = piston ? QStringLiteral("radius_mm") : QStringLiteral("top_radius_mm");
    const auto radius = r.number(o, top, w.name, 0, 1000, false);
    const auto bottom = piston ? radius : r.number(o, "bottom_radius_mm", w.name, 0, 1000, false);
    const auto count = r.number(o, "count", w.name, 1, MostWindows, false);
    const auto angle = r.number(o, "angle_deg", w.name, 0, SteepestDuct, false);
    if (!r.error.isEmpty())
        return std::nullopt;
    if (count && *count != std::floor(*count)) {
        r.fail(tr("%1: \"count\" \u00e8 un numero intero di luci").arg(w.name));
        return std::nullopt;
    }
    w.opensDeg = *opens;
    w.widthMm = *width;
    w.heightMm = height;
    w.topRadiusMm = radius.value_or(0);
    w.bottomRadiusMm = bottom.value_or(0);
    w.count = int(count.value_or(1));
    w.angleDeg = angle.value_or(0);
    if (std::max(w.topRadiusMm, w.bottomRadiusMm) > w.widthMm / 2) {
        r.fail(tr("%1: un raggio di %2 mm \u00e8 pi\u00f9 di met\u00e0 della larghezza (%3 mm)")
                   .arg(w.name)
                   .arg(std::max(w.topRadiusMm, w.bottomRadiusMm))
                   .arg(w.widthMm));
        return std::nullopt;
    }
    if (height && w.topRadiusMm + w.bottomRadiusMm > *height) {
        r.fail(tr("%1: i raggi (%2 + %3 mm) non stanno nell'altezza (%4 mm)")
                   .arg(w.name)
                   .arg(w.topRadiusMm)
                   .arg(w.bottomRadiusMm)
                   .arg(*height));
        return std::nullopt;
    }
    return w;
}

// The valve's rows, [rpm, degrees], speeds rising; it lowers the port, never raises it.
QList<std::pair<double, double>> valve(json::FieldReader &r, const QJsonValue &v, double own)
{
    QList<std::pair<double, double>> rows;
    const QString where = tr("valvola di scarico");
    const QJsonArray list = v.toArray();
    if (!v.isArray() || list.isEmpty()) {
        r.fail(tr("%1: \u00e8 un elenco di coppie [giri/min, gradi]").arg(where));
        return rows;
    }
    for (int k = 0; k < list.size(); ++k) {
        const QJsonArray pair = list[k].toArray();
        const QString row = tr("%1, riga %2").arg(where).arg(k + 1);
        if (pair.size() != 2 || !pair[0].isDouble() || !pair[1].isDouble()) {
            r.fail(tr("%1: \u00e8 una coppia [giri/min, gradi]").arg(row));
            return {};
        }
        const double rpm = pair[0].toDouble(), deg = pair[1].toDouble();
        if (!(rpm >= 100 && rpm <= 30000) || (!rows.isEmpty() && !(rpm > rows.last().first))) {
            r.fail(tr("%1: i giri vanno da 100 a 30000, crescenti").arg(row));
            return {};
        }
        if (!(deg >= own && deg < 180)) {
            r.fail(tr("%1: la valvola apre lo scarico tra i %2\u00b0 della luce e 180\u00b0")
                       .arg(row)
                       .arg(own));
            return {};
        }
        rows.append({rpm, deg});
    }
    return rows;
}

// A rotary disc: every key given; the cut-out wider than nothing, the window's radii in order.
std::optional<RotaryDisc> disc(json::FieldReader &r, const QJsonValue &v)
{
    const QString where = tr("disco rotante");
    const QJsonObject o = v.toObject();
    if (!v.isObject() ||
        !r.onlyKeys(o, {"opens_deg", "closes_deg", "port_span_deg", "r_inner_mm", "r_outer_mm"},
                    where)) {
        r.fail(tr("%1: deve essere un oggetto").arg(where));
        return std::nullopt;
    }
    const auto opens = r.number(o, "opens_deg", where, 0, 180);
    const auto closes = r.number(o, "closes_deg", where, 0, 180);
    const auto span = r.number(o, "port_span_deg", where, 1, 180);
    const auto inner = r.number(o, "r_inner_mm", where, 0, 500);
    const auto outer = r.number(o, "r_outer_mm", where, 0, 500);
    if (!r.error.isEmpty())
        return std::nullopt;
    const RotaryDisc d{*opens, *closes, *span, *inner, *outer};
    if (!(d.cutOutDeg() > 0)) {
        r.fail(tr("%1: apre %2\u00b0 + chiude %3\u00b0 = %4\u00b0, non pi\u00f9 della luce "
                  "(%5\u00b0): il taglio del disco non resta")
                   .arg(where)
                   .arg(*opens)
                   .arg(*closes)
                   .arg(*opens + *closes)
                   .arg(*span));
        return std::nullopt;
    }
    if (!(d.cutOutDeg() + d.spanDeg < 360) || !(*outer > *inner)) {
        r.fail(tr("%1: la luce va dal raggio interno all'esterno, e la fase dura meno di un "
                  "giro")
                   .arg(where));
        return std::nullopt;
    }
    return d;
}

// A reed block: every key given, each within what a petal may be.
std::optional<engine::ReedBlock> reed(json::FieldReader &r, const QJsonValue &v)
{
    const QString where = tr("pacco lamellare");
    const QJsonObject o = v.toObject();
    const QStringList keys{"petals",        "length_mm", "width_mm", "thickness_mm",  "youngs_gpa",
                           "density_kg_m3", "damping",   "stop_mm",  "port_area_mm2", "angle_deg"};
    if (!v.isObject() || !r.onlyKeys(o, keys, where)) {
        r.fail(tr("%1: deve essere un oggetto").arg(where));
        return std::nullopt;
    }
    const auto petals = r.number(o, "petals", where, 1, 16);
    const auto length = r.number(o, "length_mm", where, 2, 200);
    const auto width = r.number(o, "width_mm", where, 1, 200);
    const auto thickness = r.number(o, "thickness_mm", where, 0.05, 5);
    const auto youngs = r.number(o, "youngs_gpa", where, 1, 1000);
    const auto density = r.number(o, "density_kg_m3", where, 100, 20000);
    const auto damping = r.number(o, "damping", where, 0, 0.9);
    const auto stop = r.number(o, "stop_mm", where, 0.1, 50);
    const auto area = r.number(o, "port_area_mm2", where, 1, 1e5);
    const auto angle = r.number(o, "angle_deg", where, 0, 90);
    if (!r.error.isEmpty())
        return std::nullopt;
    if (*petals != std::floor(*petals)) {
        r.fail(tr("%1: \"petals\" \u00e8 un numero intero di lamelle").arg(where));
        return std::nullopt;
    }
    return engine::ReedBlock{int(*petals), *length,  *width, *thickness, *youngs,
                             *density,     *damping, *stop,  *area,      *angle};
}

} // namespace

namespace {

QJsonObject windowJson(const PortWindow &w, bool named, bool piston)
{
    QJsonObject o{{"opens_deg", w.opensDeg}, {"width_mm", w.widthMm}};
    if (piston) {
        o.insert("radius_mm", w.topRadiusMm);
    } else {
        o.insert("top_radius_mm", w.topRadiusMm);
        o.insert("bottom_radius_mm", w.bottomRadiusMm);
        o.insert("count", w.count);
    }
    if (w.heightMm)
        o.insert("height_mm", *w.heightMm);
    if (named) {
        o.insert("name", w.name.section(QLatin1Char(' '), 1));
        o.insert("angle_deg", w.angleDeg);
    }
    return o;
}

} // namespace

QByteArray portGeometryJson(const PortGeometry &p)
{
    QJsonObject exhaust = windowJson(p.exhaust.first(), false, false);
    QJsonArray aux, valve, transfers;
    for (int k = 1; k < p.exhaust.size(); ++k)
        aux.append(windowJson(p.exhaust[k], false, false));
    if (!aux.isEmpty())
        exhaust.insert("aux", aux);
    for (const auto &[rpm, deg] : p.powerValve)
        valve.append(QJsonArray{rpm, deg});
    if (!valve.isEmpty())
        exhaust.insert("power_valve", valve);
    for (const PortWindow &w : p.transfers)
        transfers.append(windowJson(w, true, false));
    QJsonObject root{{"version", 1}, {"exhaust", exhaust}, {"transfers", transfers}};
    if (p.pinOffsetMm != 0)
        root.insert("pin_offset_mm", p.pinOffsetMm);
    if (p.pistonIntake)
        root.insert("intake", QJsonObject{{"piston", windowJson(*p.pistonIntake, false, true)}});
    if (const auto &r = p.reed)
        root.insert("intake",
                    QJsonObject{{"reed", QJsonObject{{"petals", r->petals},
                                                     {"length_mm", r->lengthMm},
                                                     {"width_mm", r->widthMm},
                                                     {"thickness_mm", r->thicknessMm},
                                                     {"youngs_gpa", r->youngsGpa},
                                                     {"density_kg_m3", r->density},
                                                     {"damping", r->damping},
                                                     {"stop_mm", r->stopMm},
                                                     {"port_area_mm2", r->portAreaMm2},
                                                     {"angle_deg", r->angleDeg}}}});
    if (const auto &d = p.disc)
        root.insert("intake", QJsonObject{{"disc", QJsonObject{{"opens_deg", d->opensDeg},
                                                               {"closes_deg", d->closesDeg},
                                                               {"port_span_deg", d->spanDeg},
                                                               {"r_inner_mm", d->innerMm},
                                                               {"r_outer_mm", d->outerMm}}}});
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

double RotaryDisc::area(double degrees) const
{
    // The leading edge's travel since the window began to open, and the part of the window the
    // cut-out [travel - cut-out, travel] covers.
    const double travel = std::fmod(std::fmod(degrees + opensDeg, 360) + 360, 360);
    const double covered =
        std::max(0.0, std::min(travel, spanDeg) - std::max(travel - cutOutDeg(), 0.0));
    constexpr double Radian = 3.14159265358979323846 / 180;
    return (outerMm * outerMm - innerMm * innerMm) / 2 * covered * Radian;
}

PortGeometryRead readPortGeometry(const QByteArray &bytes)
{
    PortGeometryRead out;
    json::FieldReader r;
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        out.error = tr("luci: non \u00e8 un oggetto JSON");
        return out;
    }
    const QJsonObject root = doc.object();
    if (!r.onlyKeys(root, {"version", "exhaust", "transfers", "intake", "pin_offset_mm"},
                    tr("luci"))) {
        out.error = r.error;
        return out;
    }
    if (root.value("version") != QJsonValue(1)) {
        out.error = tr("luci: \"version\" deve essere 1");
        return out;
    }
    PortGeometry &p = out.ports;
    p.pinOffsetMm = r.number(root, "pin_offset_mm", tr("luci"), -20, 20, false).value_or(0);
    const QJsonObject exhaust = root.value("exhaust").toObject();
    if (!root.value("exhaust").isObject()) {
        out.error = tr("luci: manca \"exhaust\", la luce di scarico");
        return out;
    }
    QJsonObject main = exhaust;
    main.remove("aux");
    main.remove("power_valve");
    if (const auto w = window(r, main, tr("scarico"), false, false, true))
        p.exhaust << *w;
    const QJsonArray aux = exhaust.value("aux").toArray();
    if (exhaust.contains("aux") && !exhaust.value("aux").isArray())
        r.fail(tr("scarico: \"aux\" \u00e8 un elenco di luci"));
    for (int k = 0; k < aux.size() && r.error.isEmpty(); ++k) {
        if (const auto w =
                window(r, aux[k], tr("scarico ausiliario %1").arg(k + 1), false, false, true))
            p.exhaust << *w;
    }
    if (r.error.isEmpty() && exhaust.contains("power_valve"))
        p.powerValve = valve(r, exhaust.value("power_valve"), p.exhaust.first().opensDeg);
    const QJsonArray transfers = root.value("transfers").toArray();
    if (r.error.isEmpty() && (!root.value("transfers").isArray() || transfers.isEmpty()))
        r.fail(tr("luci: \"transfers\" \u00e8 l'elenco dei travasi, almeno uno"));
    for (int k = 0; k < transfers.size() && r.error.isEmpty(); ++k) {
        if (const auto w = window(r, transfers[k], tr("travaso %1").arg(k + 1), false, true, true))
            p.transfers << *w;
    }
    if (r.error.isEmpty() && root.contains("intake")) {
        const QJsonObject intake = root.value("intake").toObject();
        const bool one = root.value("intake").isObject() && intake.size() == 1;
        if (!one ||
            !(intake.contains("piston") || intake.contains("reed") || intake.contains("disc")))
            r.fail(tr("aspirazione: \u00e8 {\"piston\": {...}}, la luce comandata dal pistone, "
                      "{\"reed\": {...}}, il pacco lamellare, o {\"disc\": {...}}, il disco "
                      "rotante"));
        else if (intake.contains("reed"))
            p.reed = reed(r, intake.value("reed"));
        else if (intake.contains("disc"))
            p.disc = disc(r, intake.value("disc"));
        else if (const auto w =
                     window(r, intake.value("piston"), tr("aspirazione"), true, false, false))
            p.pistonIntake = *w;
    }
    if (!r.error.isEmpty())
        out = PortGeometryRead{PortGeometry(), r.error};
    return out;
}

} // namespace velmorant::waves
