#include "plan.h"

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

WorkshopPlan planWorkshop(const DesignParameters &parameters, const ChamberDimensions &dimensions,
                          const WorkshopOptions &options)
{
    WorkshopPlan plan;
    plan.parameters = parameters;
    plan.dimensions = dimensions;
    plan.options = options;
    plan.developments = developSegments(dimensions, options.sheetThickness);
    PartsResult parts = makeParts(plan.developments, options);
    plan.refusal = parts.refusal;
    plan.parts = parts.parts;
    plan.nesting = nestParts(plan.parts, options);
    plan.warnings = builderWarnings(parameters, dimensions, plan.developments, plan.parts,
                                    plan.nesting, options);
    return plan;
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
            r.position = boundsOf(transformed(p.outline, at->transform())).topLeft();
        }
        rows << r;
    }
    return rows;
}

QByteArray cutListCsv(const WorkshopPlan &plan)
{
    QString csv = QStringLiteral("parte,segmento,nome,foglio,x_mm,y_mm,rotazione_gradi,"
                                 "larghezza_mm,altezza_mm,area_mm2,massa_kg\n");
    for (const CutListRow &r : cutList(plan)) {
        csv += QStringList{csvText(r.part),
                           QString::number(r.segment),
                           csvText(r.segmentName),
                           QString::number(r.sheet),
                           csvNumber(r.position.x(), 3),
                           csvNumber(r.position.y(), 3),
                           csvNumber(r.rotation, 3),
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
        QJsonObject part{{"name", p.name},
                         {"segment", p.segment},
                         {"segmentName", p.segmentName},
                         {"kind", p.isSector() ? "sector" : "rectangle"},
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
                         {"height", r.size.height()}};
        if (p.isSector()) {
            part.insert("outerRadius", p.frustum.outerRadius);
            part.insert("innerRadius", p.frustum.innerRadius);
            part.insert("sweepDegrees", p.sweepDegrees);
        }
        if (const PartPlacement *at = plan.placementOf(i)) {
            part.insert("sheet", at->sheet + 1);
            part.insert("x", r.position.x());
            part.insert("y", r.position.y());
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
    if (!plan.refusal.isEmpty())
        root.insert("refusal", plan.refusal);
    return root;
}

} // namespace velmorant
