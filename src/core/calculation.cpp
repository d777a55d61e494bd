#include "calculation.h"

#include "number.h"
#include "texts.h"
#include "validation.h"

#include <limits>

namespace velmorant {

QString texts::statusAfterCalculation(int count)
{
    return QStringLiteral("Stato: ") + QString::number(count) +
           (count == 1 ? QStringLiteral(" Calcolo eseguito - Pronto per un nuovo calcolo")
                       : QStringLiteral(" Calcoli eseguiti - Pronto per un nuovo calcolo"));
}

CalculationState::CalculationState() : inputSourceText(texts::sourceDefaults()) {}

void countPress(CalculationState &state)
{
    if (state.calculationCount < std::numeric_limits<std::int16_t>::max())
        ++state.calculationCount;
}

std::array<QString, ResultCount> resultTexts(const ChamberDimensions &d, const QLocale &locale)
{
    return {formatDimension(d.L1, locale), formatDimension(d.L2, locale),
            formatDimension(d.L3, locale), formatDimension(d.L4, locale),
            formatDimension(d.L5, locale), formatDimension(d.D1, locale),
            formatDimension(d.D2, locale), formatDimension(d.D3, locale)};
}

std::array<QString, SketchCaptionCount>
captionTexts(const ChamberDimensions &d, const DesignParameters &p, const QLocale &locale)
{
    const double values[8] = {d.L1, d.L2, d.L3, d.L4, d.L5, d.D1, d.D2, d.D3};
    std::array<QString, SketchCaptionCount> captions;
    for (int i = 0; i < 8; ++i) {
        const QString prefix =
            (i < 5 ? QStringLiteral("L%1=").arg(i + 1) : QStringLiteral("D%1=").arg(i - 4));
        captions[i] = prefix + formatDimension(values[i], locale) + QStringLiteral(" mm");
    }
    captions[8] = QStringLiteral("Div=") + formatDimension(p[Field::Div], locale) + QChar(0x00B0);
    captions[9] = QStringLiteral("Conv=") + formatDimension(p[Field::Conv], locale) + QChar(0x00B0);
    return captions;
}

CalculateOutcome calculate(CalculationState &state, const ParameterTexts &boxTexts,
                           const QLocale &locale, const SketchFrame &frame)
{
    CalculateOutcome out;
    countPress(state);

    if (std::optional<Rejection> rejected =
            readParameters(boxTexts, locale, state.currentParameters)) {
        out.kind = CalculateOutcome::Kind::Rejected;
        out.rejectedField = rejected->field;
        out.message = rejected->message;
        return out;
    }

    const DesignParameters &p = state.currentParameters;
    const ChamberEvaluation evaluation = evaluateChamber(p);
    if (!evaluation.ok()) {
        out.kind = evaluation.negativeL3 ? CalculateOutcome::Kind::NegativeL3
                                         : CalculateOutcome::Kind::NotComputable;
        out.message = evaluation.refusal;
        return out;
    }
    const ChamberDimensions &d = evaluation.dimensions;

    out.kind = CalculateOutcome::Kind::Success;
    out.dimensions = d;
    out.resultTexts = resultTexts(d, locale);
    out.captions = captionTexts(d, p, locale);
    std::array<float, SketchCaptionCount> widths{};
    for (std::size_t i = 0; i < SketchCaptionCount; ++i)
        widths[i] = frame.captionWidth ? frame.captionWidth(out.captions[i]) : 0.0f;
    out.sketch = drawSketch(d, frame.width, widths);
    out.panel1 = texts::statusAfterCalculation(state.calculationCount);
    state.inputSourceText = classifyInputSource(p, state.defaults, state.fileSet);
    out.panel3 = state.inputSourceText;
    out.message = texts::calculationDone();
    return out;
}

ClearOutcome clearCalculation(CalculationState &state)
{
    state.inputSourceText = texts::sourceUser();
    state.calculationCount = 0;
    return {texts::statusCleared(), state.inputSourceText};
}

} // namespace velmorant
