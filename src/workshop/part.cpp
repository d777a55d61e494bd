#include "part.h"

#include "halvespart.h"
#include "mitredpart.h"
#include "offset.h"
#include "partlabel.h"

#include "nesting.h"
#include "textmodel.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace velmorant {

using namespace partlabel;

namespace {

constexpr double ArrowBand = 25; // mm at the cylinder's end kept for the arrow
constexpr int MaxPiecesForSheet = 64;


QString tr(const char *s)
{
    return QCoreApplication::translate("velmorant", s);
}

// "a", "b", ... "z", "aa", "ab", ...
QString pieceLetters(int index)
{
    QString s;
    for (int i = index + 1; i > 0; i = (i - 1) / 26)
        s.prepend(QChar('a' + (i - 1) % 26));
    return s;
}


// Outline, marks and label of one piece.
void buildPiece(Part &p, const WorkshopOptions &o)
{
    if (p.mitred())
        return buildMitredPiece(p, o);
    if (p.halves())
        return buildHalvesPiece(p, o);
    const Development &f = p.frustum;
    const double a = p.allowance;
    // The quarters of the whole circumference that fall inside this piece, as fractions of
    // the piece from its seam edge.
    QList<double> quarters;
    for (int q = 1; q <= 3; ++q) {
        const double frac = q / 4.0 * p.pieces - p.piece;
        if (frac > 1e-9 && frac < 1 - 1e-9)
            quarters << frac;
    }
    // The cylinder's end is the one of diameter d1.
    const bool cylinderAtSmallEnd = f.mean1 <= f.mean2;

    if (p.isSector()) {
        const double R = f.outerRadius, r = f.innerRadius;
        const double sweep = p.sweepDegrees * Deg;
        const double a0 = TruePi / 2 - sweep / 2, a1 = TruePi / 2 + sweep / 2;
        const QPointF o0 = polar(R, a0), o1 = polar(R, a1), i1 = polar(r, a1), i0 = polar(r, a0);
        const double b = bulgeFor(sweep);
        p.outline.vertices = {{o0, b}, {o1, 0}, {i1, -b}, {i0, 0}};
        if (a > 0) {
            const QPointF n(std::sin(a0), -std::cos(a0)); // outwards from the seam edge
            p.outline.vertices << ContourVertex{i0 + n * a, 0} << ContourVertex{o0 + n * a, 0};
            p.marks << Stroke{i0, o0}; // the bare edge, where the allowance begins
        }
        const double tick = std::min(5.0, f.slant * 0.2);
        for (double frac : quarters) {
            const double angle = a0 + frac * sweep;
            p.marks << Stroke{polar(R, angle), polar(R - tick, angle)}
                    << Stroke{polar(r, angle), polar(r + tick, angle)};
        }
        // The arrow takes a band at the cylinder's edge; the label the rest.
        const double band = std::min(ArrowBand, f.slant * 0.3);
        const double r0 = cylinderAtSmallEnd ? r + band : r, r1 = cylinderAtSmallEnd ? R : R - band;
        Body body{true, r0, r1, sweep / 2, 0, 0, 0};
        const double across = (r0 + r1) / 2 * sweep; // the arc through the label's centre
        p.label = fitLabel(body, labelLines(p, o), p.name, polar((r0 + r1) / 2, TruePi / 2),
                           f.slant >= across ? 90 : 0);
        const QPointF inner = polar(r, TruePi / 2), outer = polar(R, TruePi / 2);
        addCentreLine(p.marks, inner, outer, p.label);
        const double edge = cylinderAtSmallEnd ? r : R, inwards = cylinderAtSmallEnd ? 1 : -1;
        addArrow(p.marks, polar(edge + inwards * band * 0.8, TruePi / 2),
                 polar(edge + inwards * band * 0.2, TruePi / 2));
    } else {
        const double w = p.width, h = f.height;
        p.outline.vertices = {{{0, 0}, 0}, {{w, 0}, 0}, {{w, h}, 0}, {{0, h}, 0}};
        if (a > 0) {
            p.outline.vertices << ContourVertex{{-a, h}, 0} << ContourVertex{{-a, 0}, 0};
            p.marks << Stroke{{0, 0}, {0, h}};
        }
        const double tick = std::min(5.0, h * 0.2);
        for (double frac : quarters) {
            p.marks << Stroke{{frac * w, 0}, {frac * w, tick}}
                    << Stroke{{frac * w, h}, {frac * w, h - tick}};
        }
        const double band = std::min(ArrowBand, h * 0.3);
        Body body{false, 0, 0, 0, band, w, h};
        p.label = fitLabel(body, labelLines(p, o), p.name, QPointF(w / 2, (band + h) / 2),
                           w >= h ? 0 : 90);
        addCentreLine(p.marks, QPointF(w / 2, 0), QPointF(w / 2, h), p.label);
        addArrow(p.marks, QPointF(w / 2, band * 0.8), QPointF(w / 2, band * 0.2));
    }
    p.area = areaOf(p.outline);
    // A kerf under a micrometre cuts nothing a machine can tell, and its offset would be lost
    // in the outline's rounding.
    p.cut = o.kerf >= 1e-3 ? offsetOutline(p.outline, o.kerf / 2) : p.outline;
}

bool finitePoint(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Whether every number of the part that a file would hold is a number.
bool finite(const Part &p)
{
    for (const ContourVertex &v : p.outline.vertices) {
        if (!finitePoint(v.p) || !std::isfinite(v.bulge))
            return false;
    }
    for (const Stroke &m : p.marks) {
        if (!finitePoint(m.a) || !finitePoint(m.b))
            return false;
    }
    return finitePoint(p.label.centre) && std::isfinite(p.label.em) && std::isfinite(p.area);
}

// A development a workshop can draw: finite, no larger than MaxPartExtent, and a sector whose
// radii still differ by its slant (not lost in the rounding of an apex kilometres away).
bool drawable(const Development &d)
{
    for (double v : {d.length, d.d1, d.d2, d.mean1, d.mean2, d.slant, d.width, d.height}) {
        if (!(std::abs(v) <= MaxPartExtent))
            return false;
    }
    if (d.kind != Development::Kind::Sector)
        return true;
    const double s = d.outerRadius - d.innerRadius;
    return std::isfinite(d.outerRadius) && std::isfinite(d.sweepDegrees) && d.sweepDegrees > 0 &&
           std::abs(s - d.slant) <= 1e-6 * d.slant;
}

Part piece(const Development &stretch, int stretchIndex, int stretches, int index, int pieces,
           const WorkshopOptions &o)
{
    Part p;
    p.segment = stretch.segment;
    p.segmentName = stretch.name;
    p.frustum = stretch;
    p.stretch = stretchIndex;
    p.stretches = stretches;
    p.piece = index;
    p.pieces = pieces;
    p.allowance = o.seamAllowance;
    if (p.isSector())
        p.sweepDegrees = stretch.sweepDegrees / pieces;
    else
        p.width = stretch.width / pieces;
    const int n = stretchIndex * pieces + index;
    p.name = (stretch.label.isEmpty() ? QString::number(stretch.segment) : stretch.label) +
             (stretches * pieces > 1 ? pieceLetters(n) : QString());
    buildPiece(p, o);
    return p;
}

} // namespace

const std::array<WorkshopNumber, WorkshopNumberCount> &workshopNumbers()
{
    using O = WorkshopOptions;
    static const std::array<WorkshopNumber, WorkshopNumberCount> table{{
        {"sheet", QT_TRANSLATE_NOOP("velmorant", "Spessore lamiera (mm)"), &O::sheetThickness, 0,
         100},
        {"seam", QT_TRANSLATE_NOOP("velmorant", "Sormonto di saldatura (mm)"), &O::seamAllowance, 0,
         200},
        {"gap", QT_TRANSLATE_NOOP("velmorant", "Distanza tra i pezzi (mm)"), &O::gap, 0, 500},
        {"max-sweep", QT_TRANSLATE_NOOP("velmorant", "Angolo massimo di un pezzo (\u00b0)"),
         &O::maxSweepDegrees, 1, 360},
        {"max-length",
         QT_TRANSLATE_NOOP("velmorant", "Lunghezza massima di un tratto (mm, 0 = "
                                        "nessuna)"),
         &O::maxLength, 0, 1e6},
        {"density", QT_TRANSLATE_NOOP("velmorant", "Densit\u00e0 (g/cm\u00b3)"), &O::density, 0,
         100},
        {"kerf", QT_TRANSLATE_NOOP("velmorant", "Larghezza del taglio (mm, laser o plasma)"),
         &O::kerf, 0, 3},
        {"halves-margin", QT_TRANSLATE_NOOP("velmorant", "Margine di saldatura dei semigusci (mm)"),
         &O::halvesMargin, 0, 50},
        {"halves-stretch",
         QT_TRANSLATE_NOOP("velmorant", "Allungamento dei semigusci nella formatura (%)"),
         &O::halvesStretch, 0, 20},
    }};
    return table;
}

double Part::outerEdge() const
{
    if (mitred() || halves())
        return std::max(edgeUp, edgeDown);
    return isSector() ? frustum.outerRadius * sweepDegrees * Deg : width;
}

double Part::innerEdge() const
{
    if (mitred() || halves())
        return std::min(edgeUp, edgeDown);
    return isSector() ? frustum.innerRadius * sweepDegrees * Deg : width;
}

PartsResult makeParts(const QList<Development> &developments, const WorkshopOptions &o)
{
    PartsResult result;
    auto refuse = [&](PartsRefusal::Kind kind, const QString &text,
                      const char *option = "") -> PartsResult & {
        result.parts.clear();
        result.refusal = PartsRefusal{kind, text, QLatin1String(option), std::nullopt};
        return result;
    };
    auto tooMany = [&] {
        return refuse(PartsRefusal::Kind::Option,
                      tr("il taglio richiederebbe pi\u00f9 di %1 pezzi").arg(MaxParts),
                      "max-length");
    };
    auto notNumbers = [&](const Part &p) {
        return refuse(PartsRefusal::Kind::Geometry,
                      tr("il pezzo %1 non si pu\u00f2 disegnare: le sue misure non sono numeri")
                          .arg(p.name));
    };
    for (const Development &dev : developments) {
        if (dev.kind == Development::Kind::Skipped)
            continue;
        if (!drawable(dev))
            return refuse(PartsRefusal::Kind::Geometry,
                          tr("il segmento %1 (%2) non si pu\u00f2 disegnare: le sue misure "
                             "superano %3 km o non sono numeri")
                              .arg(dev.segment)
                              .arg(dev.name, in(o.numbers, MaxPartExtent / 1e6, 0)));
        const double wanted = o.maxLength > 0 ? std::ceil(dev.length / o.maxLength - 1e-9) : 1.0;
        if (!(wanted * 1.0 + result.parts.size() <= MaxParts))
            return tooMany();
        if (dev.halves) {
            // Two halves, the same outline, never cut shorter: they are formed whole.
            if (result.parts.size() + 2 > MaxParts)
                return tooMany();
            for (int i = 0; i < 2; ++i) {
                Part p = piece(dev, 0, 1, i, 2, o);
                const std::optional<double> angle = sheetFitAngle(p.cut, o);
                p.fitsSheet = angle.has_value();
                p.fitAngle = angle.value_or(0);
                if (!finite(p))
                    return notNumbers(p);
                result.parts << p;
            }
            continue;
        }
        const int stretches = std::max(1, int(wanted));
        // A mitred piece is cut by square cuts clear of its oblique ones, or not at all.
        const QList<Development> mitredParts =
            dev.mitre ? mitredStretches(dev, stretches) : QList<Development>();
        if (dev.mitre && mitredParts.isEmpty())
            return refuse(PartsRefusal::Kind::Option,
                          tr("il pezzo %1 \u00e8 troppo corto per tagliarlo in %2 tratti")
                              .arg(dev.label)
                              .arg(stretches),
                          "max-length");
        for (int s = 0; s < stretches; ++s) {
            // Diameters change linearly along the axis, so a stretch is a frustum of its own.
            const double t0 = double(s) / stretches, t1 = double(s + 1) / stretches;
            Development stretch = dev.mitre ? mitredParts[s]
                                            : developFrustum(dev.segment, dev.name,
                                                             dev.length / stretches,
                                                             dev.d1 + (dev.d2 - dev.d1) * t0,
                                                             dev.d1 + (dev.d2 - dev.d1) * t1,
                                                             o.sheetThickness);
            stretch.label = dev.label;
            // As few pieces as the maximum sweep allows, more if a piece does not fit the sheet.
            int first = 1;
            if (stretch.kind == Development::Kind::Sector && o.maxSweepDegrees > 0)
                first =
                    std::max(1, int(std::ceil(stretch.sweepDegrees / o.maxSweepDegrees - 1e-9)));
            int pieces = first;
            bool fits = false;
            double fitAngle = 0;
            for (int k = first; k <= std::max(first, MaxPiecesForSheet) && !fits; ++k) {
                const Part trial = piece(stretch, s, stretches, 0, k, o);
                if (const std::optional<double> angle = sheetFitAngle(trial.cut, o)) {
                    pieces = k;
                    fits = true;
                    fitAngle = *angle;
                }
            }
            if (result.parts.size() + pieces > MaxParts)
                return tooMany();
            for (int i = 0; i < pieces; ++i) {
                Part p = piece(stretch, s, stretches, i, pieces, o);
                p.fitsSheet = fits;
                p.fitAngle = fitAngle;
                // Rolled up, the allowance lies over the piece's other end: it cannot be as
                // wide as the piece itself.
                const double across = std::min(p.innerEdge(), p.outerEdge());
                if (o.seamAllowance > 0 && o.seamAllowance >= across) {
                    refuse(PartsRefusal::Kind::Option,
                           tr("un sormonto di %1 mm non sta sul pezzo %2, largo %3 mm")
                               .arg(in(o.numbers, o.seamAllowance), p.name, in(o.numbers, across)),
                           "seam");
                    // Tenths of a millimetre below the piece's width.
                    result.refusal.range = {0.0, std::floor(across * 10 - 1e-6) / 10};
                    return result;
                }
                if (!finite(p))
                    return notNumbers(p);
                result.parts << p;
            }
        }
    }
    return result;
}

} // namespace velmorant

