#pragma once

#include "calculator.h"
#include "plan.h"

#include <QJsonObject>
#include <QLocale>

#include <optional>

namespace velmorant {

struct TunedLength
{
    double length = 0; // L1 + L2 + L3 asked for, mm
    double rpm = 0;    // the engine speed that gives it
};

// The engine speed at which L1 + L2 + L3 equals `length` with the other parameters as given.
// L1 + L2 + L3 is the second sound-speed length, a2 (SC + ASP) / (24 RPM) metres, so the
// speed follows in closed form. Empty when no speed an engine runs at (TunedRpmRange, the
// workshop's and the wave model's) gives that length.
constexpr std::pair<double, double> TunedRpmRange{500, 30000};
std::optional<TunedLength> solveTunedLength(const DesignParameters &p, double length);

// The readable table of the default output.
QString resultTable(const ChamberDimensions &d, const QLocale &locale,
                    const std::optional<TunedLength> &tuned);

struct SketchReport
{
    double frameWidth = 0;
    SketchGeometry geometry;
};

// Without the first sizing (`sizing` refused, with a measured pipe) "results" and "captions" give
// way to "first_sizing_refusal".
QJsonObject reportJson(const DesignParameters &p, const ChamberEvaluation &sizing,
                       const std::array<QString, SketchCaptionCount> &captions,
                       const WorkshopPlan &plan, const std::optional<SketchReport> &sketch,
                       const std::optional<TunedLength> &tuned);

} // namespace velmorant
