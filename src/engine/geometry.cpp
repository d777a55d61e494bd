#include "geometry.h"

#include <algorithm>
#include <cmath>

namespace velmorant::engine {

namespace {

constexpr double Pi = 3.14159265358979323846;

} // namespace

double EngineGeometry::travel(double degrees) const
{
    const double r = stroke / 2;
    const double a = degrees * Pi / 180;
    const double s = std::sin(a);
    return r * (1 - std::cos(a)) + rod - std::sqrt(rod * rod - r * r * s * s);
}

double EngineGeometry::exhaustArea(double s) const
{
    return exhaustWidth * std::clamp(s - eoDrop, 0.0, stroke - eoDrop);
}

double EngineGeometry::transferArea(double s) const
{
    return transferWidth * std::clamp(s - toDrop, 0.0, stroke - toDrop);
}

EngineGeometry::Ports EngineGeometry::portsAt(double degrees, double s) const
{
    if (table) {
        const PortAreaTable::Areas a = table->at(degrees);
        return {exhaustCd * a.exhaust * 1e-6, transferCd * a.transfer * 1e-6,
                intakeCd * a.intake * 1e-6};
    }
    return {exhaustCd * exhaustArea(s), transferCd * transferArea(s), 0};
}

EngineGeometry engineGeometry(const EngineInputs &in)
{
    EngineGeometry g;
    const double swept = in.displacement * 1e-6;
    double bore = in.bore.value_or(0) / 1000, stroke = in.stroke.value_or(0) / 1000;
    if (!in.bore && !in.stroke)
        bore = stroke = std::cbrt(4 * swept / Pi);
    else if (!in.stroke)
        stroke = swept / (Pi * bore * bore / 4);
    else if (!in.bore)
        bore = std::sqrt(4 * swept / (Pi * stroke));
    g.bore = bore;
    g.stroke = stroke;
    g.rod = in.conRodStrokes * stroke;
    g.pistonArea = Pi * bore * bore / 4;
    g.swept = g.pistonArea * stroke; // bore and stroke given: their own displacement
    g.clearance = g.swept / (in.compressionRatio - 1);
    g.table = in.portAreas;
    g.timing = in.portAreas ? in.portAreas->timing() : portTiming(in.sc, in.asp);
    g.eoDrop = g.travel(g.timing.eo);
    g.toDrop = g.travel(g.timing.to);
    g.exhaustWidth = in.exhaustWidth * bore;
    g.transferWidth = in.transferWidth * bore;
    g.exhaustCd = in.exhaustCd;
    g.transferCd = in.transferCd;
    g.intakeCd = in.intakeCd;
    const double intake = in.intakeDiameter * bore;
    g.intakeArea = Pi * intake * intake / 4;
    g.crankcaseMin = g.swept / (in.crankcaseRatio - 1);
    return g;
}

} // namespace velmorant::engine
