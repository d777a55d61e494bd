#pragma once

#include "chamber.h"

#include <array>
#include <cstddef>

namespace velmorant {

// What a result is for: shown in a box and as a sketch caption, the total length, or a speed
// of sound that only reports and checks see.
enum class ResultKind { Shown, Total, SoundSpeed };

struct ResultInfo
{
    const char *name; // "L1", as in reports, JSON and the sweep header
    double ChamberDimensions::*member;
    ResultKind kind;
    const char *boxName;       // objectName of the output box (Shown only)
    const char *labelName;     // objectName of the label beside the box (Shown only)
    const char *captionPrefix; // start of the sketch caption, "L1=" (Shown only)
    const char *reportName;    // the row of the command line's table (not for SoundSpeed)
};

constexpr std::size_t ResultTableSize = 11;
constexpr std::size_t ResultCount = 8; // the Shown ones: L1..L5, D1..D3, in box order, first

// The one table of the results, beside the field table; everything that lists results reads it.
const std::array<ResultInfo, ResultTableSize> &resultTable();

inline const ResultInfo &resultInfo(std::size_t index)
{
    return resultTable()[index];
}
inline double resultValue(const ChamberDimensions &d, std::size_t index)
{
    return d.*(resultTable()[index].member);
}

} // namespace velmorant
