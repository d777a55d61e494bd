#pragma once

#include "chamber.h"
#include "inputsource.h"
#include "parameters.h"
#include "sketch/sketch.h"

#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace velmorant {

// The program-wide state of the calculator.
struct CalculationState
{
    std::int16_t calculationCount = 0;
    DesignParameters defaults = defaultParameters();
    DesignParameters currentParameters = defaultParameters();
    QString inputSourceText;
    FileSet fileSet{};

    CalculationState();
};

// Counts one press; the count stops at the largest value it can hold.
void countPress(CalculationState &state);

constexpr std::size_t ResultCount = 8; // L1..L5, D1..D3, in box order

// What the sketch step needs from the window: the frame's width and the width its caption
// labels take for a given text (twips).
struct SketchFrame
{
    double width = 0;
    std::function<float(const QString &)> captionWidth;
};

struct CalculateOutcome
{
    enum class Kind { Rejected, NegativeL3, NotComputable, Success };
    Kind kind = Kind::Rejected;
    QString message;               // the message box text that ends the command
    std::size_t rejectedField = 0; // for Rejected

    // Success only:
    ChamberDimensions dimensions;
    std::array<QString, ResultCount> resultTexts;
    std::array<QString, SketchCaptionCount> captions; // txtQL1..txtQL5, txtQD1..3, Div, Conv
    SketchGeometry sketch;
    QString panel1;
    QString panel3;

    bool succeeded() const { return kind == Kind::Success; }
};

// The Calculate command over the eight box texts. Updates the count, the stored parameters
// and the input-source text in `state`; everything to show is in the outcome.
CalculateOutcome calculate(CalculationState &state, const ParameterTexts &texts,
                           const QLocale &locale, const SketchFrame &frame);

// The texts of the outcome that do not depend on the window (used by calculate).
std::array<QString, ResultCount> resultTexts(const ChamberDimensions &d, const QLocale &locale);
std::array<QString, SketchCaptionCount>
captionTexts(const ChamberDimensions &d, const DesignParameters &p, const QLocale &locale);

struct ClearOutcome
{
    QString panel1;
    QString panel3;
};

// The Clear command: the window also hides the sketch and empties the result boxes.
ClearOutcome clearCalculation(CalculationState &state);

} // namespace velmorant
