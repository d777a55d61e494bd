#include "friction.h"

namespace velmorant::engine {

double chenFlynn(double a, double b, double c, double d, double peakBar, double meanPistonSpeed)
{
    return a + b * peakBar + c * meanPistonSpeed + d * meanPistonSpeed * meanPistonSpeed;
}

double twoStrokeFriction(double a, double b, double c, double d, double peakBar,
                         double meanPistonSpeed, double revolutions)
{
    return b * peakBar +
           (a + c * meanPistonSpeed + d * meanPistonSpeed * meanPistonSpeed) / revolutions;
}

BrakeFigures brakeFigures(double indicatedWork, double crankcaseWork, double fmepBar, double swept,
                          double rpm, double fuel)
{
    constexpr double Pi = 3.14159265358979323846;
    BrakeFigures b;
    b.imep = indicatedWork / swept / 1e5;
    b.pmep = -crankcaseWork / swept / 1e5;
    b.fmep = fmepBar;
    b.bmep = b.imep - b.pmep - b.fmep;
    const double watts = b.bmep * 1e5 * swept * rpm / 60;
    b.powerKw = watts / 1000;
    b.powerCv = watts / WattsPerCv;
    b.torqueNm = watts / (2 * Pi * rpm / 60);
    if (watts > 0)
        b.bsfc = fuel * rpm / 60 * 3600 * 1000 / b.powerKw; // g/h over kW
    return b;
}

} // namespace velmorant::engine
