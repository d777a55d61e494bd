#include "pipeoptions.h"

#include "number.h"
#include "pipecsv.h"
#include "safefile.h"
#include "usertext.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QRegularExpression>

#include <cmath>

namespace velmorant {

namespace {

constexpr qint64 MaxPipeFileBytes = 4 << 20;
const char *const Methods[] = {"own", "blair2", "blair3", "jennings"};

QString bad(const QString &option, const QString &value, const QString &valid)
{
    return QStringLiteral("Valore non valido per %1: %2 (%3)")
        .arg(option, quotedUserText(value), valid);
}

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
        sections.append(QJsonObject{
            {"kind", s.kind() == PipeSection::Kind::Straight ? "straight" : "cone"},
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
    QString t = QStringLiteral("  tratto  tipo         lunghezza  d ingresso  d uscita  semiangolo\n");
    for (int i = 0; i < pipe.sections.size(); ++i) {
        const PipeSection &s = pipe.sections[i];
        t += QStringLiteral("  %1  %2 %3 %4 %5 %6\n")
                 .arg(QString::number(i + 1).leftJustified(6), sectionKind(s).leftJustified(11))
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
    static const QRegularExpression number(QStringLiteral("^[0-9]+([.,][0-9]+)?$"));
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
    auto range = [&](double low, double high) {
        return QStringLiteral("serve un numero tra %1 e %2")
            .arg(formatBoxNumber(low, locale), formatBoxNumber(high, locale));
    };
    if (isSet("band")) {
        const std::optional<double> w = parseSettingNumber(value("band"), locale);
        if (!w || !(*w > 0) || *w > 90)
            return bad(QStringLiteral("--band"), value("band"),
                       QStringLiteral("serve un numero maggiore di 0 e fino a 90"));
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
        r.method = value("method").toLower();
        bool known = false;
        for (const char *m : Methods)
            known = known || r.method == QLatin1String(m);
        if (!known)
            return bad(QStringLiteral("--method"), value("method"),
                       QStringLiteral("own, blair2, blair3 o jennings"));
        if (!r.pipeFile.isEmpty() && r.method != QLatin1String("own"))
            return QStringLiteral("--pipe e --method insieme: il tubo misurato non ha metodo");
    }
    if (isSet("stages")) {
        bool ok = false;
        r.stages = value("stages").toInt(&ok);
        if (!ok || r.stages < 1 || r.stages > 4)
            return bad(QStringLiteral("--stages"), value("stages"), QStringLiteral("1, 2, 3 o 4"));
    }
    if (isSet("horn")) {
        const std::optional<double> kh = parseSettingNumber(value("horn"), locale);
        if (!kh || *kh < 1 || *kh > 2)
            return bad(QStringLiteral("--horn"), value("horn"), range(1, 2));
        r.horn = *kh;
    }
    if (isSet("port")) {
        const auto side = twoNumbers(value("port"), QLatin1Char('x'), 500, locale);
        if (!side)
            return bad(QStringLiteral("--port"), value("port"),
                       QStringLiteral("LARGHEZZAxALTEZZA in mm, ogni lato tra 0 e 500"));
        r.port = QSizeF(side->first, side->second);
    }
    if (isSet("class")) {
        const std::optional<EngineClass> c = engineClassNamed(value("class"));
        if (!c)
            return bad(QStringLiteral("--class"), value("class"),
                       QStringLiteral("strada, enduro, cross o gp"));
        r.engineClass = *c;
    }
    if (isSet("cone-angles")) {
        const auto angle = twoNumbers(value("cone-angles"), QLatin1Char(':'), 45, locale);
        if (!angle)
            return bad(QStringLiteral("--cone-angles"), value("cone-angles"),
                       QStringLiteral("A1:A2 in gradi, ognuno maggiore di 0 e fino a 45"));
        r.divergentHalfAngle = angle->first;
        r.convergentHalfAngle = angle->second;
    }
    return std::nullopt;
}

Pipe methodPipe(const QString &method, const PipeRequest &r, const DesignParameters &p,
                const ChamberDimensions &d)
{
    MethodInputs in;
    in.rpm = p[Field::Rpm];
    in.sc = p[Field::Sc];
    in.engineClass = r.engineClass;
    if (r.port) {
        in.portWidth = r.port->width();
        in.portHeight = r.port->height();
    }
    in.headerD1 = d.D1;
    in.divergentHalfAngle = r.divergentHalfAngle;
    in.convergentHalfAngle = r.convergentHalfAngle;
    in.horn = r.horn;
    if (method == QLatin1String("blair2"))
        return blairPipe(in, 2);
    if (method == QLatin1String("blair3"))
        return blairPipe(in, 3);
    if (method == QLatin1String("jennings"))
        return jenningsPipe(in);
    return firstSizingPipe(d);
}

PipeBuilt buildPipe(const PipeRequest &r, const DesignParameters &p, const ChamberDimensions &d)
{
    PipeBuilt built;
    if (!r.pipeFile.isEmpty()) {
        const FileReading file = readRegularFile(r.pipeFile, MaxPipeFileBytes);
        if (!file.ok()) {
            built.error = QStringLiteral("Impossibile leggere %1: %2")
                              .arg(quotedUserText(r.pipeFile), file.failure);
            return built;
        }
        const PipeRead read = readPipeCsv(file.bytes);
        if (!read.ok()) {
            built.error = QStringLiteral("%1: %2").arg(quotedUserText(r.pipeFile), read.error);
            return built;
        }
        built.pipe = read.pipe;
    } else {
        built.pipe = methodPipe(r.method, r, p, d);
    }
    // Blair's methods set their own stages.
    if (r.stages > 1 && !built.pipe.method.startsWith(QLatin1String("blair")))
        built.pipe = withStages(built.pipe, r.stages, r.horn);
    if (const std::optional<QString> problem = pipeProblem(built.pipe))
        built.refusal = *problem;
    return built;
}

QString pipeTable(const PipeRequest &r, const Pipe &pipe, const DesignParameters &p,
                  const ChamberDimensions &d, const QLocale &locale)
{
    QString t;
    if (r.changesPipe())
        t += QStringLiteral("\nTubo (%1): %2 tratti, lunghezza %3 mm\n")
                 .arg(pipe.method)
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
        t += QStringLiteral("\nRegime accordato %1 rpm; fascia +-%2 gradi: %3 - %4 rpm\n")
                 .arg(rpm(b.tunedRpm), locale.toString(b.widthDegrees), rpm(b.lowRpm),
                      rpm(b.highRpm));
    }
    if (r.sensitivity && l) {
        t += QStringLiteral("\nSensibilit\u00e0 (fascia +-%1 gradi):\n"
                            "  variazione        accordato       da        a\n")
                 .arg(locale.toString(r.bandWidth.value_or(10)));
        for (const SensitivityRow &row : sensitivity(*l, sc, asp, temp, r.bandWidth.value_or(10)))
            t += QStringLiteral("  %1 %2 %3 %4\n")
                     .arg(row.change.leftJustified(16))
                     .arg(rpm(row.band.tunedRpm), 10)
                     .arg(rpm(row.band.lowRpm), 8)
                     .arg(rpm(row.band.highRpm), 8);
    }
    if (r.compare) {
        t += QStringLiteral("\nMetodi a confronto:\n");
        for (const char *m : Methods) {
            const Pipe other = methodPipe(QLatin1String(m), r, p, d);
            t += QStringLiteral("\n%1: %2 tratti, lunghezza %3 mm\n")
                     .arg(QLatin1String(m))
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
            QJsonObject o = bandJson(row.band);
            o.insert("change", row.change);
            rows.append(o);
        }
        root.insert("sensitivity", rows);
    }
    if (r.compare) {
        QJsonArray methods;
        for (const char *m : Methods)
            methods.append(pipeJson(methodPipe(QLatin1String(m), r, p, d)));
        root.insert("compare", methods);
    }
}

} // namespace velmorant
