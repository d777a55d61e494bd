#pragma once

#include "message.h"
#include "parameters.h"
#include "pipechoice.h"
#include "plan.h"

#include <QLocale>

class QSettings;

#include <array>
#include <optional>

namespace velmorant {

// The pipe's boxes: the method (one of pipeMethods(), or MeasuredMethod with the file of a
// pipe measured on the bench), the diffuser's stages and law, the port (both sides empty: not
// given), the engine class by name, Jennings' cone angles, the band's half-width in degrees.
inline const char *MeasuredMethod = "misurato";
// Sides of a sheet the nesting can work on, mm.
constexpr double SmallestSheetSide = 10, LargestSheetSide = 20000;

// A pipe the search found, cut as it is from the sections kept in the project.
inline const char *SearchedMethod = "ottimizzato";
// A pipe measured on the bench as read, and the file it was read from: a project keeps the
// stations themselves, so that it opens whatever became of the file.
struct MeasuredPipe
{
    QString source;
    Pipe pipe;
};
struct PipeTexts
{
    QString method = QStringLiteral("own");
    QString stages = QStringLiteral("1");
    QString horn, portWidth, portHeight, engineClass, divergentAngle, convergentAngle;
    QString pipeFile, bandWidth;
    // The measured pipe already read; used while pipeFile still names its source, and read
    // again from the file otherwise.
    std::optional<MeasuredPipe> measured;
    // The pipe the search found, its `source` the search's band ("media 9000-11000 giri/min").
    std::optional<MeasuredPipe> searched;
};

// What the workshop window's boxes hold: the eight parameters, the numeric options in the
// order of workshopNumbers(), the sheet's two sides, the design's name and the pipe.
// The pipe in space as the Percorso tab holds it: its route (no bends: straight), the seams'
// side, the joint limit and the bike around it. Plain values: the tab checks each as typed.
struct PipeInSpace
{
    route::Route route;
    route::SeamSide seam = route::SeamSide::Alternating;
    double maxJointDeg = 0;
    std::optional<route::Surroundings> surroundings;
};

struct WorkshopTexts
{
    ParameterTexts parameters;
    std::array<QString, WorkshopNumberCount> numbers;
    QString sheetWidth, sheetHeight;
    QString name;
    PipeTexts pipe;
    PipeInSpace space;
};

// A design box's caption in the workshop window and its messages: the main window's, with
// degrees said in Italian ("Durata Fase di Scarico (gradi)").
QString workshopCaption(std::size_t field);

// The boxes for a parameter set and options, in the user's notation.
WorkshopTexts workshopTexts(const DesignParameters &p, const WorkshopOptions &o,
                            const QLocale &locale);

// The cutting options and the pipe from their boxes (not the design's): each in its range, a
// measured pipe read (or taken as already read); or the message that refuses them and the box
// to correct.
struct WorkshopChoices
{
    WorkshopOptions options;
    PipeChoice choice;
    double bandWidth = 10;
    std::optional<MeasuredPipe> measured;
    std::optional<Message> refusal;
    QString box;
};
WorkshopChoices readWorkshopChoices(const WorkshopTexts &texts, const QLocale &locale);

// A calculation of the workshop window: the plan, or the message that refuses it and the box
// to correct (a parameter box first, as the main window does, then the options).
struct WorkshopRun
{
    std::optional<WorkshopPlan> plan;
    std::optional<Message> refusal;
    QString box;            // objectName of the box at fault
    bool cancelled = false; // stopped through `progress`: neither plan nor refusal
    PipeChoice choice;      // with the plan: the pipe's inputs as read
    std::optional<MeasuredPipe> measured; // the measured pipe used, with its file
    Pipe pipe;              // the pipe the parts are cut from (the first sizing's included)
    double bandWidth = 10;  // degrees
};
WorkshopRun runWorkshop(const WorkshopTexts &texts, const QLocale &locale,
                        const NestingProgress &progress = {});

// A refusal of the parts for the user, with the range of the option at fault in the user's
// notation.
QString refusalText(const PartsRefusal &refusal, const QLocale &locale);

// The options kept between runs (settings group "Officina"): anything missing or out of range
// takes its default.
WorkshopOptions readWorkshopSettings(QSettings &settings);
// The pipe's boxes kept between runs, written from a run's inputs as read and given back in
// the user's notation; an unknown method or a number out of range takes its default.
PipeTexts readPipeSettings(QSettings &settings, const QLocale &locale);
void writePipeSettings(QSettings &settings, const WorkshopRun &run, const PipeTexts &texts);
void writeWorkshopSettings(QSettings &settings, const WorkshopOptions &options);

} // namespace velmorant
