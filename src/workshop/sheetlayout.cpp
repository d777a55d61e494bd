#include "sheetlayout.h"

#include "textmodel.h"

#include <cmath>

namespace velmorant {

bool upsideDown(double degrees)
{
    const double a = degrees * 3.14159265358979323846 / 180;
    const double c = std::cos(a), s = std::sin(a);
    return !(c > 1e-9 || (std::abs(c) <= 1e-9 && s > 0));
}

QList<LabelLine> labelLines(const PartLabel &label, bool turned)
{
    QList<LabelLine> out;
    if (label.em <= 0)
        return out;
    const double a = (label.angle + (turned ? 180 : 0)) * 3.14159265358979323846 / 180;
    const QPointF v(-std::sin(a), std::cos(a)); // towards the top of the text
    const int n = int(label.lines.size());
    const double tall = textBlockSize(label.lines, label.em).height();
    for (int k = 0; k < n; ++k) {
        // A line's capitals reach about 0.75 em above its baseline.
        const double up = tall / 2 - 0.75 * label.em - k * LineSpacingEm * label.em;
        out << LabelLine{label.lines[k], label.centre + v * up};
    }
    return out;
}

SheetLayout layoutSheets(const WorkshopPlan &plan, int onlySheet, int onlyPart)
{
    SheetLayout layout;
    const QSizeF sheet = plan.options.sheetSize;
    QRectF extent;
    auto addPart = [&](int i, const QTransform &t) {
        layout.items << SheetLayout::Item{i, t};
        extent |= boundsOf(transformed(plan.parts[i].cut, t));
    };

    if (onlyPart >= 0) {
        // The part on its own, at the origin.
        const QRectF b = boundsOf(plan.parts[onlyPart].cut);
        addPart(onlyPart, QTransform::fromTranslate(-b.left(), -b.top()));
        layout.extent = extent;
        return layout;
    }

    double x = 0;
    for (int s = 0; s < plan.nesting.sheets; ++s) {
        if (onlySheet >= 0 && s != onlySheet)
            continue;
        const QRectF rect(x, 0, sheet.width(), sheet.height());
        layout.sheets << rect;
        layout.sheetNumbers << s + 1;
        extent |= rect;
        for (const PartPlacement &p : plan.nesting.placements) {
            if (p.sheet == s)
                addPart(p.part, p.transform() * QTransform::fromTranslate(x, 0));
        }
        x += sheet.width() + SheetLayout::Spacing;
    }
    if (onlySheet < 0) {
        for (int i : plan.nesting.unplaced) {
            const QRectF b = boundsOf(plan.parts[i].cut);
            addPart(i, QTransform::fromTranslate(x - b.left(), -b.top()));
            x += b.width() + SheetLayout::Spacing;
        }
    }
    layout.extent = extent;
    return layout;
}

} // namespace velmorant
