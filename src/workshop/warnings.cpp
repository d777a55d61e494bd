#include "warnings.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTransform>

#include <cmath>
#include <limits>

namespace velmorant {

namespace {

constexpr double None = std::numeric_limits<double>::quiet_NaN();

QString num(double v, int decimals = 1)
{
    return QLocale(QLocale::Italian).toString(v, 'f', decimals);
}

const WarningRule &rule(const char *code)
{
    for (const WarningRule &r : warningRules()) {
        if (qstrcmp(r.code, code) == 0)
            return r;
    }
    Q_UNREACHABLE();
}

BuilderWarning warning(const char *code, const QStringList &values)
{
    const WarningRule &r = rule(code);
    QString text = QCoreApplication::translate("velmorant", r.text);
    for (const QString &v : values)
        text = text.arg(v);
    return {QLatin1String(code), text};
}

bool outside(const WarningRule &r, double v)
{
    return (!std::isnan(r.low) && v < r.low) || (!std::isnan(r.high) && v > r.high);
}

// What keeps a part off the sheet, when it is not its size alone: the gap asked for, or its
// length, which a shorter stretch would cure.
QString tooLargeHint(const Part &part, const WorkshopOptions &o)
{
    auto tr = [](const char *s) { return QCoreApplication::translate("velmorant", s); };
    WorkshopOptions noGap = o;
    noGap.gap = 0;
    if (o.gap > 0 && sheetFitAngle(part.cut, noGap))
        return tr(": con la distanza di %1 mm dai bordi non c'\u00e8 posto, ridurre la distanza "
                  "tra i pezzi (--gap)")
            .arg(num(o.gap));
    // The narrowest the part gets when turned, against the sheet's shorter side.
    const QPolygonF outline = polygonOf(part.cut, 0.05);
    double narrowest = std::numeric_limits<double>::infinity();
    for (int degrees = 0; degrees < 180; ++degrees) {
        const QRectF b = QTransform().rotate(degrees).map(outline).boundingRect();
        narrowest = std::min(narrowest, std::min(b.width(), b.height()));
    }
    const double room = std::min(o.sheetSize.width(), o.sheetSize.height()) - 2 * o.gap;
    if (narrowest <= room)
        return tr(": \u00e8 troppo lungo, dividerlo in tratti pi\u00f9 corti (lunghezza massima "
                  "di un tratto, --max-length)");
    return QString();
}

} // namespace

const QList<WarningRule> &warningRules()
{
    // The ranges are those of common practice for road and racing two-stroke expansion
    // chambers, as the tuning handbooks describe them (G. P. Jennings, "Two-Stroke Tuner's
    // Handbook"; A. G. Bell, "Two-Stroke Performance Tuning") and as the input labels of this
    // program advise (6-8 degrees convergent, 2-4 divergent, ratio 4-5), widened to what
    // builders still weld: beyond them a chamber is usually a mistake in the input.
    static const QList<WarningRule> rules{
        // Phase durations are crank angles within one turn; beyond it the wave timing of the
        // sizing means nothing.
        {"DURATION",
         QT_TRANSLATE_NOOP("velmorant", "Durata %1 di %2\u00b0: fuori da %3\u00b0 a "
                                        "%4\u00b0 di un giro"),
         0, 360},
        // The exhaust opens first on every two-stroke engine: EO = 180 - SC/2 comes before
        // TO = 180 - ASP/2 unless the transfers last longer than the exhaust.
        {"TRANSFER_BEFORE_EXHAUST",
         QT_TRANSLATE_NOOP("velmorant", "I travasi aprono a %1\u00b0 (durata %2\u00b0), prima "
                                        "dello scarico a %3\u00b0 (durata %4\u00b0): di solito "
                                        "lo scarico apre per primo"),
         None, None},
        {"DIVERGENT_ANGLE",
         QT_TRANSLATE_NOOP("velmorant", "Angolo del divergente di %1\u00b0: di solito tra "
                                        "%2\u00b0 e %3\u00b0"),
         2, 8},
        {"CONVERGENT_ANGLE",
         QT_TRANSLATE_NOOP("velmorant", "Angolo del convergente di %1\u00b0: di solito tra "
                                        "%2\u00b0 e %3\u00b0"),
         5, 20},
        {"DIAMETER_RATIO",
         QT_TRANSLATE_NOOP("velmorant", "Rapporto D2/D1 di %1: di solito tra %2 e %3"), 2.0, 3.5},
        {"TOTAL_LENGTH",
         QT_TRANSLATE_NOOP("velmorant", "Lunghezza totale di %1 mm, oltre %2 mm: difficile da "
                                        "montare su un veicolo"),
         None, 2000},
        {"NO_THICKNESS",
         QT_TRANSLATE_NOOP("velmorant", "Spessore della lamiera 0: le parti sono sviluppate sul "
                                        "diametro interno e la massa risulta 0 (di solito "
                                        "lamiera da %1 mm)"),
         1.0, None},
        {"SKIPPED_SEGMENT",
         QT_TRANSLATE_NOOP("velmorant", "Segmento %1 (%2) di lunghezza %3 mm: non si taglia"), None,
         None},
        // A segment shorter than twice the sheet cannot be rolled and welded as one.
        {"SHORT_SEGMENT",
         QT_TRANSLATE_NOOP("velmorant", "Segmento %1 (%2) lungo %3 mm, meno di %4 volte lo "
                                        "spessore della lamiera"),
         2, None},
        {"SWEEP_SPLIT",
         QT_TRANSLATE_NOOP("velmorant", "Segmento %1 (%2): sviluppo di %3\u00b0, oltre il "
                                        "massimo di %4\u00b0, tagliato in %5 pezzi"),
         None, None},
        // A sheet thicker than an eighth of the pipe's diameter no longer rolls round.
        {"THICK_SHEET",
         QT_TRANSLATE_NOOP("velmorant", "Lamiera di %1 mm, oltre 1/%2 del diametro minimo "
                                        "(%3 mm)"),
         None, 8},
        {"PART_TOO_LARGE",
         QT_TRANSLATE_NOOP("velmorant", "Il pezzo %1 non sta nella lamiera di %2 x %3 mm "
                                        "neppure diviso: resta fuori dalla disposizione%4"),
         None, None},
        {"SECTION_ANGLE",
         QT_TRANSLATE_NOOP("velmorant", "Tratto %1 (%2): semiangolo di %3\u00b0, di solito tra "
                                        "%4\u00b0 e %5\u00b0"),
         None, None},
        {"TAIL_DIAMETER",
         QT_TRANSLATE_NOOP("velmorant", "Coda di %1 volte il diametro del tubo iniziale: di "
                                        "solito tra %2 e %3"),
         0.45, 0.70},
        {"HEADER_AREA",
         QT_TRANSLATE_NOOP("velmorant", "Sezione del tubo iniziale di %1 volte la luce di "
                                        "scarico: di solito tra %2 e %3"),
         1.0, 1.5},
        {"LABEL_SHORTENED",
         QT_TRANSLATE_NOOP("velmorant", "Etichetta ridotta sui pezzi %1: non c'\u00e8 posto per "
                                        "tutte le righe"),
         None, None},
    };
    return rules;
}

namespace {

QString labelOf(const Development &dev)
{
    return dev.label.isEmpty() ? QString::number(dev.segment) : dev.label;
}

} // namespace

QList<BuilderWarning> builderWarnings(const DesignParameters &p, const ChamberDimensions &d,
                                      const QList<Development> &developments,
                                      const QList<Part> &parts, const NestingResult &nesting,
                                      const WorkshopOptions &o, const Pipe *pipe, double portArea)
{
    QList<BuilderWarning> out;
    auto check = [&](const char *code, double value, int decimals) {
        const WarningRule &r = rule(code);
        if (outside(r, value))
            out << warning(code, {num(value, decimals), num(r.low, decimals == 0 ? 0 : 1),
                                  num(r.high, decimals == 0 ? 0 : 1)});
    };
    const WarningRule &turn = rule("DURATION");
    for (Field f : {Field::Sc, Field::Asp}) {
        if (outside(turn, p[f]))
            out << warning("DURATION", {QLatin1String(fieldInfo(std::size_t(f)).name), num(p[f]),
                                        num(turn.low, 0), num(turn.high, 0)});
    }
    const double sc = p[Field::Sc], asp = p[Field::Asp];
    if (asp > sc)
        out << warning("TRANSFER_BEFORE_EXHAUST",
                       {num(180 - asp / 2), num(asp), num(180 - sc / 2), num(sc)});
    double first = d.D1, largest = d.D2, smallest = std::min({d.D1, d.D2, d.D3}), total = d.LTOT;
    if (!pipe) {
        check("DIVERGENT_ANGLE", p[Field::Div], 1);
        check("CONVERGENT_ANGLE", p[Field::Conv], 1);
    } else {
        first = pipe->sections.isEmpty() ? 0 : pipe->sections.first().dIn;
        largest = smallest = first;
        total = pipe->length();
        for (int i = 0; i < pipe->sections.size(); ++i) {
            const PipeSection &s = pipe->sections[i];
            largest = std::max({largest, s.dIn, s.dOut});
            smallest = std::min({smallest, s.dIn, s.dOut});
            if (s.kind() == PipeSection::Kind::Straight)
                continue;
            const WarningRule &r = rule(s.kind() == PipeSection::Kind::Diverging
                                            ? "DIVERGENT_ANGLE"
                                            : "CONVERGENT_ANGLE");
            const double angle = s.halfAngleDegrees();
            const Development *dev = i < developments.size() ? &developments[i] : nullptr;
            if (outside(r, angle))
                out << warning("SECTION_ANGLE",
                               {sectionName(*pipe, i),
                                dev ? dev->name : QString(), num(angle, 2), num(r.low, 1),
                                num(r.high, 1)});
        }
    }
    check("DIAMETER_RATIO", largest / first, 2);
    if (outside(rule("TOTAL_LENGTH"), total))
        out << warning("TOTAL_LENGTH", {num(total), num(rule("TOTAL_LENGTH").high, 0)});
    auto ratio = [&](const char *code, double value) {
        const WarningRule &r = rule(code);
        if (outside(r, value))
            out << warning(code, {num(value, 2), num(r.low, 2), num(r.high, 2)});
    };
    if (pipe && !pipe->sections.isEmpty()) {
        ratio("TAIL_DIAMETER", pipe->sections.last().dOut / first);
        if (portArea > 0)
            ratio("HEADER_AREA", TruePi * first * first / 4 / portArea);
    }
    if (o.sheetThickness == 0)
        out << warning("NO_THICKNESS", {num(rule("NO_THICKNESS").low)});
    for (const Development &dev : developments) {
        if (dev.kind == Development::Kind::Skipped)
            out << warning("SKIPPED_SEGMENT",
                           {labelOf(dev), dev.name, num(dev.length)});
    }
    const double shortFactor = rule("SHORT_SEGMENT").low;
    for (const Development &dev : developments) {
        if (dev.kind != Development::Kind::Skipped && o.sheetThickness > 0 &&
            dev.length < shortFactor * o.sheetThickness)
            out << warning("SHORT_SEGMENT", {labelOf(dev), dev.name,
                                             num(dev.length), num(shortFactor, 0)});
    }
    for (const Development &dev : developments) {
        if (dev.kind == Development::Kind::Sector && o.maxSweepDegrees > 0 &&
            dev.sweepDegrees > o.maxSweepDegrees) {
            int pieces = 0;
            for (const Part &part : parts)
                pieces += part.segment == dev.segment && part.frustum.label == dev.label ? 1 : 0;
            out << warning("SWEEP_SPLIT",
                           {labelOf(dev), dev.name, num(dev.sweepDegrees, 1),
                            num(o.maxSweepDegrees, 0), QString::number(pieces)});
        }
    }
    const double thickDivisor = rule("THICK_SHEET").high;
    if (o.sheetThickness > smallest / thickDivisor)
        out << warning("THICK_SHEET", {num(o.sheetThickness), num(thickDivisor, 0), num(smallest)});
    for (int i : nesting.unplaced)
        out << warning("PART_TOO_LARGE", {parts[i].name, num(o.sheetSize.width(), 0),
                                          num(o.sheetSize.height(), 0), tooLargeHint(parts[i], o)});
    QStringList shortened;
    for (const Part &part : parts) {
        if (part.label.omitted > 0)
            shortened << part.name;
    }
    if (!shortened.isEmpty()) {
        constexpr int Named = 20;
        QString names = shortened.mid(0, Named).join(QStringLiteral(", "));
        if (shortened.size() > Named)
            names += QCoreApplication::translate("velmorant", " e altri %1")
                         .arg(shortened.size() - Named);
        out << warning("LABEL_SHORTENED", {names});
    }
    return out;
}

} // namespace velmorant
