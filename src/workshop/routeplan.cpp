#include "routeplan.h"

#include "partlabel.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace velmorant {

namespace {

QString tr(const char *s)
{
    return QCoreApplication::translate("velmorant", s);
}

QJsonArray point(const route::Vec3 &v)
{
    return {v.x, v.y, v.z};
}

} // namespace

bool layRouteOnPlan(WorkshopPlan &plan, const Pipe &laid)
{
    const WorkshopOptions &o = plan.options;
    // A route without bends is the straight pipe, as though there were none.
    if ((!o.route || o.route->straight()) && !o.surroundings)
        return true;
    const route::Route way = o.route.value_or(route::Route());
    route::LayoutRules rules;
    rules.sheetMm = o.sheetThickness;
    rules.maxJointDeg = o.maxJointDeg;
    rules.seam = o.seamSide;
    plan.layout = route::layRoute(laid, way, rules);
    if (!plan.layout.ok()) {
        plan.refusal = PartsRefusal{PartsRefusal::Kind::Geometry, plan.layout.problem, {}, {}};
        return false;
    }
    if (o.surroundings)
        plan.clearance =
            route::clearanceOf(route::outerLayout(laid, way, o.sheetThickness), *o.surroundings);
    return true;
}

QList<BuilderWarning> clearanceWarnings(const WorkshopPlan &plan)
{
    QList<BuilderWarning> out;
    if (!plan.clearance || !plan.options.surroundings)
        return out;
    const QLocale &n = plan.options.numbers;
    const double wanted = plan.options.surroundings->clearanceMm;
    for (const route::ObstacleDistance &d : plan.clearance->distances) {
        if (d.distanceMm >= wanted)
            continue;
        const QString text =
            d.distanceMm < 0
                ? tr("Il tubo entra di %1 mm in \"%2\" al pezzo %3 (ne deve restare a %4 mm)")
                      .arg(partlabel::in(n, -d.distanceMm), d.name, d.piece,
                           partlabel::in(n, wanted))
                : tr("Il tubo passa a %1 mm da \"%2\" al pezzo %3: %4 mm meno dei %5 richiesti")
                      .arg(partlabel::in(n, d.distanceMm), d.name, d.piece,
                           partlabel::in(n, wanted - d.distanceMm), partlabel::in(n, wanted));
        out << BuilderWarning{QStringLiteral("ROUTE_CLEARANCE"), text};
    }
    if (!plan.clearance->tailInTarget)
        out << BuilderWarning{QStringLiteral("ROUTE_TARGET"),
                              tr("La coda finisce a %1 mm fuori dall'arrivo")
                                  .arg(partlabel::in(n, plan.clearance->tailOutsideMm))};
    return out;
}

QJsonObject routeJson(const WorkshopPlan &plan)
{
    const route::RouteLayout &l = plan.layout;
    QJsonArray joints, sections;
    for (const route::Joint &j : l.joints)
        joints.append(QJsonObject{{"at_mm", j.atMm},
                                  {"angle_deg", j.angleDeg},
                                  {"bend", j.bend + 1},
                                  {"point", point(j.point)}});
    for (int i = 0; i < l.sectionCentreline.size(); ++i)
        sections.append(QJsonObject{{"name", l.sectionNames.value(i)},
                                    {"centreline_mm", l.sectionCentreline[i]}});
    QJsonObject out{
        {"joints", joints},
        {"end", QJsonObject{{"point", point(l.endPoint)}, {"direction", point(l.endDirection)}}},
        {"sections", sections},
        {"bounding_box", QJsonObject{{"min", point(l.boxMin)}, {"max", point(l.boxMax)}}}};
    if (plan.clearance) {
        QJsonArray distances;
        for (const route::ObstacleDistance &d : plan.clearance->distances)
            distances.append(QJsonObject{{"name", d.name},
                                         {"distance_mm", d.distanceMm},
                                         {"piece", d.piece}});
        out.insert("clearance", distances);
        if (plan.options.surroundings && plan.options.surroundings->target)
            out.insert("target", QJsonObject{{"inside", plan.clearance->tailInTarget},
                                             {"outside_mm", plan.clearance->tailOutsideMm}});
    }
    return out;
}

} // namespace velmorant
