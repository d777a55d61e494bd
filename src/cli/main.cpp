// velmorant-cli: the sizing of the window for scripts and the workshop.
#include "cliargs.h"
#include "designfile.h"
#include "drawings.h"
#include "number.h"
#include "partsfile.h"
#include "pipecsv.h"
#include "projectoptions.h"
#include "report.h"
#include "safefile.h"
#include "sweep.h"
#include "tracecsv.h"
#include "translations.h"
#include "usertext.h"
#include "validation.h"
#include "version.h"
#include "workshopinput.h"

#include <QGuiApplication>
#include <QJsonDocument>

#include <QElapsedTimer>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <unistd.h>

using namespace velmorant;

namespace {

enum Exit { Ok = 0, UsageOrFile = 1, Rejected = 2, Refused = 3 };

// Why stdout first failed, kept for the report at the end.
int stdoutError = 0;

void print(std::FILE *to, const QString &text)
{
    if (std::fputs(text.toUtf8().constData(), to) < 0 && to == stdout && stdoutError == 0)
        stdoutError = errno;
}

// Messages may quote what the user typed: on stderr nothing reaches the terminal as a command.
void tell(const QString &text)
{
    print(stderr, terminalSafe(text));
}

// Nesting that takes more than a second shows how far it is, on a terminal only (scripts that
// read stderr get the warnings alone): one line, rewritten at most ten times a second.
NestingProgress terminalProgress()
{
    if (!isatty(fileno(stderr)))
        return {};
    auto clock = std::make_shared<QElapsedTimer>();
    auto shown = std::make_shared<qint64>(-1);
    clock->start();
    return [clock, shown](int done, int total) {
        const qint64 now = clock->elapsed();
        const bool end = done >= total;
        if (now < 1000 || (!end && *shown >= 0 && now - *shown < 100))
            return true;
        if (end && *shown < 0)
            return true; // done within the second after all
        *shown = now;
        std::fprintf(stderr, "\rDisposizione dei pezzi: %3d %%%s",
                     total > 0 ? int(100LL * done / total) : 100, end ? "\n" : "");
        std::fflush(stderr);
        return true;
    };
}

// The speeds of the wave model, computed on every core; on a terminal, how many are done.
QList<waves::SpeedResult> runWaves(const Pipe &pipe, const WaveSetup &setup)
{
    std::atomic<int> speeds{0}, cycles{0};
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    std::thread reporter;
    if (isatty(fileno(stderr))) {
        reporter = std::thread([&] {
            std::unique_lock<std::mutex> hold(lock);
            const auto start = std::chrono::steady_clock::now();
            bool shown = false;
            while (!finished.wait_for(hold, std::chrono::milliseconds(200), [&] { return done; })) {
                if (std::chrono::steady_clock::now() - start < std::chrono::seconds(1))
                    continue;
                std::fprintf(stderr, "\rOnde: %d di %d regimi, %3d %%", speeds.load(),
                             int(setup.rpms.size()),
                             int(100LL * cycles.load() /
                                 std::max(1, int(setup.rpms.size()) * setup.options.maxCycles)));
                std::fflush(stderr);
                shown = true;
            }
            if (shown)
                std::fprintf(stderr, "\rOnde: %d di %d regimi, 100 %%\n", speeds.load(),
                             int(setup.rpms.size()));
        });
    }
    const QList<waves::SpeedResult> results = waves::simulateSpeeds(
        pipe, setup.engine, setup.options, setup.rpms, 0, nullptr, &cycles, &speeds);
    {
        std::lock_guard<std::mutex> hold(lock);
        done = true;
    }
    finished.notify_all();
    if (reporter.joinable())
        reporter.join();
    return results;
}

int fail(int code, const QString &message)
{
    tell(message + QLatin1Char('\n'));
    return code;
}

// What went to stdout must have reached it: a full disk or a closed pipe is a failure (exit 1),
// never a success.
int finishOutput()
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return Ok;
    const int reason = stdoutError != 0 ? stdoutError : errno != 0 ? errno : EIO;
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

} // namespace

int main(int argc, char **argv)
{
    protectFileWrites();
    qInstallMessageHandler(quietQtMessages);
    QStringList args;
    std::optional<QString> usage;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
        // A name that is not UTF-8 would be written under another name: refuse it instead.
        if (!usage && args.last().toLocal8Bit() != QByteArray(argv[i]))
            usage = QStringLiteral("L'argomento %1 non \u00e8 testo UTF-8 valido: i nomi dei "
                                   "file e i valori vanno scritti in UTF-8")
                        .arg(i);
    }
    CliOptions o;
    if (!usage)
        usage = parseArguments(args, o);
    if (!usage)
        usage = clashingFiles(o);
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv, o.needsFonts());
    installItalianTranslations(*app);
    if (usage)
        return fail(UsageOrFile, *usage);
    if (o.help) {
        print(stdout, helpText());
        return finishOutput();
    }
    if (o.version) {
        print(stdout, QStringLiteral("Velmorant %1\n").arg(QLatin1String(VersionText)));
        return finishOutput();
    }

    // The texts the eight boxes would hold: defaults, then the file, then the options. A
    // project of the workshop window brings its options too, and those given here go over
    // them.
    const QLocale locale(o.locale);
    ParameterTexts texts = parameterTexts(defaultParameters(), locale);
    std::optional<Project> project;
    if (!o.designFile.isEmpty()) {
        if (isProjectFile(o.designFile)) {
            const ProjectRead read = readProjectFile(o.designFile, locale);
            if (!read.ok())
                return fail(UsageOrFile, read.error);
            project = read.project;
            CliOptions base;
            if (const std::optional<QString> refused =
                    startFromProject(*project, locale, base, texts))
                return fail(UsageOrFile, QStringLiteral("%1: %2").arg(
                                             quotedUserText(o.designFile), *refused));
            if (const std::optional<QString> again = parseArguments(args, base))
                return fail(UsageOrFile, *again);
            o = base;
            takeProjectWaves(*project, locale, o.waves);
        } else {
            const DesignFileRead read = readDesignFile(o.designFile);
            if (!read.ok())
                return fail(UsageOrFile, read.error);
            texts = fileSetTexts(read.values, locale);
        }
    }
    for (std::size_t i = 0; i < FieldCount; ++i) {
        if (o.fieldTexts[i])
            texts[i] = *o.fieldTexts[i];
    }
    DesignParameters p = defaultParameters();
    if (const std::optional<Rejection> rejected = readParameters(texts, locale, p))
        return fail(Rejected, rejected->message);

    if (!o.writeFile.isEmpty()) {
        if (const std::optional<QString> error = writeDesignFile(o.writeFile, p))
            return fail(UsageOrFile, *error);
    }
    if (o.sweep) {
        writeSweep(stdout, p, *o.sweep);
        return finishOutput();
    }

    // A measured pipe does not come from the first sizing, which need not hold for it: then
    // only what asks for the first sizing itself (its sketch, the methods side by side) is
    // refused, and its table gives way to why.
    const ChamberEvaluation evaluation = evaluateChamber(p);
    const bool measured = !o.pipe.pipeFile.isEmpty() || o.pipe.choice.measured;
    if (!evaluation.ok() &&
        (!measured || o.sketchWidth || !o.svgFile.isEmpty() || o.pipe.compare))
        return fail(Refused, evaluation.refusal);
    const ChamberDimensions &d = evaluation.dimensions;
    const std::array<QString, SketchCaptionCount> captions = captionTexts(d, p, locale);

    std::optional<TunedLength> tuned;
    if (o.tunedLength) {
        tuned = solveTunedLength(p, *o.tunedLength);
        if (!tuned)
            return fail(Refused, QStringLiteral("Nessun regime positivo d\u00e0 L1+L2+L3 = %1 mm")
                                     .arg(formatPlainNumber(*o.tunedLength)));
    }

    std::optional<SketchReport> sketch;
    if (o.sketchWidth || !o.svgFile.isEmpty()) {
        const double width = o.sketchWidth.value_or(11520);
        sketch = SketchReport{width, drawSketch(d, width)};
    }
    if (!o.svgFile.isEmpty()) {
        if (!sketch->geometry.drawable)
            return fail(Refused,
                        QStringLiteral("Lo schizzo non si pu\u00f2 disegnare per questi dati"));
        if (const std::optional<QString> error =
                writeSketchSvg(o.svgFile, sketch->geometry, captions, sketch->frameWidth))
            return fail(UsageOrFile, *error);
    }

    // The pipe beyond the first sizing, when asked for.
    std::optional<Pipe> pipe;
    if (o.pipe.any()) {
        if (const std::optional<QString> error = readMeasuredPipe(o.pipe))
            return fail(UsageOrFile, *error);
        const PipeBuilt built = buildPipe(o.pipe.choice, p, d);
        if (!built.refusal.isEmpty())
            return fail(Refused, built.refusal);
        pipe = built.pipe;
    }

    // The best pipe from there, which everything after it uses.
    std::optional<tuning::PipeSearchResult> optimized;
    if (o.optimize.enabled) {
        if (const std::optional<QString> error = readWaveFiles(o.waves))
            return fail(UsageOrFile, *error);
        const Pipe start = pipe ? *pipe : firstSizingPipe(d);
        WaveRequest engineOnly = o.waves;
        engineOnly.probes.clear();
        const WaveSetup setup = waveSetup(engineOnly, p, start, locale);
        if (!setup.refusal.isEmpty())
            return fail(Refused, setup.refusal);
        QString refusal;
        optimized = runOptimize(o.optimize, start, setup.engine, setup.options, &refusal, locale);
        if (!refusal.isEmpty())
            return fail(Refused, refusal);
        pipe = optimized->best;
        if (!o.optimize.writePipeFile.isEmpty()) {
            if (const std::optional<QString> error =
                    writeFileAtomically(o.optimize.writePipeFile, pipeCsv(optimized->best)))
                return fail(UsageOrFile, writeFailure(o.optimize.writePipeFile, *error));
        }
    }

    // The pipe on the running engine.
    std::optional<WaveSetup> waveRun;
    QList<waves::SpeedResult> waveResults;
    if (o.waves.enabled) {
        if (const std::optional<QString> error = readWaveFiles(o.waves))
            return fail(UsageOrFile, *error);
        const Pipe modelled = pipe ? *pipe : firstSizingPipe(d);
        waveRun = waveSetup(o.waves, p, modelled, locale);
        if (!waveRun->refusal.isEmpty())
            return fail(Refused, waveRun->refusal);
        waveResults = runWaves(modelled, *waveRun);
        for (const waves::SpeedResult &r : waveResults) {
            if (r.failed)
                return fail(Refused, QStringLiteral("Il modello delle onde non ha dato numeri "
                                                    "finiti a %1 giri/min: controllare il motore e "
                                                    "il tubo")
                                         .arg(r.rpm));
        }
        for (const auto &[file, bytes] :
             {std::pair{o.waves.tracesFile, std::function<QByteArray()>([&] {
                            return waves::tracesCsv(waveResults);
                        })},
              std::pair{o.waves.curvesFile,
                        std::function<QByteArray()>([&] { return curvesCsv(waveResults); })}}) {
            if (file.isEmpty())
                continue;
            if (const std::optional<QString> error = writeFileAtomically(file, bytes()))
                return fail(UsageOrFile, writeFailure(file, *error));
        }
    }

    // The workshop's plan, when something of it is asked for.
    std::optional<WorkshopPlan> plan;
    if (o.json || !o.patternsFile.isEmpty() || !o.cutListFile.isEmpty()) {
        // The first sizing's five segments, or the pipe asked for, section by section.
        const double portArea = o.pipe.choice.portArea();
        plan = o.pipe.changesPipe() || optimized
                   ? planWorkshop(p, d, *pipe, o.workshop, terminalProgress(), portArea)
                   : planWorkshop(p, d, o.workshop, terminalProgress());
        const PartsRefusal &refused = plan->refusal;
        if (refused.kind != PartsRefusal::Kind::None &&
            (!o.patternsFile.isEmpty() || !o.cutListFile.isEmpty()))
            return fail(refused.kind == PartsRefusal::Kind::Geometry ? Refused : UsageOrFile,
                        QStringLiteral("Impossibile preparare il taglio: %1")
                            .arg(refusalText(refused, locale)));
        PartsOutput output;
        output.split = o.split == CliOptions::Split::BySheet  ? PartsOutput::Split::BySheet
                       : o.split == CliOptions::Split::ByPart ? PartsOutput::Split::ByPart
                                                              : PartsOutput::Split::None;
        output.paper = o.paper;
        output.date = QDate::currentDate();
        for (const QString &file : {o.patternsFile, o.cutListFile}) {
            if (file.isEmpty())
                continue;
            const PartsWritten written = writeParts(file, *plan, output);
            if (!written.ok())
                return fail(UsageOrFile, written.failure);
            for (int k = 0; k < written.offSheetParts.size(); ++k)
                tell(
                    QStringLiteral("Il pezzo %1 non sta in nessuna lamiera: scritto a "
                                   "parte in %2\n")
                        .arg(plan->parts[written.offSheetParts[k]].name, written.offSheetFiles[k]));
        }
        // Advice, not a refusal: on stderr, and the result stands.
        if (!o.patternsFile.isEmpty() || !o.cutListFile.isEmpty()) {
            for (const BuilderWarning &w : plan->warnings)
                tell(QStringLiteral("Avviso %1: %2\n").arg(w.code, w.text));
        }
    }

    if (o.json) {
        QJsonObject root = reportJson(p, evaluation, captions, *plan,
                                      o.sketchWidth ? sketch : std::nullopt, tuned);
        if (pipe)
            addPipeJson(root, o.pipe, *pipe, p, d);
        if (optimized)
            root.insert("optimize", optimizeJson(o.optimize, *optimized));
        if (waveRun)
            root.insert("waves", wavesJson(*waveRun, waveResults));
        print(stdout, QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)));
    } else {
        print(stdout, evaluation.ok()
                          ? resultTable(d, locale, tuned)
                          : QStringLiteral("Primo dimensionamento non calcolabile: %1\n")
                                .arg(evaluation.refusal));
        if (pipe && !optimized)
            print(stdout, pipeTable(o.pipe, *pipe, p, d, locale));
        if (optimized)
            print(stdout, optimizeTable(o.optimize, *optimized, locale));
        if (waveRun)
            print(stdout, wavesTable(*waveRun, waveResults, locale));
    }
    return finishOutput();
}
