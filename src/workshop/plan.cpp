#include "plan.h"

#include "pipechoice.h"
#include "routeplan.h"
#include "usertext.h"

#include <QJsonArray>

namespace velmorant {

namespace {

QString csvNumber(double v, int decimals)
{
    return QString::number(v, 'f', decimals);
}

QString csvText(const QString &t)
{
    QString q = t;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace

const PartPlacement *WorkshopPlan::placementOf(int i) const
{
    for (const PartPlacement &p : nesting.placements) {
        if (p.part == i)
            return &p;
    }
    return nullptr;
}

namespace {

WorkshopPlan makePlan(const DesignParameters &parameters, const ChamberDimensions &dimensions,
                      const std::optional<Pipe> &pipe, const WorkshopOptions &options,
                      const NestingProgress &progress, double portArea)
{
    WorkshopPlan plan;
    plan.parameters = parameters;
    plan.dimensions = dimensions;
    plan.options = options;
    plan.pipe = pipe;
    // Every writer takes the name from here: nothing typed can break a file's format.
    plan.options.designName = plainUserText(options.designName.left(4 * MaxNameLength))
                                  .left(MaxNameLength);
    plan.options.pipeName = plainUserText(options.pipeName.left(4 * MaxNameLength))
                                .left(MaxNameLength);
    if (plan.options.pipeName.isEmpty())
        plan.options.pipeName = methodCaption(pipe ? pipe->method : QStringLiteral("own"));
    const Pipe laid = pipe ? *pipe : firstSizingPipe(dimensions);
    if (!layRouteOnPlan(plan, laid))
        return plan;
    plan.developments = plan.layout.joints.isEmpty()
                            ? (pipe ? developPipe(*pipe, options.sheetThickness)
                                    : developSegments(dimensions, options.sheetThickness))
                            : developPipe(laid, options.sheetThickness, &plan.layout);
    PartsResult parts = makeParts(plan.developments, plan.options);
    plan.refusal = parts.refusal;
    plan.parts = parts.parts;
    plan.nesting = nestParts(plan.parts, plan.options, progress);
    if (plan.nesting.cancelled)
        return plan;
    plan.warnings = builderWarnings(parameters, dimensions, plan.developments, plan.parts,
                                    plan.nesting, plan.options, pipe ? &*pipe : nullptr,
                                    portArea);
    plan.warnings += clearanceWarnings(plan);
    return plan;
}

} // namespace

WorkshopPlan planWorkshop(const DesignParameters &parameters, const ChamberDimensions &dimensions,
                          const WorkshopOptions &options, const NestingProgress &progress)
{
    return makePlan(parameters, dimensions, std::nullopt, options, progress, 0);
}

WorkshopPlan planWorkshop(const DesignParameters &parameters, const ChamberDimensions &dimensions,
                          const Pipe &pipe, const WorkshopOptions &options,
                          const NestingProgress &progress, double portArea)
{
    return makePlan(parameters, dimensions, pipe, options, progress, portArea);
}

QList<CutListRow> cutList(const WorkshopPlan &plan)
{
    QList<CutListRow> rows;
    for (int i = 0; i < plan.parts.size(); ++i) {
        const Part &p = plan.parts[i];
        CutListRow r;
        r.part = p.name;
        r.segment = p.segment;
        r.segmentName = p.segmentName;
        r.size = boundsOf(p.outline).size();
        r.area = p.area;
        // mm² times mm is mm³; a thousand of them are a cm³ of density g/cm³; grams to kg.
        r.mass = p.area * plan.options.sheetThickness * 1e-3 * plan.options.density / 1000;
        if (const PartPlacement *at = plan.placementOf(i)) {
            r.sheet = at->sheet + 1;
            r.rotation = at->rotation;
            r.footprint = boundsOf(transformed(p.outline, at->transform()));
        }
        rows << r;
    }
    return rows;
}

QByteArray cutListCsv(const WorkshopPlan &plan)
{
    QString csv = QStringLiteral("parte,segmento,nome,foglio,foglio_x_mm,foglio_y_mm,"
                                 "rotazione_gradi,foglio_larghezza_mm,foglio_altezza_mm,"
                                 "pezzo_larghezza_mm,pezzo_altezza_mm,area_mm2,massa_kg\n");
    for (const CutListRow &r : cutList(plan)) {
        const bool placed = r.sheet > 0;
        auto onSheet = [&](double v) { return placed ? csvNumber(v, 3) : QString(); };
        csv += QStringList{csvText(r.part),
                           QString::number(r.segment),
                           csvText(r.segmentName),
                           placed ? QString::number(r.sheet) : QStringLiteral("fuori"),
                           onSheet(r.footprint.x()),
                           onSheet(r.footprint.y()),
                           onSheet(r.rotation),
                           onSheet(r.footprint.width()),
                           onSheet(r.footprint.height()),
                           csvNumber(r.size.width(), 3),
                           csvNumber(r.size.height(), 3),
                           csvNumber(r.area, 1),
                           csvNumber(r.mass, 4)}
                   .join(QLatin1Char(','));
        csv += QLatin1Char('\n');
    }
    return csv.toUtf8();
}

QJsonObject workshopJson(const WorkshopPlan &plan)
{
    const WorkshopOptions &o = plan.options;
    QJsonArray parts;
    const QList<CutListRow> rows = cutList(plan);
    for (int i = 0; i < plan.parts.size(); ++i) {
        const Part &p = plan.parts[i];
        const CutListRow &r = rows[i];
        const Development &f = p.frustum;
        QJsonObject part{{"name", p.name},
                         {"segment", p.segment},
                         {"segmentName", p.segmentName},
                         {"kind", p.mitred()    ? "mitred"
                                  : p.halves() ? "halves"
                                  : p.isSector() ? "sector"
                                                 : "rectangle"},
                         {"stretch", p.stretch + 1},
                         {"stretches", p.stretches},
                         {"piece", p.piece + 1},
                         {"pieces", p.pieces},
                         {"allowance", p.allowance},
                         {"outerEdge", p.outerEdge()},
                         {"innerEdge", p.innerEdge()},
                         {"area", p.area},
                         {"mass", r.mass},
                         {"width", r.size.width()},
                         {"height", r.size.height()},
                         {"length", f.length},
                         {"insideDiameter1", f.d1},
                         {"insideDiameter2", f.d2},
                         {"meanDiameter1", f.mean1},
                         {"meanDiameter2", f.mean2},
                         {"labelComplete", p.label.omitted == 0}};
        if (p.isSector()) {
            part.insert("slant", f.slant);
            part.insert("outerRadius", p.frustum.outerRadius);
            part.insert("innerRadius", p.frustum.innerRadius);
            part.insert("sweepDegrees", p.sweepDegrees);
        }
        if (const PartPlacement *at = plan.placementOf(i)) {
            part.insert("sheet", at->sheet + 1);
            part.insert("x", r.footprint.x());
            part.insert("y", r.footprint.y());
            part.insert("placedWidth", r.footprint.width());
            part.insert("placedHeight", r.footprint.height());
            part.insert("rotation", at->rotation);
            part.insert("offsetX", at->offset.x());
            part.insert("offsetY", at->offset.y());
        } else {
            part.insert("sheet", QJsonValue::Null);
        }
        parts.append(part);
    }
    QJsonArray warnings;
    for (const BuilderWarning &w : plan.warnings)
        warnings.append(QJsonObject{{"code", w.code}, {"text", w.text}});
    QJsonObject root{{"sheetThickness", o.sheetThickness},
                     {"seamAllowance", o.seamAllowance},
                     {"sheetWidth", o.sheetSize.width()},
                     {"sheetHeight", o.sheetSize.height()},
                     {"gap", o.gap},
                     {"maxSweepDegrees", o.maxSweepDegrees},
                     {"maxLength", o.maxLength},
                     {"density", o.density},
                     {"sheets", plan.nesting.sheets},
                     {"utilisation", plan.nesting.utilisation},
                     {"parts", parts},
                     {"warnings", warnings}};
    if (!o.designName.isEmpty())
        root.insert("name", o.designName);
    if (plan.layout.ok() && !plan.layout.pieces.isEmpty())
        root.insert("route", routeJson(plan));
    if (o.kerf > 0)
        root.insert("kerf", o.kerf);
    if (plan.refusal.kind != PartsRefusal::Kind::None)
        root.insert("refusal", plan.refusal.text);
    return root;
}

} // namespace velmorant
