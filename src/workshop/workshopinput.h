#pragma once

#include "message.h"
#include "parameters.h"
#include "plan.h"

#include <QLocale>

class QSettings;

#include <array>
#include <optional>

namespace velmorant {

// What the workshop window's boxes hold: the eight parameters, the numeric options in the
// order of workshopNumbers(), the sheet's two sides and the design's name.
struct WorkshopTexts
{
    ParameterTexts parameters;
    std::array<QString, WorkshopNumberCount> numbers;
    QString sheetWidth, sheetHeight;
    QString name;
};

// The boxes for a parameter set and options, in the user's notation.
WorkshopTexts workshopTexts(const DesignParameters &p, const WorkshopOptions &o,
                            const QLocale &locale);

// A calculation of the workshop window: the plan, or the message that refuses it and the box
// to correct (a parameter box first, as the main window does, then the options).
struct WorkshopRun
{
    std::optional<WorkshopPlan> plan;
    std::optional<Message> refusal;
    QString box; // objectName of the box at fault
    bool cancelled = false; // stopped through `progress`: neither plan nor refusal
};
WorkshopRun runWorkshop(const WorkshopTexts &texts, const QLocale &locale,
                        const NestingProgress &progress = {});

// A refusal of the parts for the user, with the range of the option at fault in the user's
// notation.
QString refusalText(const PartsRefusal &refusal, const QLocale &locale);

// The options kept between runs (settings group "Officina"): anything missing or out of range
// takes its default.
WorkshopOptions readWorkshopSettings(QSettings &settings);
void writeWorkshopSettings(QSettings &settings, const WorkshopOptions &options);

} // namespace velmorant
