#include "cliargs.h"

#include "number.h"
#include "optiontexts.h"
#include "safefile.h"
#include "sweep.h"
#include "usertext.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QLocale>

#include <cmath>
#include <limits>

namespace velmorant {

namespace {

// A field by its option name (--temp) or its field name (TEMP1), as sweeps name them.
std::optional<std::size_t> fieldByName(const QString &name)
{
    for (std::size_t i = 0; i < FieldCount; ++i) {
        if (name.compare(QLatin1String(fieldInfo(i).optionName), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(fieldInfo(i).name), Qt::CaseInsensitive) == 0)
            return i;
    }
    return std::nullopt;
}

constexpr double LargestSketchWidth = 1e6; // twips: over 17 m of drawing
constexpr double SmallestSketchWidth = 15; // one pixel

std::optional<QString> readSweep(const QString &value, const QLocale &locale, SweepSpec &s)
{
    // FIELD=FROM:TO:STEP
    const QString option = QStringLiteral("--sweep");
    const QString form = QStringLiteral("CAMPO=DA:A:PASSO, es. RPM=8000:12000:250");
    const std::optional<std::size_t> field = fieldByName(value.section(QLatin1Char('='), 0, 0));
    const QStringList range = value.section(QLatin1Char('='), 1).split(QLatin1Char(':'));
    if (!field || range.size() != 3)
        return badValue(option, value, form);
    const std::optional<double> from = parseSettingNumber(range[0], locale),
                                to = parseSettingNumber(range[1], locale),
                                step = parseSettingNumber(range[2], locale);
    if (!from || !to || !step || *step == 0)
        return badValue(option, value, form + QStringLiteral(", con un passo diverso da 0"));
    s = SweepSpec{*field, *from, *to, *step};
    const double rows = sweepRowCount(s);
    if (std::isnan(rows))
        return badValue(option, value, QStringLiteral("il passo deve andare da DA verso A"));
    if (!(rows <= MaxSweepRows))
        return QStringLiteral("La tabella di %1 avrebbe troppe righe: il massimo \u00e8 %2")
            .arg(option, QLocale(QLocale::Italian).toString(qint64(MaxSweepRows)));
    return std::nullopt;
}

// The options that are not parameters, in the order of the help text.
struct OptionSpec
{
    const char *name;
    const char *valueName; // nullptr for a switch
    const char *help;
};
const OptionSpec OutputOptions[] = {
    {"locale", "NOME", "convenzioni numeriche (default C), es. it_IT, en_US"},
    {"json", nullptr, "risultati completi in JSON (con le parti dell'officina)"},
    {"sketch-width", "W", "larghezza del riquadro dello schizzo in twip (JSON e SVG)"},
    {"write", "FILE", "salva i parametri come file di progetto"},
    {"svg", "FILE", "schizzo in scala (SVG)"},
    {"sweep", "CAMPO=DA:A:PASSO", "tabella CSV al variare di un parametro"},
    {"tuned-length", "MM", "regime a cui L1+L2+L3 vale MM"},
    {"version", nullptr, "versione"},
    {"help", nullptr, "questo aiuto"},
};
const OptionSpec WorkshopOptionsHelp[] = {
    {"patterns", "FILE", "parti in scala 1:1: .pdf sagome su carta, .svg o .dxf lamiere"},
    {"cut-list", "FILE", "distinta di taglio (CSV)"},
    {"sheet", "MM", "spessore della lamiera (default 1; 0 sviluppa sul diametro interno)"},
    {"seam", "MM", "sormonto per la saldatura su un bordo di ogni pezzo (default 0)"},
    {"sheet-size", "LxA", "lamiera da tagliare, in mm (default 1000x500)"},
    {"gap", "MM", "distanza tra i pezzi e dal bordo della lamiera (default 3)"},
    {"max-sweep", "GRADI", "angolo massimo di un pezzo di cono (default 180)"},
    {"max-length", "MM", "lunghezza massima di un tratto (default 0: nessuna)"},
    {"page", "A4|A3|Letter", "carta delle sagome PDF (default A4)"},
    {"density", "G_CM3", "densit\u00e0 della lamiera (default 7,85: acciaio)"},
    {"kerf", "MM", "larghezza del taglio laser o plasma, fino a 3 (default 0): DXF e SVG"},
    {"split", "foglio|pezzo", "DXF e SVG: un file per foglio o per pezzo, scritti come gruppo"},
    {"name", "TESTO", "nome del progetto, sulle sagome"},
};

QString optionColumn(const QString &text, int width)
{
    return text.size() < width ? text.leftJustified(width) : text + QStringLiteral("  ");
}

} // namespace

namespace {

// Every option the command line knows, for the parser.
void addOptions(QCommandLineParser &parser)
{
    for (std::size_t i = 0; i < FieldCount; ++i)
        parser.addOption({QLatin1String(fieldInfo(i).optionName), QString(), QStringLiteral("T")});
    QList<OptionSpec> all(std::begin(OutputOptions), std::end(OutputOptions));
    all += QList<OptionSpec>(std::begin(WorkshopOptionsHelp), std::end(WorkshopOptionsHelp));
    for (const PipeOptionSpec &spec : pipeOptionSpecs() + waveOptionSpecs() + systemOptionSpecs() +
                                         portOptionSpecs() + optimizeOptionSpecs() +
                                         routeOptionSpecs())
        all << OptionSpec{spec.name, spec.valueName, spec.help};
    for (const OptionSpec &spec : all) {
        QStringList names{QLatin1String(spec.name)};
        if (qstrcmp(spec.name, "help") == 0)
            names.prepend(QStringLiteral("h"));
        parser.addOption(spec.valueName
                             ? QCommandLineOption(names, QString(), QLatin1String(spec.valueName))
                             : QCommandLineOption(names));
    }
}

// Why the words could not be parsed: an unknown option, a missing value.
QString parseFailure(const QCommandLineParser &parser, const QStringList &args)
{
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().first();
        return QStringLiteral("Opzione sconosciuta: %1 (vedere --help)")
            .arg(quotedUserText((name.size() > 1 ? QStringLiteral("--") : QStringLiteral("-")) +
                                name));
    }
    if (!args.isEmpty() && args.last().startsWith(QLatin1Char('-')))
        return QStringLiteral("Manca il valore di %1").arg(quotedUserText(args.last()));
    return QStringLiteral("Argomenti non validi (vedere --help)");
}

// The design file, the eight fields' texts, the locale and the outputs' names.
std::optional<QString> readFilesAndFields(const QCommandLineParser &parser, CliOptions &o)
{
    o.help = parser.isSet(QStringLiteral("help"));
    o.version = parser.isSet(QStringLiteral("version"));
    o.json = parser.isSet(QStringLiteral("json"));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return QStringLiteral("Un solo file di progetto, per favore: %1")
            .arg(quotedPath(files[1]));
    o.designFile = files.value(0);
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const QString name = QLatin1String(fieldInfo(i).optionName);
        if (parser.isSet(name))
            o.fieldTexts[i] = parser.value(name);
    }
    if (parser.isSet(QStringLiteral("locale")))
        o.locale = parser.value(QStringLiteral("locale"));
    for (auto [name, path] :
         {std::pair{"write", &o.writeFile}, std::pair{"svg", &o.svgFile},
          std::pair{"patterns", &o.patternsFile}, std::pair{"cut-list", &o.cutListFile}}) {
        if (!parser.isSet(QLatin1String(name)))
            continue;
        *path = parser.value(QLatin1String(name));
        if (path->isEmpty())
            return QStringLiteral("Manca il nome del file di --%1").arg(QLatin1String(name));
    }
    return std::nullopt;
}

// A number option within [low, high] (an open low end when `aboveLow`), read under `locale`.
std::optional<QString> readNumber(const QCommandLineParser &parser, const QLocale &locale,
                                  const char *name, double low, double high, bool aboveLow,
                                  std::optional<double> &into)
{
    if (!parser.isSet(QLatin1String(name)))
        return std::nullopt;
    const QString text = parser.value(QLatin1String(name));
    into = parseSettingNumber(text, locale);
    if (!into || *into > high || *into < low || (aboveLow && *into == low))
        return badValue(QStringLiteral("--") + QLatin1String(name), text,
                        !aboveLow ? numberRange(low, high, locale)
                        : std::isinf(high)
                            ? QStringLiteral("serve un numero maggiore di %1")
                                  .arg(formatBoxNumber(low, locale))
                            : QStringLiteral("serve un numero maggiore di %1 e fino a %2")
                                  .arg(formatBoxNumber(low, locale),
                                       formatBoxNumber(high, locale)));
    return std::nullopt;
}

// The sketch, the workshop's numbers, the sheet, the paper, the split and the name.
std::optional<QString> readWorkshop(const QCommandLineParser &parser, const QLocale &locale,
                                    CliOptions &o)
{
    if (auto e = readNumber(parser, locale, "sketch-width", SmallestSketchWidth,
                            LargestSketchWidth, false, o.sketchWidth))
        return e;
    WorkshopOptions &w = o.workshop;
    for (const WorkshopNumber &n : workshopNumbers()) {
        std::optional<double> v;
        if (auto e = readNumber(parser, locale, n.key, n.low, n.high, false, v))
            return e;
        if (v)
            w.*n.member = *v;
    }
    if (parser.isSet(QStringLiteral("sheet-size"))) {
        const QString text = parser.value(QStringLiteral("sheet-size"));
        const QStringList sides =
            text.split(QLatin1Char('x'), Qt::KeepEmptyParts, Qt::CaseInsensitive);
        const std::optional<double> width =
            sides.size() == 2 ? parseSettingNumber(sides[0], locale) : std::nullopt;
        const std::optional<double> height =
            sides.size() == 2 ? parseSettingNumber(sides[1], locale) : std::nullopt;
        if (!width || !height || *width < SmallestSheetSide || *height < SmallestSheetSide ||
            *width > LargestSheetSide || *height > LargestSheetSide)
            return badValue(QStringLiteral("--sheet-size"), text,
                            QStringLiteral("LARGHEZZAxALTEZZA in mm, ogni lato tra %1 e %2")
                                .arg(formatBoxNumber(SmallestSheetSide, locale),
                                     formatBoxNumber(LargestSheetSide, locale)));
        w.sheetSize = QSizeF(*width, *height);
    }
    if (parser.isSet(QStringLiteral("page"))) {
        const QString page = parser.value(QStringLiteral("page"));
        const std::pair<const char *, QPageSize::PageSizeId> papers[] = {
            {"A4", QPageSize::A4}, {"A3", QPageSize::A3}, {"Letter", QPageSize::Letter}};
        bool known = false;
        for (const auto &[name, id] : papers) {
            if (page.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                o.paper = id;
                known = true;
            }
        }
        if (!known)
            return badValue(QStringLiteral("--page"), page, QStringLiteral("A4, A3 o Letter"));
    }
    if (parser.isSet(QStringLiteral("split"))) {
        const QString split = parser.value(QStringLiteral("split"));
        if (split == QLatin1String("foglio"))
            o.split = CliOptions::Split::BySheet;
        else if (split == QLatin1String("pezzo"))
            o.split = CliOptions::Split::ByPart;
        else
            return badValue(QStringLiteral("--split"), split, QStringLiteral("foglio o pezzo"));
        const QString kind = QFileInfo(o.patternsFile).suffix().toLower();
        if (kind != QLatin1String("dxf") && kind != QLatin1String("svg"))
            return QStringLiteral("--split divide solo le lamiere: serve --patterns con un file "
                                  ".dxf o .svg");
    }
    if (parser.isSet(QStringLiteral("name")))
        w.designName = parser.value(QStringLiteral("name"));
    return std::nullopt;
}

} // namespace

std::optional<QString> parseArguments(const QStringList &args, CliOptions &o)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(QStringList{QStringLiteral("velmorant-cli")} + withBandDefault(args)))
        return parseFailure(parser, args);
    if (auto e = readFilesAndFields(parser, o))
        return e;
    // Numbers are read once --locale is known, wherever it stands.
    const QLocale locale(o.locale);
    if (auto e = readWorkshop(parser, locale, o))
        return e;
    if (auto e = readNumber(parser, locale, "tuned-length", 0,
                            std::numeric_limits<double>::infinity(), true, o.tunedLength))
        return e;
    if (auto e = readPipeOptions(parser, locale, o.pipe))
        return e;
    if (auto e = readWaveOptions(parser, locale, o.waves))
        return e;
    if (auto e = readOptimizeOptions(parser, locale, o.optimize))
        return e;
    const bool drawsParts = o.json || !o.patternsFile.isEmpty() || !o.cutListFile.isEmpty() ||
                            o.waves.enabled;
    if (auto e = readRouteOptions(parser, locale, drawsParts, o.route))
        return e;
    if (parser.isSet(QStringLiteral("sweep"))) {
        SweepSpec s;
        if (std::optional<QString> refused =
                readSweep(parser.value(QStringLiteral("sweep")), locale, s))
            return refused;
        o.sweep = s;
    }
    return std::nullopt;
}

std::optional<QString> clashingFiles(const CliOptions &o, const QList<ProjectInput> &projectInputs)
{
    struct Named
    {
        QString option, path;
    };
    QList<Named> inputs{{QStringLiteral("il file di progetto"), o.designFile},
                        {QStringLiteral("--pipe"), o.pipe.pipeFile},
                        {QStringLiteral("--route"), o.route.routeFile},
                        {QStringLiteral("--obstacles"), o.route.obstaclesFile},
                        {QStringLiteral("--port-areas"), o.waves.portAreasFile},
                        {QStringLiteral("--intake-pipe"), o.waves.intakePipeFile},
                        {QStringLiteral("--exhaust-system"), o.waves.systems.exhaustFile},
                        {QStringLiteral("--intake-system"), o.waves.systems.intakeFile},
                        {QStringLiteral("--ports"), o.waves.ports.file}};
    for (const ProjectInput &in : projectInputs)
        inputs << Named{QStringLiteral("%1 del progetto").arg(in.what), in.path};
    const QList<Named> outputs{{QStringLiteral("--write"), o.writeFile},
                               {QStringLiteral("--svg"), o.svgFile},
                               {QStringLiteral("--patterns"), o.patternsFile},
                               {QStringLiteral("--cut-list"), o.cutListFile},
                               {QStringLiteral("--traces"), o.waves.tracesFile},
                               {QStringLiteral("--curves"), o.waves.curvesFile},
                               {QStringLiteral("--port-areas-out"), o.waves.ports.outFile},
                               {QStringLiteral("--write-pipe"), o.optimize.writePipeFile},
                               {QStringLiteral("--stl"), o.route.stlFile},
                               {QStringLiteral("--write-route"), o.route.writeRouteFile}};
    for (int i = 0; i < outputs.size(); ++i) {
        const Named &out = outputs[i];
        if (out.path.isEmpty())
            continue;
        for (const Named &in : inputs) {
            if (sameFile(out.path, in.path))
                return QStringLiteral("%1 %2 \u00e8 anche %3: un'uscita non pu\u00f2 sovrascrivere "
                                      "un file letto")
                    .arg(out.option, quotedPath(out.path),
                         in.option.startsWith(QLatin1Char('-'))
                             ? QStringLiteral("il file letto da %1").arg(in.option)
                             : in.option);
        }
        for (int k = 0; k < i; ++k) {
            if (sameFile(out.path, outputs[k].path))
                return QStringLiteral("%1 e %2 scriverebbero lo stesso file %3: ogni uscita ne "
                                      "vuole uno suo")
                    .arg(outputs[k].option, out.option, quotedPath(out.path));
        }
    }
    return std::nullopt;
}

bool CliOptions::needsFonts() const
{
    return QFileInfo(patternsFile).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

QString helpText()
{
    QString text = QStringLiteral(
        "Uso: velmorant-cli [FILE.vlo | FILE.vlr] [opzioni]\n"
        "\n"
        "Dimensiona la camera di espansione di un motore a 2 tempi, come il pulsante\n"
        "\"Calcola\" di Velmorant. I parametri partono dai valori di default; un file di\n"
        "progetto li sostituisce; ogni opzione di parametro sostituisce il suo campo.\n"
        "Un progetto di Velmorant Officina (.vlo) porta anche lamiera, tubo, motore,\n"
        "impianto, gas, luci, regimi e sonda; le opzioni date vanno sopra i suoi valori.\n"
        "Le opzioni si scrivono anche --opzione=valore.\n"
        "\n"
        "Parametri (testo letto come nella casella della finestra, con --locale):\n");
    for (std::size_t i = 0; i < FieldCount; ++i)
        text +=
            QStringLiteral("  ") +
            optionColumn(QStringLiteral("--%1 T").arg(QLatin1String(fieldInfo(i).optionName)), 15) +
            fieldCaption(i) + QLatin1Char('\n');
    auto section = [&](const QString &title, const auto &options) {
        text += QLatin1Char('\n') + title + QLatin1Char('\n');
        for (const OptionSpec &spec : options) {
            QString name = QStringLiteral("--") + QLatin1String(spec.name);
            if (spec.valueName)
                name += QLatin1Char(' ') + QLatin1String(spec.valueName);
            text += QStringLiteral("  ") + optionColumn(name, 23) + QString::fromUtf8(spec.help) +
                    QLatin1Char('\n');
        }
    };
    section(QStringLiteral("Uscite:"), OutputOptions);
    section(QStringLiteral("Officina (--patterns, --cut-list e --json; gli avvisi vanno su "
                           "stderr):"),
            WorkshopOptionsHelp);
    auto specs = [](const QList<PipeOptionSpec> &from) {
        QList<OptionSpec> out;
        for (const PipeOptionSpec &spec : from)
            out << OptionSpec{spec.name, spec.valueName, spec.help};
        return out;
    };
    section(QStringLiteral("Tubo, metodi e fascia di giri (nella tabella e nel JSON):"),
            specs(pipeOptionSpecs()));
    section(QStringLiteral("Onde: il tubo sul motore in moto (con --waves; i regimi in parallelo "
                           "su tutti i processori):"),
            specs(waveOptionSpecs() + systemOptionSpecs() + portOptionSpecs()));
    section(QStringLiteral("Ottimizzazione: il tubo che d\u00e0 pi\u00f9 potenza (sul motore delle "
                           "onde; poi --patterns, --cut-list e --waves usano il migliore):"),
            specs(optimizeOptionSpecs()));
    section(QStringLiteral("Percorso: il tubo piegato per starci sulla moto (con --patterns, "
                           "--cut-list e --json):"),
            specs(routeOptionSpecs()));
    text += QStringLiteral(
        "\n"
        "Codici di uscita: 0 riuscito; 1 errore d'uso (un'opzione sconosciuta o un suo\n"
        "valore fuori dal suo intervallo) o di file; 2 uno degli otto parametri rifiutato\n"
        "(il messaggio della sua casella); 3 calcolo rifiutato.\n");
    return text;
}

} // namespace velmorant
