#include "pipeoptions.h"

#include "number.h"
#include "optiontexts.h"
#include "pipefile.h"
#include "usertext.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QRegularExpression>

#include <cmath>

namespace velmorant {

namespace {

// Two positive numbers up to `high` joined by `separator` ("40x25", "4:10"), or nothing.
std::optional<std::pair<double, double>> twoNumbers(const QString &text, QChar separator,
                                                    double high, const QLocale &locale)
{
    const QStringList parts = text.split(separator, Qt::KeepEmptyParts, Qt::CaseInsensitive);
    if (parts.size() != 2)
        return std::nullopt;
    const double a = parseSettingNumber(parts[0], locale).value_or(0);
    const double b = parseSettingNumber(parts[1], locale).value_or(0);
    if (!(a > 0 && b > 0 && a <= high && b <= high))
        return std::nullopt;
    return std::pair{a, b};
}

QString mm(double v, const QLocale &locale)
{
    return locale.toString(v, 'f', 1);
}

QJsonObject pipeJson(const Pipe &pipe)
{
    QJsonArray sections, points;
    for (const PipeSection &s : pipe.sections)
        sections.append(
            QJsonObject{{"kind", s.kind() == PipeSection::Kind::Straight ? "straight" : "cone"},
                        {"length", s.length},
                        {"d_in", s.dIn},
                        {"d_out", s.dOut}});
    for (const ReferencePoint &r : pipe.referencePoints)
        points.append(QJsonObject{{"name", r.name}, {"x", r.x}});
    return QJsonObject{{"method", pipe.method},
                       {"length", pipe.length()},
                       {"sections", sections},
                       {"reference_points", points}};
}

QJsonObject bandJson(const Band &b)
{
    return QJsonObject{{"tuned_rpm", b.tunedRpm},
                       {"low_rpm", b.lowRpm},
                       {"high_rpm", b.highRpm},
                       {"width_deg", b.widthDegrees}};
}

QString sectionKind(const PipeSection &s)
{
    switch (s.kind()) {
    case PipeSection::Kind::Diverging:
        return QStringLiteral("divergente");
    case PipeSection::Kind::Converging:
        return QStringLiteral("convergente");
    default:
        return QStringLiteral("dritto");
    }
}

QString sectionsTable(const Pipe &pipe, const QLocale &locale)
{
    QString t =
        QStringLiteral("  tratto  tipo         lunghezza  d ingresso  d uscita  semiangolo\n");
    for (int i = 0; i < pipe.sections.size(); ++i) {
        const PipeSection &s = pipe.sections[i];
        t += QStringLiteral("  %1  %2 %3 %4 %5 %6\n")
                 .arg(sectionName(pipe, i).leftJustified(6), sectionKind(s).leftJustified(11))
                 .arg(mm(s.length, locale), 10)
                 .arg(mm(s.dIn, locale), 11)
                 .arg(mm(s.dOut, locale), 9)
                 .arg(locale.toString(s.halfAngleDegrees(), 'f', 2), 11);
    }
    for (const ReferencePoint &r : pipe.referencePoints)
        t += QStringLiteral("  punto \"%1\" a %2 mm dalla luce\n").arg(r.name, mm(r.x, locale));
    return t;
}

} // namespace

QJsonObject pipeObject(const Pipe &pipe)
{
    return pipeJson(pipe);
}

QString pipeSections(const Pipe &pipe, const QLocale &locale)
{
    return sectionsTable(pipe, locale);
}

QList<PipeOptionSpec> pipeOptionSpecs()
{
    return {
        {"band", "[GRADI]", "fascia di giri: onda di tappo entro +-GRADI da TC (default 10)"},
        {"sensitivity", nullptr, "la fascia con TEMP1 -100..+100 \u00b0C e tappo +-10 mm"},
        {"pipe", "FILE.csv", "tubo misurato al banco (x_mm,d_mm) al posto del progetto"},
        {"method", "METODO", "own (default), blair2, blair3 o jennings"},
        {"stages", "N", "diffusore in N coni, da 1 a 4 (default 1)"},
        {"horn", "KH", "legge del diffusore a stadi, da 1 a 2 (default 1)"},
        {"port", "LxA", "luce di scarico in mm (blair, jennings; default: D1 del progetto)"},
        {"class", "CLASSE", "strada, enduro (default), cross o gp (metodi blair)"},
        {"cone-angles", "A1:A2", "semiangoli dei coni di jennings (default 4:10)"},
        {"compare", nullptr, "i metodi a confronto: tratti e lunghezze"},
    };
}

QStringList withBandDefault(const QStringList &args)
{
    // Anything written as a number is the band's width (and refused by its range if need be),
    // never a design file's name.
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)([eE][+-]?[0-9]+)?$"));
    QStringList out;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--band") &&
            (i + 1 == args.size() || !number.match(args[i + 1]).hasMatch()))
            out << QStringLiteral("--band=10");
        else
            out << args[i];
    }
    return out;
}

std::optional<QString> readPipeOptions(const QCommandLineParser &parser, const QLocale &locale,
                                       PipeRequest &r)
{
    auto value = [&](const char *name) { return parser.value(QLatin1String(name)); };
    auto isSet = [&](const char *name) { return parser.isSet(QLatin1String(name)); };
    if (isSet("band")) {
        const std::optional<double> w = parseSettingNumber(value("band"), locale);
        if (!w || *w < SmallestBandWidth || *w > LargestBandWidth)
            return badValue(QStringLiteral("--band"), value("band"),
                            numberRange(SmallestBandWidth, LargestBandWidth, locale));
        r.bandWidth = *w;
    }
    r.sensitivity = isSet("sensitivity");
    r.compare = isSet("compare");
    if (isSet("pipe")) {
        r.pipeFile = value("pipe");
        if (r.pipeFile.isEmpty())
            return QStringLiteral("Manca il nome del file di --pipe");
    }
    if (isSet("method")) {
        r.choice.method = value("method").toLower();
        if (!pipeMethods().contains(r.choice.method))
            return badValue(QStringLiteral("--method"), value("method"),
                            QStringLiteral("own, blair2, blair3 o jennings"));
        if (!r.pipeFile.isEmpty() && r.choice.method != QLatin1String("own"))
            return QStringLiteral("--pipe e --method insieme: il tubo misurato non ha metodo");
        r.choice.measured.reset(); // a project's measured pipe gives way to the method asked

    }
    if (isSet("stages")) {
        bool ok = false;
        r.choice.stages = value("stages").toInt(&ok);
        if (!ok || r.choice.stages < 1 || r.choice.stages > 4)
            return badValue(QStringLiteral("--stages"), value("stages"),
                            QStringLiteral("1, 2, 3 o 4"));
    }
    if (!r.pipeFile.isEmpty() && (isSet("stages") || isSet("horn")))
        return QStringLiteral("--pipe con --stages o --horn: il tubo misurato si taglia come "
                              "\u00e8 stato misurato, con i suoi tratti");
    if (isSet("horn")) {
        const std::optional<double> kh = parseSettingNumber(value("horn"), locale);
        if (!kh || *kh < 1 || *kh > 2)
            return badValue(QStringLiteral("--horn"), value("horn"), numberRange(1, 2, locale));
        r.choice.horn = *kh;
    }
    if (isSet("port")) {
        const auto side = twoNumbers(value("port"), QLatin1Char('x'), 500, locale);
        if (!side)
            return badValue(QStringLiteral("--port"), value("port"),
                            QStringLiteral("LARGHEZZAxALTEZZA in mm, ogni lato tra 0 e 500"));
        r.choice.port = QSizeF(side->first, side->second);
    }
    if (isSet("class")) {
        const std::optional<EngineClass> c = engineClassNamed(value("class"));
        if (!c)
            return badValue(QStringLiteral("--class"), value("class"),
                            QStringLiteral("strada, enduro, cross o gp"));
        r.choice.engineClass = *c;
    }
    if (isSet("cone-angles")) {
        const auto angle = twoNumbers(value("cone-angles"), QLatin1Char(':'), 45, locale);
        if (!angle)
            return badValue(QStringLiteral("--cone-angles"), value("cone-angles"),
                            QStringLiteral("A1:A2 in gradi, ognuno maggiore di 0 e fino a 45"));
        r.choice.divergentHalfAngle = angle->first;
        r.choice.convergentHalfAngle = angle->second;
    }
    return std::nullopt;
}

std::optional<QString> readMeasuredPipe(PipeRequest &r)
{
    if (r.pipeFile.isEmpty())
        return std::nullopt;
    const PipeRead read = readPipeFile(r.pipeFile);
    if (!read.ok())
        return QStringLiteral("--pipe: %1").arg(read.error);
    r.choice.measured = read.pipe;
    return std::nullopt;
}

QString pipeTable(const PipeRequest &r, const Pipe &pipe, const DesignParameters &p,
                  const ChamberDimensions &d, const QLocale &locale)
{
    QString t;
    if (r.changesPipe())
        t += QStringLiteral("\nTubo (%1): %2 tratti, lunghezza %3 mm\n")
                 .arg(methodCaption(pipe.method))
                 .arg(pipe.sections.size())
                 .arg(mm(pipe.length(), locale)) +
             sectionsTable(pipe, locale);
    const std::optional<WaveLengths> l = waveLengths(pipe);
    const double sc = p[Field::Sc], asp = p[Field::Asp], temp = p[Field::Temp1];
    auto rpm = [&](double v) { return locale.toString(qRound64(v)); };
    if ((r.bandWidth || r.sensitivity) && !l)
        t += QStringLiteral("\nFascia di giri: il tubo non ha un cono divergente seguito da uno "
                            "convergente\n");
    if (r.bandWidth && l) {
        const Band b = bandOf(*l, sc, asp, temp, *r.bandWidth);
        t += QStringLiteral("\nRegime accordato %1 giri/min; fascia +-%2 gradi: %3 - %4 giri/min\n")
                 .arg(rpm(b.tunedRpm), locale.toString(b.widthDegrees), rpm(b.lowRpm),
                      rpm(b.highRpm));
    }
    if (r.sensitivity && l) {
        t += QStringLiteral("\nSensibilit\u00e0 (fascia +-%1 gradi):\n"
                            "  variazione        accordato       da        a\n")
                 .arg(locale.toString(r.bandWidth.value_or(10)));
        for (const SensitivityRow &row : sensitivity(*l, sc, asp, temp, r.bandWidth.value_or(10)))
            t += row.defined ? QStringLiteral("  %1 %2 %3 %4\n")
                                   .arg(row.change.leftJustified(16))
                                   .arg(rpm(row.band.tunedRpm), 10)
                                   .arg(rpm(row.band.lowRpm), 8)
                                   .arg(rpm(row.band.highRpm), 8)
                             : QStringLiteral("  %1 non definita: il gas dell'onda di tappo "
                                              "sarebbe sotto lo zero assoluto\n")
                                   .arg(row.change.leftJustified(16));
    }
    if (r.compare) {
        t += QStringLiteral("\nMetodi a confronto:\n");
        for (const QString &m : pipeMethods()) {
            const Pipe other = methodPipe(m, r.choice, p, d);
            // Captions only: the keys (own, blair2, ...) are the JSON's and --method's.
            QString caption = methodCaption(m);
            caption[0] = caption[0].toUpper();
            t += QStringLiteral("\n%1: %2 tratti, lunghezza %3 mm\n")
                     .arg(caption)
                     .arg(other.sections.size())
                     .arg(mm(other.length(), locale)) +
                 sectionsTable(other, locale);
        }
    }
    return t;
}

void addPipeJson(QJsonObject &root, const PipeRequest &r, const Pipe &pipe,
                 const DesignParameters &p, const ChamberDimensions &d)
{
    root.insert("pipe", pipeJson(pipe));
    const std::optional<WaveLengths> l = waveLengths(pipe);
    const double sc = p[Field::Sc], asp = p[Field::Asp], temp = p[Field::Temp1];
    if (r.bandWidth && l)
        root.insert("band", bandJson(bandOf(*l, sc, asp, temp, *r.bandWidth)));
    if (r.sensitivity && l) {
        QJsonArray rows;
        for (const SensitivityRow &row : sensitivity(*l, sc, asp, temp, r.bandWidth.value_or(10))) {
            QJsonObject o = row.defined ? bandJson(row.band) : QJsonObject{{"defined", false}};
            o.insert("change", row.change);
            rows.append(o);
        }
        root.insert("sensitivity", rows);
    }
    if (r.compare) {
        QJsonArray methods;
        for (const QString &m : pipeMethods())
            methods.append(pipeJson(methodPipe(m, r.choice, p, d)));
        root.insert("compare", methods);
    }
}

} // namespace velmorant
