#pragma once

// Designs the workshop tests share, and the sizes of their segments as the sizing gives them.
#include "plan.h"

#include <QSizeF>
#include <QtTest>

namespace velmorant::test {

constexpr double Pi = 3.14159265358979323846;

struct Design
{
    double cil, rpm, ratio, sheet, seam;
    double maxSweep = 180, maxLength = 0;
    QSizeF sheetSize{1000, 500};
    double gap = 3;
    double kerf = 0;
};

inline WorkshopPlan planFor(const Design &d)
{
    DesignParameters p = defaultParameters();
    p[Field::Cil] = d.cil;
    p[Field::Rpm] = d.rpm;
    p[Field::Rappsez] = d.ratio;
    WorkshopOptions o;
    o.sheetThickness = d.sheet;
    o.seamAllowance = d.seam;
    o.maxSweepDegrees = d.maxSweep;
    o.maxLength = d.maxLength;
    o.sheetSize = d.sheetSize;
    o.gap = d.gap;
    o.kerf = d.kerf;
    o.designName = QStringLiteral("prova");
    return planWorkshop(p, computeChamber(p), o);
}

inline void addDesigns()
{
    QTest::addColumn<Design>("design");
    QTest::newRow("defaults") << Design{100, 10000, 4, 0, 0};
    QTest::newRow("50 cc, 14000, ratio 7, 1.5 mm, seam 10") << Design{50, 14000, 7, 1.5, 10};
    QTest::newRow("250 cc, 6000, ratio 2, seam 10") << Design{250, 6000, 2, 0, 10};
    QTest::newRow("125 cc, 9000, ratio 5, 1.5 mm") << Design{125, 9000, 5, 1.5, 0};
    QTest::newRow("80 cc, 12000, ratio 3, 1.5 mm, seam 10") << Design{80, 12000, 3, 1.5, 10};
    QTest::newRow("200 cc, 7500, ratio 6, seam 10") << Design{200, 7500, 6, 0, 10};
    QTest::newRow("many pieces: 10 degrees, 60 mm stretches, small sheet")
        << Design{125, 9000, 5, 1.5, 10, 10, 60, QSizeF(600, 400)};
}

// The inside diameters at the two ends of each segment, from the sizing.
inline std::pair<double, double> segmentEnds(const ChamberDimensions &d, int segment)
{
    switch (segment) {
    case 1:
        return {d.D1, d.D1};
    case 2:
        return {d.D1, d.D2};
    case 3:
        return {d.D2, d.D2};
    case 4:
        return {d.D2, d.D3};
    default:
        return {d.D3, d.D3};
    }
}

inline double segmentLength(const ChamberDimensions &d, int segment)
{
    const double lengths[5] = {d.L1, d.L2, d.L3, d.L4, d.L5};
    return lengths[segment - 1];
}

} // namespace velmorant::test

Q_DECLARE_METATYPE(velmorant::test::Design)
