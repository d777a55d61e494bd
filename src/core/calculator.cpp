#include "calculator.h"

#include "number.h"
#include "texts.h"
#include "validation.h"

#include <QFileInfo>

#include <limits>

namespace velmorant {

QString texts::statusAfterCalculation(int count)
{
    return count == 1 ? QCoreApplication::translate(
                            "velmorant", "Stato: %1 Calcolo eseguito - Pronto per un nuovo calcolo")
                            .arg(count)
                      : QCoreApplication::translate(
                            "velmorant", "Stato: %1 Calcoli eseguiti - Pronto per un nuovo calcolo")
                            .arg(count);
}

CalculationState::CalculationState() : inputSourceText(texts::sourceDefaults()) {}

std::array<QString, ResultCount> resultTexts(const ChamberDimensions &d, const QLocale &locale)
{
    std::array<QString, ResultCount> out;
    for (std::size_t i = 0; i < ResultCount; ++i)
        out[i] = formatDimension(resultValue(d, i), locale);
    return out;
}

std::array<QString, SketchCaptionCount>
captionTexts(const ChamberDimensions &d, const DesignParameters &p, const QLocale &locale)
{
    std::array<QString, SketchCaptionCount> captions;
    for (std::size_t i = 0; i < ResultCount; ++i)
        captions[i] = texts::lengthCaption(QString::fromLatin1(resultInfo(i).captionPrefix),
                                           formatDimension(resultValue(d, i), locale));
    captions[8] = texts::divergentCaption(formatDimension(p[Field::Div], locale));
    captions[9] = texts::convergentCaption(formatDimension(p[Field::Conv], locale));
    return captions;
}

Screen Calculator::startup(const QLocale &locale) const
{
    Screen s;
    s.inputs = parameterTexts(m_state.currentParameters, locale);
    s.panels = {texts::statusReady(), texts::fileNone(), m_state.inputSourceText};
    return s;
}

Screen Calculator::calculate(const ParameterTexts &boxTexts, const QLocale &locale,
                             double frameWidth)
{
    Screen s;
    // Every press counts, also those that end in a refusal; the count stops at its largest.
    if (m_state.calculationCount < std::numeric_limits<std::int16_t>::max())
        ++m_state.calculationCount;

    if (std::optional<Rejection> rejected =
            readParameters(boxTexts, locale, m_state.currentParameters)) {
        s.message = Message{rejected->message, MessageIcon::Critical};
        return s;
    }
    const DesignParameters &p = m_state.currentParameters;
    const ChamberEvaluation evaluation = evaluateChamber(p);
    if (!evaluation.ok()) {
        s.message = Message{evaluation.refusal, MessageIcon::Critical};
        return s;
    }
    const ChamberDimensions &d = evaluation.dimensions;
    s.results = resultTexts(d, locale);
    s.captions = captionTexts(d, p, locale);
    s.geometry = drawSketch(d, frameWidth);
    // A drawing without meaning (a zero total length, coordinates beyond a float) stays hidden.
    s.sketch = s.geometry.drawable ? Screen::Sketch::Show : Screen::Sketch::Hide;
    m_state.inputSourceText = classifyInputSource(p, m_state.defaults, m_state.fileSet);
    s.panels[0] = texts::statusAfterCalculation(m_state.calculationCount);
    s.panels[2] = m_state.inputSourceText;
    s.message = Message{texts::calculationDone(), MessageIcon::None};
    return s;
}

Screen Calculator::clear()
{
    m_state.inputSourceText = texts::sourceUser();
    m_state.calculationCount = 0;
    Screen s;
    s.results.emplace(); // empty texts
    s.sketch = Screen::Sketch::Hide;
    s.panels[0] = texts::statusCleared();
    s.panels[2] = m_state.inputSourceText;
    return s;
}

Screen Calculator::resetDefaults(const QLocale &locale)
{
    m_state.currentParameters = m_state.defaults;
    Screen s;
    s.inputs = parameterTexts(m_state.currentParameters, locale);
    s.message = Message{texts::defaultsRestored(), MessageIcon::Information};
    s.messageBeforePanels = true;
    s.panels[2] = texts::sourceDefaults();
    return s;
}

Screen Calculator::opened(const QString &path, const FileSet &fileSet, const QLocale &locale)
{
    m_state.fileSet = fileSet;
    m_state.lastChosenFile = path;
    Screen s;
    s.inputs = fileSetTexts(fileSet, locale);
    s.panels[1] = texts::fileTitle(QFileInfo(path).fileName());
    // The file commands write the panel only; the next Calculate classifies again.
    s.panels[2] = texts::sourceFile();
    return s;
}

Screen Calculator::saved(const QString &path, bool chosen)
{
    if (chosen) {
        m_state.saveFile = path;
        m_state.lastChosenFile = path;
    }
    Screen s;
    s.panels[1] = texts::fileTitle(QFileInfo(m_state.lastChosenFile).fileName());
    s.panels[2] = texts::sourceFile();
    return s;
}

Screen Calculator::fileFailed(const QString &message)
{
    Screen s;
    s.message = Message{message, MessageIcon::Critical};
    return s;
}

} // namespace velmorant
