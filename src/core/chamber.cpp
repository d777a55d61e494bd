#include "chamber.h"

#include "number.h"
#include "results.h"
#include "texts.h"

#include <cmath>

namespace velmorant {

ChamberDimensions computeChamber(const DesignParameters &p)
{
    const double cil = p[Field::Cil];
    const double rpm = p[Field::Rpm];
    const double asp = p[Field::Asp];
    const double sc = p[Field::Sc];
    const double temp1 = p[Field::Temp1];

    ChamberDimensions d;
    d.a1 = std::pow((temp1 + KELVIN_OFFSET) * GAMMA_R, 0.5);
    d.a2 = std::pow(((temp1 - TEMP_DROP) + KELVIN_OFFSET) * GAMMA_R, 0.5);
    d.L1 = (((d.a1 / SOUND_SPEED_DIVISOR) * (sc - asp)) / rpm) * M_TO_MM;
    d.D1 =
        std::pow((((4 * cil) * CC_TO_M3) * rpm) / ((PI * GAS_SPEED_D1) * SECONDS_PER_MINUTE), 0.5) *
        M_TO_MM;
    d.D2 = d.D1 * std::pow(p[Field::Rappsez], 0.5);
    d.L2 = (0.5 * (d.D2 - d.D1)) / std::tan(p[Field::Div] * PI / 180);
    d.L3 = (((d.a2 / SOUND_SPEED_DIVISOR) * (sc + asp)) / rpm) * M_TO_MM - (d.L1 + d.L2);
    d.D3 =
        std::pow((((4 * cil) * CC_TO_M3) * rpm) / ((PI * GAS_SPEED_D3) * SECONDS_PER_MINUTE), 0.5) *
        M_TO_MM;
    d.L4 = (0.5 * (d.D2 - d.D3)) / std::tan(p[Field::Conv] * PI / 180);
    d.L5 = L5_LENGTH;
    d.LTOT = (((d.L1 + d.L2) + d.L3) + d.L4) + d.L5;
    return d;
}

std::optional<QString> chamberInputProblem(const DesignParameters &p)
{
    // The second speed of sound takes the square root of a multiple of TEMP1 - 7.
    if (p[Field::Temp1] < 7)
        return texts::temperatureTooLow();
    if (p[Field::Cil] * p[Field::Rpm] < 0)
        return texts::oppositeSigns();
    if (p[Field::Rappsez] < 0)
        return texts::negativeRatio();
    return std::nullopt;
}

std::optional<QString> chamberResultProblem(const ChamberDimensions &d)
{
    for (const ResultInfo &r : resultTable()) {
        if (!std::isfinite(d.*r.member))
            return texts::outOfRange();
    }
    // The sketch scales its height by 500 / D3.
    if (d.D3 == 0)
        return texts::outOfRange();
    return std::nullopt;
}

std::optional<QString> unbuildableChamber(const ChamberDimensions &d)
{
    for (const ResultInfo &r : resultTable()) {
        if (r.kind == ResultKind::SoundSpeed)
            continue;
        const double v = d.*r.member;
        const bool length = r.name[0] == 'L';
        if (v > 0 && (!length || v <= MaxChamberLengthMm))
            continue;
        // A length of a billion kilometres is said as one, not in three hundred digits.
        return texts::unbuildable(QString::fromLatin1(r.name),
                                  std::fabs(v) < 1e7 ? formatPlainNumber(std::round(v * 10) / 10)
                                                     : QString::number(v, 'g', 3),
                                  formatPlainNumber(MaxChamberLengthMm));
    }
    return std::nullopt;
}

ChamberEvaluation evaluateChamber(const DesignParameters &p)
{
    ChamberEvaluation e;
    if (std::optional<QString> problem = chamberInputProblem(p)) {
        e.refusal = *problem;
        return e;
    }
    e.dimensions = computeChamber(p);
    if (std::optional<QString> problem = chamberResultProblem(e.dimensions)) {
        e.refusal = *problem;
    } else if (e.dimensions.L3 < 0) {
        e.refusal = texts::negativeL3();
    }
    return e;
}

} // namespace velmorant
