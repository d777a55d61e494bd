#pragma once

#include "chamber.h"
#include "inputsource.h"
#include "message.h"
#include "parameters.h"
#include "results.h"
#include "sketch/sketch.h"

#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace velmorant {

// The program-wide state behind the main window.
struct CalculationState
{
    std::int16_t calculationCount = 0;
    DesignParameters defaults = defaultParameters();
    DesignParameters currentParameters = defaultParameters();
    QString inputSourceText;
    FileSet fileSet{};
    QString saveFile;       // where Save writes; only Save As sets it
    QString lastChosenFile; // the file last chosen in the file dialog (status panel 2)

    CalculationState();
};

// Everything one command asks the window to show. What is not set stays as it is.
struct Screen
{
    enum class Sketch { Keep, Show, Hide };

    std::optional<ParameterTexts> inputs;
    std::optional<std::array<QString, ResultCount>> results;
    std::optional<std::array<QString, SketchCaptionCount>> captions;
    Sketch sketch = Sketch::Keep;
    SketchGeometry geometry; // for Show; captions centred on their segments, see placeCaptions
    std::array<std::optional<QString>, 3> panels; // status panels 1 to 3
    std::optional<Message> message;
    // The message comes before the panels (Default Input) instead of after them (Calculate).
    bool messageBeforePanels = false;
};

// The main window's commands as plain logic over the calculation state. The window reads its
// boxes, calls a command and shows the Screen it returns; the file reading and writing, which
// need the design-file library, happen in the window between the dialog and the command.
class Calculator
{
public:
    const CalculationState &state() const { return m_state; }

    // The boxes and panels right after start-up.
    Screen startup(const QLocale &locale) const;
    // Calculate over the eight box texts, for a sketch frame `frameWidth` twips wide.
    Screen calculate(const ParameterTexts &texts, const QLocale &locale, double frameWidth);
    Screen clear();
    Screen resetDefaults(const QLocale &locale);
    // A design file was read from `path` (chosen in the file dialog).
    Screen opened(const QString &path, const FileSet &fileSet, const QLocale &locale);
    // The current parameters were written to `path`; `chosen` when the path came from the
    // file dialog (Save As), not from the remembered target (Save).
    Screen saved(const QString &path, bool chosen);
    // A file could not be read or written: its message, and nothing else changes.
    static Screen fileFailed(const QString &message);

    // Where Save writes; empty when Save must ask (it then runs Save As).
    const QString &saveTarget() const { return m_state.saveFile; }
    // What Save and Save As write: the values of the last calculation, not the boxes.
    const DesignParameters &parametersToSave() const { return m_state.currentParameters; }

private:
    CalculationState m_state;
};

// The result box texts and the ten sketch captions for a calculation.
std::array<QString, ResultCount> resultTexts(const ChamberDimensions &d, const QLocale &locale);
std::array<QString, SketchCaptionCount>
captionTexts(const ChamberDimensions &d, const DesignParameters &p, const QLocale &locale);

} // namespace velmorant
