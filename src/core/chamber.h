#pragma once

#include "parameters.h"

#include <QString>

#include <optional>

namespace velmorant {

// The program's own value of pi: the double nearest to 3.141592654, on purpose not the
// full-precision constant, so that results match the established figures.
constexpr double PI = 3.141592654;
constexpr double GAMMA_R = (1.4 * 8314) / 29;
constexpr double KELVIN_OFFSET = 273;
constexpr double TEMP_DROP = 280;
constexpr double SOUND_SPEED_DIVISOR = 24;
constexpr double GAS_SPEED_D1 = 40;
constexpr double GAS_SPEED_D3 = 80;
constexpr double SECONDS_PER_MINUTE = 60;
constexpr double CC_TO_M3 = 1e-6;
constexpr double M_TO_MM = 1000;
constexpr double L5_LENGTH = 200;

struct ChamberDimensions
{
    double a1 = 0; // speed of sound at TEMP1, m/s
    double a2 = 0; // speed of sound at TEMP1 - 280, m/s
    double L1 = 0, L2 = 0, L3 = 0, L4 = 0, L5 = 0;
    double D1 = 0, D2 = 0, D3 = 0;
    double LTOT = 0;
};

// The sizing, step by step; the grouping of each step fixes the rounding of the doubles.
// No checks: see chamberInputProblem and chamberResultProblem.
ChamberDimensions computeChamber(const DesignParameters &p);

// Why the formulas cannot be evaluated for these parameters, checked before computing.
std::optional<QString> chamberInputProblem(const DesignParameters &p);

// Why computed dimensions cannot be shown (a value that is not finite, or a zero tail
// diameter), checked after computing.
std::optional<QString> chamberResultProblem(const ChamberDimensions &d);

// The whole check of a design: the input problems, the computation, the result problems and
// a negative L3, in that order. Returns the refusal message, or the dimensions.
struct ChamberEvaluation
{
    ChamberDimensions dimensions;
    QString refusal; // empty when the design can be shown
    bool ok() const { return refusal.isEmpty(); }
};
ChamberEvaluation evaluateChamber(const DesignParameters &p);

// Why a shown design still gives no pipe to build: a length or diameter that is not positive,
// or a length beyond MaxChamberLengthMm (a cone angle near 0 or 180 degrees). The window shows
// such a design as the formulas give it; the command line and the workshop build nothing from
// it. The message names the dimension, in plain numbers.
constexpr double MaxChamberLengthMm = 100000;
std::optional<QString> unbuildableChamber(const ChamberDimensions &d);

} // namespace velmorant
