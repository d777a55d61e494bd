// velmorant-cli: the sizing of the window for scripts and the workshop.
#include "cliargs.h"
#include "designfile.h"
#include "drawings.h"
#include "number.h"
#include "partsfile.h"
#include "pipecsv.h"
#include "portareas.h"
#include "projectinputs.h"
#include "projectoptions.h"
#include "outcome.h"
#include "report.h"
#include "safefile.h"
#include "searchedpipe.h"
#include "sweep.h"
#include "terminal.h"
#include "tracecsv.h"
#include "translations.h"
#include "usertext.h"
#include "validation.h"
#include "version.h"
#include "workshopinput.h"

#include <QGuiApplication>
#include <QFileInfo>
#include <QJsonDocument>

#include <cstdlib>
#include <functional>
#include <memory>

using namespace velmorant;

namespace {

enum Exit { Ok = 0, UsageOrFile = 1, Rejected = 2, Refused = 3 };

int fail(int code, const QString &message)
{
    tell(message + QLatin1Char('\n'));
    return code;
}

// What went to stdout must have reached it: a full disk or a closed pipe is a failure (exit 1),
// never a success.
int finishOutput()
{
    const int reason = stdoutFailure();
    if (reason == 0)
        return Ok;
    return fail(UsageOrFile, QStringLiteral("Impossibile scrivere i risultati sull'uscita "
                                            "standard: %1")
                                 .arg(systemErrorReason(reason)));
}

// Qt's own notes ("XDG_RUNTIME_DIR not set" when there is no session) are not the program's
// words: stderr carries only what the program says. A fatal one still ends the run.
void quietQtMessages(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtFatalMsg) {
        tell(text + QLatin1Char('\n'));
        std::abort();
    }
}

// Only a PDF needs fonts, and so a GUI application (offscreen when there is no display).
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv, bool fonts)
{
    if (!fonts)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}


// Why a run stops: its exit status and the message for stderr.
struct Stop
{
    int code;
    QString message;
};
using Step = std::optional<Stop>;

// What one run computed, stage by stage, for the report.

// The command line's words, read; a name that is not UTF-8 would be written under another
// name, so it is refused.
Step readCommandLine(int argc, char **argv, QStringList &args, CliOptions &o)
{
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
        if (args.last().toLocal8Bit() != QByteArray(argv[i]))
            return Stop{UsageOrFile,
                        QStringLiteral("L'argomento %1 non \u00e8 testo UTF-8 valido: i nomi dei "
                                       "file e i valori vanno scritti in UTF-8")
                            .arg(i)};
    }
    if (std::optional<QString> usage = parseArguments(args, o))
        return Stop{UsageOrFile, *usage};
    if (std::optional<QString> usage = clashingFiles(o))
        return Stop{UsageOrFile, *usage};
    return std::nullopt;
}

// The texts the eight boxes would hold: defaults, then the file, then the options. A project
// of the workshop window brings its options too, and those given here go over them; no output
// may then land on a file the project reads.
Step startingPoint(const QStringList &args, CliOptions &o, ParameterTexts &texts)
{
    const QLocale locale(o.locale);
    texts = parameterTexts(defaultParameters(), locale);
    if (!o.designFile.isEmpty()) {
        if (isProjectFile(o.designFile)) {
            const ProjectRead read = readProjectFile(o.designFile, locale);
            if (!read.ok())
                return Stop{UsageOrFile, read.error};
            CliOptions base;
            if (const std::optional<QString> refused =
                    startFromProject(read.project, locale, base, texts))
                return Stop{UsageOrFile,
                            QStringLiteral("%1: %2").arg(quotedPath(o.designFile), *refused)};
            if (const std::optional<QString> again = parseArguments(args, base))
                return Stop{UsageOrFile, *again};
            o = base;
            if (const std::optional<QString> clash =
                    clashingFiles(o, projectInputFiles(read.project)))
                return Stop{UsageOrFile, *clash};
            if (const std::optional<QString> refused =
                    takeProjectWaves(read.project, locale, o.waves))
                return Stop{UsageOrFile,
                            QStringLiteral("%1: %2").arg(quotedPath(o.designFile), *refused)};
        } else {
            const DesignFileRead read = readDesignFile(o.designFile);
            if (!read.ok())
                return Stop{UsageOrFile, read.error};
            texts = fileSetTexts(read.values, locale);
        }
    }
    for (std::size_t i = 0; i < FieldCount; ++i) {
        if (o.fieldTexts[i])
            texts[i] = *o.fieldTexts[i];
    }
    return std::nullopt;
}

// The first sizing, the tuned length and the sketch. A measured pipe does not come from the
// first sizing, which need not hold for it: then only what asks for the first sizing itself
// (its sketch, the methods side by side) is refused, and its table gives way to why.
Step sizeAndSketch(CliOptions &o, Outcome &r)
{
    const QLocale locale(o.locale);
    r.evaluation = evaluateChamber(r.p);
    if (r.evaluation.ok()) {
        if (const std::optional<QString> unbuildable = unbuildableChamber(r.evaluation.dimensions))
            r.evaluation.refusal = *unbuildable;
    }
    const bool measured = !o.pipe.pipeFile.isEmpty() || o.pipe.choice.measured;
    if (!r.evaluation.ok() &&
        (!measured || o.sketchWidth || !o.svgFile.isEmpty() || o.pipe.compare))
        return Stop{Refused, r.evaluation.refusal};
    const ChamberDimensions &d = r.evaluation.dimensions;
    r.captions = captionTexts(d, r.p, locale);
    if (o.tunedLength) {
        r.tuned = solveTunedLength(r.p, *o.tunedLength);
        if (!r.tuned)
            return Stop{Refused, QStringLiteral("Nessun regime tra %1 e %2 giri/min d\u00e0 "
                                                "L1+L2+L3 = %3 mm")
                                     .arg(formatPlainNumber(TunedRpmRange.first),
                                          formatPlainNumber(TunedRpmRange.second),
                                          formatPlainNumber(*o.tunedLength))};
    }
    if (o.sketchWidth || !o.svgFile.isEmpty()) {
        const double width = o.sketchWidth.value_or(11520);
        r.sketch = SketchReport{width, drawSketch(d, width)};
    }
    if (!o.svgFile.isEmpty()) {
        if (!r.sketch->geometry.drawable)
            return Stop{Refused,
                        QStringLiteral("Lo schizzo non si pu\u00f2 disegnare per questi dati")};
        if (const std::optional<QString> error =
                writeSketchSvg(o.svgFile, r.sketch->geometry, r.captions, r.sketch->frameWidth))
            return Stop{UsageOrFile, *error};
    }
    return std::nullopt;
}

// The pipe beyond the first sizing when asked for, and the best pipe from there, which
// everything after it uses.
Step pipeAndSearch(CliOptions &o, Outcome &r)
{
    const QLocale locale(o.locale);
    const ChamberDimensions &d = r.evaluation.dimensions;
    // Read before any long work, so that a faulty route stops the run at once.
    if (const std::optional<QString> error = readRouteFiles(o.route, o.workshop))
        return Stop{UsageOrFile, *error};
    if (o.pipe.any()) {
        if (const std::optional<QString> error = readMeasuredPipe(o.pipe))
            return Stop{UsageOrFile, *error};
        const PipeBuilt built = buildPipe(o.pipe.choice, r.p, d);
        if (!built.refusal.isEmpty())
            return Stop{Refused, built.refusal};
        r.pipe = built.pipe;
    }
    if (!o.optimize.enabled)
        return std::nullopt;
    if (const std::optional<QString> error = readWaveFiles(o.waves))
        return Stop{UsageOrFile, *error};
    // With an exhaust system, the search starts from its first pipe and keeps the rest (a
    // project's system from the project's pipe).
    const bool systemPipe = o.waves.systems.exhaust && !o.waves.systems.exhaustFromProject;
    const Pipe start = systemPipe ? o.waves.systems.exhaust->pipes.first().pipe
                       : r.pipe                 ? *r.pipe
                                                : firstSizingPipe(d);
    WaveRequest engineOnly = o.waves;
    engineOnly.probes.clear();
    const WaveSetup setup = waveSetup(engineOnly, r.p, start, locale);
    if (!setup.refusal.isEmpty())
        return Stop{Refused, setup.refusal};
    QString refusal;
    r.optimized = runOptimize(o.optimize, start, setup.engine, setup.options, &refusal, locale);
    if (!refusal.isEmpty())
        return Stop{Refused, refusal};
    r.pipe = r.optimized->best;
    if (!o.optimize.writePipeFile.isEmpty()) {
        if (const std::optional<QString> error =
                writeFileAtomically(o.optimize.writePipeFile, pipeCsv(r.optimized->best)))
            return Stop{UsageOrFile, writeFailure(o.optimize.writePipeFile, *error)};
    }
    return std::nullopt;
}

// The bends that make the pipe fit the bike, when asked for, and the route used written.
Step fitStage(CliOptions &o, Outcome &r)
{
    QString said;
    const Pipe pipe = r.pipe ? *r.pipe : firstSizingPipe(r.evaluation.dimensions);
    if (const std::optional<QString> error = fitAndWriteRoute(o.route, o.workshop, pipe, said))
        return Stop{UsageOrFile, *error};
    if (!said.isEmpty())
        tell(said);
    return std::nullopt;
}

// The pipe on the running engine, and its traces and curves when asked for.
Step wavesStage(CliOptions &o, Outcome &r)
{
    if (!o.waves.enabled)
        return std::nullopt;
    if (const std::optional<QString> error = readWaveFiles(o.waves))
        return Stop{UsageOrFile, *error};
    // The exhaust system's first pipe, unless the search found a better one or the system
    // came with a project (its pipe stands for the first).
    const Pipe modelled = o.waves.systems.exhaust && !o.waves.systems.exhaustFromProject &&
                                  !r.optimized
                              ? o.waves.systems.exhaust->pipes.first().pipe
                          : r.pipe ? *r.pipe
                                   : firstSizingPipe(r.evaluation.dimensions);
    r.waveRun = waveSetup(o.waves, r.p, modelled, QLocale(o.locale));
    if (!r.waveRun->refusal.isEmpty())
        return Stop{Refused, r.waveRun->refusal};
    if (const std::optional<QString> error =
            addMitreJoints(o.route, o.workshop, modelled, r.waveRun->options))
        return Stop{UsageOrFile, *error};
    r.waveResults = runWaves(modelled, *r.waveRun);
    for (const waves::SpeedResult &s : r.waveResults) {
        if (s.failed)
            return Stop{Refused, QStringLiteral("Il modello delle onde non ha dato numeri finiti "
                                                "a %1 giri/min: controllare il motore e il tubo")
                                     .arg(s.rpm)};
    }
    const std::pair<QString, std::function<QByteArray()>> files[] = {
        {o.waves.tracesFile, [&] { return waves::tracesCsv(r.waveResults); }},
        {o.waves.curvesFile, [&] { return curvesCsv(r.waveResults); }},
        {o.waves.ports.outFile,
         [&] { return engine::portAreasCsv(*r.waveRun->engine.portAreas); }}};
    for (const auto &[file, bytes] : files) {
        if (file.isEmpty())
            continue;
        if (const std::optional<QString> error = writeFileAtomically(file, bytes()))
            return Stop{UsageOrFile, writeFailure(file, *error)};
    }
    return std::nullopt;
}

// The workshop's plan, when something of it is asked for, and its files; the builder's
// warnings are advice, not a refusal: on stderr, and the result stands.
Step workshopStage(CliOptions &o, Outcome &r)
{
    const ChamberDimensions &d = r.evaluation.dimensions;
    if (const std::optional<QString> error =
            writeBodyFile(o.route, o.workshop, r.pipe ? *r.pipe : firstSizingPipe(d)))
        return Stop{UsageOrFile, *error};
    if (!o.json && o.patternsFile.isEmpty() && o.cutListFile.isEmpty())
        return std::nullopt;
    const QLocale locale(o.locale);
    // The templates name the pipe cut: the searched one by its band, a measured one by its file.
    if (r.optimized)
        o.workshop.pipeName = searchedPipeCaption(
            tuning::searchBand(o.optimize.objective,
                               QString::number(o.optimize.from, 'g', QLocale::FloatingPointShortest),
                               QString::number(o.optimize.to, 'g', QLocale::FloatingPointShortest)));
    else if (!o.pipe.pipeFile.isEmpty())
        o.workshop.pipeName = measuredPipeCaption(o.pipe.pipeFile);
    // The first sizing's five segments, or the pipe asked for, section by section.
    const double portArea = o.pipe.choice.portArea();
    r.plan = o.pipe.changesPipe() || r.optimized
                 ? planWorkshop(r.p, d, *r.pipe, o.workshop, terminalProgress(), portArea)
                 : planWorkshop(r.p, d, o.workshop, terminalProgress());
    // A route that cannot be laid on this pipe is the route's fault: nothing is written.
    if (!r.plan->layout.ok())
        return Stop{UsageOrFile, QStringLiteral("--route: %1").arg(r.plan->layout.problem)};
    const bool files = !o.patternsFile.isEmpty() || !o.cutListFile.isEmpty();
    const PartsRefusal &refused = r.plan->refusal;
    if (refused.kind != PartsRefusal::Kind::None && files)
        return Stop{refused.kind == PartsRefusal::Kind::Geometry ? Refused : UsageOrFile,
                    QStringLiteral("Impossibile preparare il taglio: %1")
                        .arg(refusalText(refused, locale))};
    PartsOutput output;
    output.split = o.split == CliOptions::Split::BySheet  ? PartsOutput::Split::BySheet
                   : o.split == CliOptions::Split::ByPart ? PartsOutput::Split::ByPart
                                                          : PartsOutput::Split::None;
    output.paper = o.paper;
    output.date = QDate::currentDate();
    for (const QString &file : {o.patternsFile, o.cutListFile}) {
        if (file.isEmpty())
            continue;
        const PartsWritten written = writeParts(file, *r.plan, output);
        if (!written.ok())
            return Stop{UsageOrFile, written.failure};
        for (int k = 0; k < written.offSheetParts.size(); ++k)
            tell(QStringLiteral("Il pezzo %1 non sta in nessuna lamiera: scritto a parte in %2\n")
                     .arg(r.plan->parts[written.offSheetParts[k]].name,
                          written.offSheetFiles[k]));
    }
    // A clash with the bike is said whatever the run writes.
    for (const BuilderWarning &w : r.plan->warnings) {
        if (files || w.code.startsWith(QLatin1String("ROUTE_")))
            tell(QStringLiteral("Avviso %1: %2\n").arg(w.code, w.text));
    }
    return std::nullopt;
}


} // namespace

int main(int argc, char **argv)
{
    guardStandardStreams();
    protectFileWrites();
    qInstallMessageHandler(quietQtMessages);
    QStringList args;
    CliOptions o;
    const Step usage = readCommandLine(argc, argv, args, o);
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv, o.needsFonts());
    installItalianTranslations(*app);
    if (usage)
        return fail(usage->code, usage->message);
    if (o.help || o.version) {
        print(stdout, o.help ? helpText()
                             : QStringLiteral("Velmorant %1\n").arg(QLatin1String(VersionText)));
        return finishOutput();
    }

    ParameterTexts texts;
    if (const Step stop = startingPoint(args, o, texts))
        return fail(stop->code, stop->message);
    Outcome r;
    if (const std::optional<Rejection> rejected = readParameters(texts, QLocale(o.locale), r.p))
        return fail(Rejected, rejected->message);
    // Bore and stroke given together must make the design's displacement: a usage error.
    if (o.waves.enabled || o.optimize.enabled) {
        if (const std::optional<QString> other = engine::displacementDisagreement(
                waves::onDesign(o.waves.engine, r.p), QLocale(o.locale)))
            return fail(UsageOrFile, *other);
    }
    if (const std::optional<QString> error = readPortFile(o.waves.ports))
        return fail(UsageOrFile, *error);
    QString said;
    if (const std::optional<QString> problem =
            portDurations(o.waves.ports, o.waves.engine, r.p, said, QLocale(o.locale)))
        return fail(Refused, *problem);
    tell(said);
    if (!o.writeFile.isEmpty()) {
        if (const std::optional<QString> error = writeDesignFile(o.writeFile, r.p))
            return fail(UsageOrFile, *error);
    }
    if (o.sweep) {
        if (const int failed = writeSweep(stdout, r.p, *o.sweep))
            noteStdoutFailure(failed);
        return finishOutput();
    }
    for (const auto stage : {sizeAndSketch, pipeAndSearch, fitStage, wavesStage, workshopStage}) {
        if (const Step stop = stage(o, r))
            return fail(stop->code, stop->message);
    }
    report(o, r);
    return finishOutput();
}
