#pragma once

#include "chamber.h"
#include "nesting.h"
#include "part.h"
#include "pipe.h"

#include <QList>
#include <QString>

namespace velmorant {

// A builder's warning: advice about a design or a cut, never a refusal.
struct BuilderWarning
{
    QString code; // stable, for scripts: "DIVERGENT_ANGLE", ...
    QString text; // Italian, with the value and the threshold
};

// One rule of the table below: its code, its text (with %1 the value, %2 and %3 the limits)
// and its limits.
struct WarningRule
{
    const char *code;
    const char *text;
    double low, high; // the range of common practice; a bound that is not used is NaN
};

// The one table of the builder's warnings and their thresholds.
const QList<WarningRule> &warningRules();

// The warnings for a design, its developments, parts and nesting, in the table's order. With
// `pipe` (a pipe other than the first sizing's five segments) the pipe's own figures are
// checked: every cone's half-angle, its diameters and length, the tail pipe against the header
// and, with `portArea` (mm²), the header against the port.
QList<BuilderWarning> builderWarnings(const DesignParameters &p, const ChamberDimensions &d,
                                      const QList<Development> &developments,
                                      const QList<Part> &parts, const NestingResult &nesting,
                                      const WorkshopOptions &options, const Pipe *pipe = nullptr,
                                      double portArea = 0);

} // namespace velmorant
