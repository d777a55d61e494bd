#include "report.h"

#include "number.h"

#include <QCoreApplication>
#include <QJsonArray>

#include <cmath>

namespace velmorant {

std::optional<TunedLength> solveTunedLength(const DesignParameters &p, double length)
{
    const ChamberDimensions atGiven = computeChamber(p);
    const double rpm =
        (((atGiven.a2 / SOUND_SPEED_DIVISOR) * (p[Field::Sc] + p[Field::Asp])) / length) * M_TO_MM;
    if (!(rpm >= TunedRpmRange.first && rpm <= TunedRpmRange.second))
        return std::nullopt;
    return TunedLength{length, rpm};
}

QString resultTable(const ChamberDimensions &d, const QLocale &locale,
                    const std::optional<TunedLength> &tuned)
{
    QString out;
    for (const ResultInfo &r : resultTable()) {
        if (r.kind == ResultKind::SoundSpeed)
            continue;
        out += QStringLiteral("%1 %2 mm\n")
                   .arg(QCoreApplication::translate("velmorant", r.reportName), -17)
                   .arg(formatDimension(d.*r.member, locale), 10);
    }
    if (tuned)
        out +=
            QStringLiteral("Regime per L1+L2+L3 = %1 mm: %2 RPM\n")
                .arg(formatDimension(tuned->length, locale), locale.toString(tuned->rpm, 'f', 0));
    return out;
}

namespace {

QJsonObject patternJson(const Development &p)
{
    static const char *const kinds[] = {"sector", "rectangle", "skipped"};
    QJsonObject o{{"segment", p.segment}, {"name", p.name},   {"kind", kinds[int(p.kind)]},
                  {"length", p.length},   {"d1", p.d1},       {"d2", p.d2},
                  {"meanD1", p.mean1},    {"meanD2", p.mean2}};
    if (!p.label.isEmpty())
        o.insert("label", p.label);
    if (p.kind == Development::Kind::Sector) {
        o.insert("slant", p.slant);
        o.insert("outerRadius", p.outerRadius);
        o.insert("innerRadius", p.innerRadius);
        o.insert("sweepDegrees", p.sweepDegrees);
    } else if (p.kind == Development::Kind::Rectangle) {
        o.insert("width", p.width);
        o.insert("height", p.height);
    }
    return o;
}

QJsonObject sketchJson(const SketchReport &s)
{
    static const char *const kinds[] = {"line", "rectangle", "circle", "caption"};
    QJsonArray elements;
    for (std::size_t i = 0; i < SketchElementCount; ++i) {
        const SketchElementInfo &info = sketchElements()[i];
        const SketchCoords &c = s.geometry.elements[i];
        // A float converts to a double exactly, so these read back as the stored floats.
        QJsonObject e{{"name", info.name}, {"kind", kinds[int(info.kind)]}};
        switch (info.kind) {
        case ElementKind::Line:
            e.insert("x1", double(c.a));
            e.insert("y1", double(c.b));
            e.insert("x2", double(c.c));
            e.insert("y2", double(c.d));
            break;
        case ElementKind::Rectangle:
        case ElementKind::Circle:
            e.insert("left", double(c.a));
            e.insert("top", double(c.b));
            e.insert("width", double(c.c));
            e.insert("height", double(c.d));
            break;
        case ElementKind::Caption:
            e.insert("centerX", double(float(double(c.a) + double(c.c) * 0.5)));
            e.insert("top", double(c.b));
            break;
        }
        elements.append(e);
    }
    return {
        {"frameWidth", s.frameWidth}, {"drawable", s.geometry.drawable}, {"elements", elements}};
}

} // namespace

QJsonObject reportJson(const DesignParameters &p, const ChamberEvaluation &sizing,
                       const std::array<QString, SketchCaptionCount> &captions,
                       const WorkshopPlan &plan, const std::optional<SketchReport> &sketch,
                       const std::optional<TunedLength> &tuned)
{
    QJsonObject parameters;
    for (std::size_t i = 0; i < FieldCount; ++i)
        parameters.insert(QLatin1String(fieldInfo(i).name), p.values[i]);
    const ChamberDimensions &d = sizing.dimensions;
    QJsonObject results;
    for (const ResultInfo &r : resultTable())
        results.insert(QLatin1String(r.name), d.*r.member);
    QJsonObject captionObject;
    for (std::size_t i = 0; i < SketchCaptionCount; ++i)
        captionObject.insert(QLatin1String(sketchElements()[FirstCaption + i].name), captions[i]);
    QJsonArray patternArray;
    for (const Development &dev : plan.developments)
        patternArray.append(patternJson(dev));

    QJsonObject root{{"parameters", parameters},
                     {"patterns", patternArray},
                     {"workshop", workshopJson(plan)}};
    if (sizing.ok()) {
        root.insert("results", results);
        root.insert("captions", captionObject);
    } else {
        root.insert("first_sizing_refusal", sizing.refusal);
    }
    if (sketch)
        root.insert("sketch", sketchJson(*sketch));
    if (tuned)
        root.insert("tunedLength", QJsonObject{{"length", tuned->length}, {"RPM", tuned->rpm}});
    return root;
}

} // namespace velmorant
