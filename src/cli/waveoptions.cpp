#include "waveoptions.h"

#include "optiontexts.h"
#include "usertext.h"

#include <QCommandLineParser>
#include <QJsonArray>

#include <cmath>

namespace velmorant {

QList<PipeOptionSpec> waveOptionSpecs()
{
    static QList<QByteArray> helps; // the engine's lines, kept for the specs' pointers
    QList<PipeOptionSpec> specs{
        {"waves", nullptr, "modello gas-dinamico del tubo sul motore in moto"},
        {"rpm-range", "DA:A:PASSO", "regimi da calcolare (default: il regime di progetto)"},
        {"probe", "MM", "stazione dalla luce per le tracce, anche ripetuta (fino a 8)"},
        {"cell", "MM", "lunghezza massima di una cella, da 0,5 a 50 (default 10)"},
        {"traces", "FILE.csv", "tracce di p, T e u contro l'angolo (CSV)"},
        {"bore", "MM", "alesaggio (default: motore quadro dalla cilindrata)"},
        {"stroke", "MM", "corsa (default: motore quadro dalla cilindrata)"},
    };
    if (helps.isEmpty()) {
        for (const waves::EngineRange &r : waves::engineRanges())
            helps << QByteArray(r.help);
    }
    for (int i = 0; i < waves::engineRanges().size(); ++i)
        specs << PipeOptionSpec{waves::engineRanges()[i].option, "N", helps[i].constData()};
    return specs;
}

std::optional<QString> readWaveOptions(const QCommandLineParser &parser, const QLocale &locale,
                                       WaveRequest &r)
{
    auto isSet = [&](const char *name) { return parser.isSet(QLatin1String(name)); };
    auto value = [&](const char *name) { return parser.value(QLatin1String(name)); };
    r.enabled = isSet("waves");
    if (isSet("rpm-range")) {
        // Speeds read as the RPM box reads them, digit grouping included ("7.000" under it_IT).
        const QString text = value("rpm-range");
        const QStringList parts = text.split(QLatin1Char(':'));
        std::optional<double> v[3];
        for (int k = 0; k < 3 && parts.size() == 3; ++k)
            v[k] = parseLocaleNumber(parts[k], locale);
        if (parts.size() != 3 || !v[0] || !v[1] || !v[2])
            return badValue(QStringLiteral("--rpm-range"), text,
                            QStringLiteral("DA:A:PASSO, tre numeri in giri/min"));
        const waves::SpeedRange range = waves::speedRange(*v[0], *v[1], *v[2], locale);
        if (!range.refusal.isEmpty())
            return QStringLiteral("--rpm-range %1: %2").arg(quotedUserText(text), range.refusal);
        r.from = v[0];
        r.to = v[1];
        r.step = v[2];
    }
    for (const QString &text : parser.values(QStringLiteral("probe"))) {
        const std::optional<double> x = parseSettingNumber(text, locale);
        if (!x || *x < 0 || *x > 100000)
            return badValue(QStringLiteral("--probe"), text, numberRange(0, 100000, locale));
        r.probes << *x;
    }
    if (r.probes.size() > waves::MaxProbes)
        return QStringLiteral("Troppe stazioni --probe: al massimo %1").arg(waves::MaxProbes);
    if (isSet("cell")) {
        const std::optional<double> c = parseSettingNumber(value("cell"), locale);
        if (!c || *c < waves::SmallestCellMm || *c > waves::LargestCellMm)
            return badValue(QStringLiteral("--cell"), value("cell"),
                            numberRange(waves::SmallestCellMm, waves::LargestCellMm, locale));
        r.cell = *c;
    }
    if (isSet("traces")) {
        r.tracesFile = value("traces");
        if (r.tracesFile.isEmpty())
            return QStringLiteral("Manca il nome del file di --traces");
    }
    for (const waves::EngineRange &e : waves::engineRanges()) {
        if (!isSet(e.option))
            continue;
        const std::optional<double> v = parseSettingNumber(value(e.option), locale);
        if (!v || *v < e.low || *v > e.high)
            return badValue(QStringLiteral("--") + QLatin1String(e.option), value(e.option),
                            numberRange(e.low, e.high, locale));
        r.engine.*e.member = *v;
    }
    for (const auto &[name, into] :
         {std::pair{"bore", &r.engine.bore}, std::pair{"stroke", &r.engine.stroke}}) {
        if (!isSet(name))
            continue;
        const std::optional<double> v = parseSettingNumber(value(name), locale);
        if (!v || *v < waves::SmallestBoreMm || *v > waves::LargestBoreMm)
            return badValue(QStringLiteral("--") + QLatin1String(name), value(name),
                            numberRange(waves::SmallestBoreMm, waves::LargestBoreMm, locale));
        *into = v;
    }
    if (!r.enabled && (r.from || !r.probes.isEmpty() || !r.tracesFile.isEmpty()))
        return QStringLiteral("--rpm-range, --probe e --traces vanno con --waves");
    return std::nullopt;
}

WaveSetup waveSetup(const WaveRequest &r, const DesignParameters &p, const Pipe &pipe,
                    const QLocale &locale)
{
    WaveSetup s;
    s.engine = waves::onDesign(r.engine, p);
    s.rpms = r.from ? waves::speedRange(*r.from, *r.to, *r.step, locale).rpms
                    : QList<double>{p[Field::Rpm]};
    s.options.cellMm = r.cell;
    s.options.probes = r.probes;
    if (const std::optional<QString> problem =
            waves::waveProblem(pipe, s.engine, s.options, s.rpms, locale))
        s.refusal = *problem;
    return s;
}

QString wavesTable(const WaveSetup &setup, const QList<waves::SpeedResult> &results,
                   const QLocale &locale)
{
    QString t = QStringLiteral("\nOnde (celle fino a %1 mm; pressioni in bar sull'ambiente):\n"
                               "  giri/min  cicli  erogazione  intrappolamento  carica  "
                               "depressione  tappo\n")
                    .arg(locale.toString(setup.options.cellMm));
    for (const waves::SpeedResult &r : results) {
        t += QStringLiteral("  %1 %2 %3 %4 %5 %6 %7%8\n")
                 .arg(locale.toString(qRound64(r.rpm)), 8)
                 .arg(r.cycles, 6)
                 .arg(locale.toString(r.deliveryRatio, 'f', 3), 11)
                 .arg(locale.toString(r.trappingEfficiency, 'f', 3), 16)
                 .arg(locale.toString(r.chargingEfficiency, 'f', 3), 7)
                 .arg(locale.toString(r.suction, 'f', 3), 12)
                 .arg(locale.toString(r.plug, 'f', 3), 6)
                 .arg(r.periodic ? QString() : QStringLiteral("  (non periodico)"));
    }
    return t;
}

QJsonObject wavesJson(const WaveSetup &setup, const QList<waves::SpeedResult> &results)
{
    QJsonArray speeds;
    for (const waves::SpeedResult &r : results)
        speeds.append(QJsonObject{{"rpm", r.rpm},
                                  {"cycles", r.cycles},
                                  {"periodic", r.periodic},
                                  {"delivery_ratio", r.deliveryRatio},
                                  {"trapping_efficiency", r.trappingEfficiency},
                                  {"charging_efficiency", r.chargingEfficiency},
                                  {"port_mass_kg", r.portMass},
                                  {"end_mass_kg", r.endMass},
                                  {"suction_bar", r.suction},
                                  {"plug_bar", r.plug}});
    return QJsonObject{{"cell_mm", setup.options.cellMm}, {"speeds", speeds}};
}

} // namespace velmorant
