#include "cliargs.h"

#include "number.h"
#include "sweep.h"

#include <QLocale>

#include <cmath>

namespace velmorant {

namespace {

std::optional<std::size_t> fieldByName(const QString &name)
{
    // The temperature's option is the short --temp.
    if (name.compare(QLatin1String("temp"), Qt::CaseInsensitive) == 0)
        return std::size_t(Field::Temp1);
    for (std::size_t i = 0; i < FieldCount; ++i) {
        if (name.compare(QLatin1String(fieldInfo(i).name), Qt::CaseInsensitive) == 0)
            return i;
    }
    return std::nullopt;
}

QString badValue(const QString &option, const QString &value)
{
    return QStringLiteral("Valore non valido per %1: \"%2\"").arg(option, value);
}

// Numbers of the options that are not parameters: the locale's decimal separator, but no
// digit grouping, which would make "1,250" a thousand times what a user of it_IT meant.
std::optional<double> optionNumber(const QString &text, const QLocale &locale)
{
    QLocale strict = locale;
    strict.setNumberOptions(QLocale::RejectGroupSeparator);
    return parseLocaleNumber(text, strict);
}

struct RawOption
{
    QString option; // as typed, for messages
    QString value;
};

std::optional<QString> readSweep(const RawOption &raw, const QLocale &locale, SweepSpec &s)
{
    // FIELD=FROM:TO:STEP
    const std::optional<std::size_t> field = fieldByName(raw.value.section(QLatin1Char('='), 0, 0));
    const QStringList range = raw.value.section(QLatin1Char('='), 1).split(QLatin1Char(':'));
    if (!field || range.size() != 3)
        return badValue(raw.option, raw.value);
    const std::optional<double> from = optionNumber(range[0], locale),
                                to = optionNumber(range[1], locale),
                                step = optionNumber(range[2], locale);
    if (!from || !to || !step || *step == 0)
        return badValue(raw.option, raw.value);
    s = SweepSpec{*field, *from, *to, *step};
    const double rows = sweepRowCount(s);
    if (std::isnan(rows))
        return badValue(raw.option, raw.value);
    if (!(rows <= MaxSweepRows))
        return QStringLiteral("La tabella di %1 avrebbe troppe righe: il massimo \u00e8 %2")
            .arg(raw.option, QLocale(QLocale::Italian).toString(qint64(MaxSweepRows)));
    return std::nullopt;
}

} // namespace

std::optional<QString> parseArguments(const QStringList &args, CliOptions &o)
{
    // Numbers are read once --locale is known, wherever it stands.
    std::optional<RawOption> sheet, sketchWidth, tunedLength, sweep;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            o.help = true;
            continue;
        }
        if (arg == QLatin1String("--version")) {
            o.version = true;
            continue;
        }
        if (arg == QLatin1String("--json")) {
            o.json = true;
            continue;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            if (!o.designFile.isEmpty())
                return QStringLiteral("Un solo file di progetto, per favore: \"%1\"").arg(arg);
            o.designFile = arg;
            continue;
        }
        if (i + 1 >= args.size())
            return QStringLiteral("Manca il valore di %1").arg(arg);
        const QString value = args[++i];
        const QString option = arg.mid(2);
        QString *path = nullptr;
        if (const std::optional<std::size_t> field = fieldByName(option)) {
            o.fieldTexts[*field] = value;
        } else if (option == QLatin1String("locale")) {
            o.locale = value;
        } else if (option == QLatin1String("write")) {
            path = &o.writeFile;
        } else if (option == QLatin1String("svg")) {
            path = &o.svgFile;
        } else if (option == QLatin1String("patterns")) {
            path = &o.patternsFile;
        } else if (option == QLatin1String("sketch-width")) {
            sketchWidth = RawOption{arg, value};
        } else if (option == QLatin1String("sheet")) {
            sheet = RawOption{arg, value};
        } else if (option == QLatin1String("tuned-length")) {
            tunedLength = RawOption{arg, value};
        } else if (option == QLatin1String("sweep")) {
            sweep = RawOption{arg, value};
        } else {
            return QStringLiteral("Opzione sconosciuta: %1 (vedere --help)").arg(arg);
        }
        if (path) {
            if (value.isEmpty())
                return QStringLiteral("Manca il nome del file di %1").arg(arg);
            *path = value;
        }
    }

    const QLocale locale(o.locale);
    if (sketchWidth) {
        o.sketchWidth = optionNumber(sketchWidth->value, locale);
        if (!o.sketchWidth)
            return badValue(sketchWidth->option, sketchWidth->value);
    }
    if (sheet) {
        const std::optional<double> t = optionNumber(sheet->value, locale);
        if (!t || *t < 0)
            return badValue(sheet->option, sheet->value);
        o.sheet = *t;
    }
    if (tunedLength) {
        o.tunedLength = optionNumber(tunedLength->value, locale);
        if (!o.tunedLength || *o.tunedLength <= 0)
            return badValue(tunedLength->option, tunedLength->value);
    }
    if (sweep) {
        SweepSpec s;
        if (std::optional<QString> refused = readSweep(*sweep, locale, s))
            return refused;
        o.sweep = s;
    }
    return std::nullopt;
}

QString helpText()
{
    return QStringLiteral(
        "Uso: velmorant-cli [FILE.vlr] [opzioni]\n"
        "\n"
        "Dimensiona la camera di espansione di un motore a 2 tempi, come il pulsante\n"
        "\"Calcola\" di Velmorant. I parametri partono dai valori di default; un file di\n"
        "progetto li sostituisce; ogni opzione di parametro sostituisce il suo campo.\n"
        "\n"
        "Parametri (testo letto come nella casella della finestra, con --locale):\n"
        "  --cil T        Cilindrata (cc)\n"
        "  --rpm T        Numero di giri da ottimizzare (RPM)\n"
        "  --asp T        Durata fase di aspirazione (gradi)\n"
        "  --sc T         Durata fase di scarico (gradi)\n"
        "  --conv T       Angolo del tratto convergente (gradi)\n"
        "  --div T        Angolo del tratto divergente (gradi)\n"
        "  --temp T       Temperatura gas di scarico (\u00b0C)\n"
        "  --rappsez T    Rapporto sezione centrale/sezione iniziale\n"
        "\n"
        "Uscite:\n"
        "  --locale NOME          convenzioni numeriche (default C), es. it_IT, en_US\n"
        "  --json                 risultati completi in JSON\n"
        "  --sketch-width W       larghezza del riquadro dello schizzo in twip (JSON e SVG)\n"
        "  --write FILE           salva i parametri come file di progetto\n"
        "  --svg FILE             schizzo in scala (SVG)\n"
        "  --patterns FILE        sviluppi dei segmenti in scala 1:1 (.svg, .pdf o .dxf)\n"
        "  --sheet MM             spessore della lamiera (default 0)\n"
        "  --sweep CAMPO=DA:A:PASSO  tabella CSV al variare di un parametro\n"
        "  --tuned-length MM      regime a cui L1+L2+L3 vale MM\n"
        "  --version              versione\n"
        "  --help                 questo aiuto\n"
        "\n"
        "Codici di uscita: 0 riuscito, 1 errore d'uso o di file, 2 parametro rifiutato,\n"
        "3 calcolo rifiutato.\n");
}

} // namespace velmorant
