#pragma once

#include "plan.h"

#include <QList>
#include <QRectF>
#include <QTransform>

namespace velmorant {

// The sheets side by side along x, a spacing apart, each part on its sheet; parts that fit no
// sheet follow the last sheet in a row of their own. Millimetres, y upwards.
struct SheetLayout
{
    struct Item
    {
        int part = -1;
        QTransform toDrawing; // part coordinates to drawing coordinates
    };
    QList<QRectF> sheets;    // as drawn
    QList<int> sheetNumbers; // from 1, for each drawn sheet
    QList<Item> items;
    QRectF extent; // everything drawn: sheets, outlines, marks and labels

    static constexpr double Spacing = 50;
};

// All sheets, or one (`onlySheet` from 0), or one part alone (`onlyPart`).
SheetLayout layoutSheets(const WorkshopPlan &plan, int onlySheet = -1, int onlyPart = -1);

// The baseline centre of each line of a label, in the part's coordinates. `turned` reads the
// block the other way round (its baselines at label.angle + 180 degrees): the same rectangle,
// for a part that lies so that its text would otherwise be upside down.
struct LabelLine
{
    QString text;
    QPointF baselineCentre;
};
QList<LabelLine> labelLines(const PartLabel &label, bool turned);

// Whether text whose baselines run at `degrees` (counter-clockwise, y up) reads upside down:
// it should run rightwards, or upwards when vertical.
bool upsideDown(double degrees);

} // namespace velmorant
