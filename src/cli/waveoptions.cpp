#include "waveoptions.h"

#include "optiontexts.h"
#include "pipefile.h"
#include "safefile.h"
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
        {"traces", "FILE.csv", "tracce di p, T e u contro l'angolo e la pressione nel cilindro "
                               "(CSV)"},
        {"curves", "FILE.csv", "potenza, coppia, pressioni medie, rendimenti per regime (CSV)"},
        {"cycle", "motore|fisso",
         "il cilindro dal ciclo prima (default motore) o a stato fisso all'apertura dello "
         "scarico"},
        {"scavenging", "MODELLO",
         "miscelazione, spostamento, uniflow, scre (default), yam1, yam6, cd o qubcr"},
        {"friction", "A:B:C:D",
         "attrito di Chen e Flynn, bar: A + B p_max + C c_m + D c_m^2 (A da 0 a 5, B da 0 a "
         "0,05, C da 0 a 0,5, D da 0 a 0,01; default 0,4:0,005:0,09:0,0009)"},
        {"port-areas", "FILE.csv",
         "aree aperte delle luci contro l'angolo (angle_deg,exhaust_mm2,transfer_mm2"
         "[,intake_mm2]) al posto delle luci rettangolari"},
        {"intake-pipe", "FILE.csv",
         "condotto di aspirazione dall'aria al carter (stazioni x_mm,d_mm)"},
        {"bore", "MM", "alesaggio, da 10 a 200 (default: motore quadro dalla cilindrata)"},
        {"stroke", "MM", "corsa, da 10 a 200 (default: motore quadro dalla cilindrata)"},
    };
    if (helps.isEmpty()) {
        // Each line with its range: "(da 5 a 20, default 12)"; decimal commas as in the rest of
        // the help, but no grouping, which --locale C would read as a decimal point.
        QLocale it(QLocale::Italian, QLocale::Italy);
        it.setNumberOptions(QLocale::OmitGroupSeparator);
        for (const waves::EngineRange &r : waves::engineRanges())
            helps << QString::fromUtf8(r.help)
                         .replace(QLatin1String("(default"),
                                  QStringLiteral("(da %1 a %2, default")
                                      .arg(it.toString(r.low), it.toString(r.high)))
                         .toUtf8();
    }
    for (int i = 0; i < waves::engineRanges().size(); ++i) {
        if (waves::engineRanges()[i].ownOption)
            specs << PipeOptionSpec{waves::engineRanges()[i].option, "N", helps[i].constData()};
    }
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
    for (const auto &[name, into] :
         {std::pair{"traces", &r.tracesFile}, std::pair{"curves", &r.curvesFile},
          std::pair{"port-areas", &r.portAreasFile}, std::pair{"intake-pipe", &r.intakePipeFile}}) {
        if (!isSet(name))
            continue;
        *into = value(name);
        if (into->isEmpty())
            return QStringLiteral("Manca il nome del file di --%1").arg(QLatin1String(name));
    }
    if (isSet("cycle")) {
        const std::optional<engine::Cycle> c = engine::cycleNamed(value("cycle"));
        if (!c)
            return badValue(QStringLiteral("--cycle"), value("cycle"),
                            QStringLiteral("motore o fisso"));
        r.engine.cycle = *c;
    }
    if (isSet("scavenging")) {
        const std::optional<engine::Scavenging> s = engine::scavengingNamed(value("scavenging"));
        if (!s)
            return badValue(QStringLiteral("--scavenging"), value("scavenging"),
                            engine::scavengingNames().join(QStringLiteral(", ")));
        r.engine.scavenging = s;
    }
    if (isSet("friction")) {
        // A:B:C:D, each within its range.
        const QString text = value("friction");
        const QStringList parts = text.split(QLatin1Char(':'));
        QList<const waves::EngineRange *> friction;
        for (const waves::EngineRange &e : waves::engineRanges()) {
            if (!e.ownOption)
                friction << &e;
        }
        QString ranges;
        for (const waves::EngineRange *e : friction)
            ranges += (ranges.isEmpty() ? QString() : QStringLiteral(", ")) +
                      QStringLiteral("%1-%2").arg(formatBoxNumber(e->low, locale),
                                                  formatBoxNumber(e->high, locale));
        if (parts.size() != friction.size())
            return badValue(QStringLiteral("--friction"), text,
                            QStringLiteral("A:B:C:D, quattro numeri tra %1").arg(ranges));
        for (int k = 0; k < friction.size(); ++k) {
            const std::optional<double> v = parseSettingNumber(parts[k], locale);
            if (!v || *v < friction[k]->low || *v > friction[k]->high)
                return badValue(QStringLiteral("--friction"), text,
                                QStringLiteral("A:B:C:D, quattro numeri tra %1").arg(ranges));
            r.engine.*friction[k]->member = *v;
        }
    }
    for (const waves::EngineRange &e : waves::engineRanges()) {
        if (!e.ownOption || !isSet(e.option))
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
    if (!r.enabled && (r.from || !r.probes.isEmpty() || !r.tracesFile.isEmpty() ||
                       !r.curvesFile.isEmpty()))
        return QStringLiteral("--rpm-range, --probe, --traces e --curves vanno con --waves");
    if (auto e = readSystemOptions(parser, locale, r.systems))
        return e;
    if (auto e = readPortOptions(parser, r.ports))
        return e;
    if (!r.enabled && !r.ports.outFile.isEmpty())
        return QStringLiteral("--port-areas-out va con --waves");
    const SystemRequest &s = r.systems;
    if (!r.enabled && !parser.isSet(QStringLiteral("optimize")) &&
        (!s.exhaustFile.isEmpty() || !s.intakeFile.isEmpty() || s.transferDuct ||
         !r.ports.file.isEmpty()))
        return QStringLiteral("--exhaust-system, --intake-system, --transfer-duct e --ports "
                              "vanno con --waves o --optimize");
    return std::nullopt;
}

std::optional<QString> readWaveFiles(WaveRequest &r)
{
    if (!r.portAreasFile.isEmpty()) {
        engine::PortAreasRead read = readFileWith(r.portAreasFile, engine::MaxPortAreaFileBytes,
                                                  engine::readPortAreas);
        if (!read.ok())
            return QStringLiteral("--port-areas: %1").arg(read.error);
        read.table.source = r.portAreasFile;
        r.engine.portAreas = read.table;
    }
    if (!r.intakePipeFile.isEmpty()) {
        const PipeRead read = readPipeFile(r.intakePipeFile);
        if (!read.ok())
            return QStringLiteral("--intake-pipe: %1").arg(read.error);
        r.intakePipe = read.pipe;
    }
    if (auto e = readPortFile(r.ports))
        return e;
    return readSystemFiles(r.systems);
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
    s.options.intakePipe = r.intakePipe;
    applySystems(r.systems, s.options);
    s.ports = applyPorts(r.ports, s.engine, s.options, p[Field::Rpm], locale);
    if (!s.ports.refusal.isEmpty()) {
        s.refusal = s.ports.refusal;
        return s;
    }
    if (const std::optional<QString> problem =
            waves::waveProblem(pipe, s.engine, s.options, s.rpms, locale))
        s.refusal = *problem;
    return s;
}

QString wavesTable(const WaveSetup &setup, const QList<waves::SpeedResult> &results,
                   const QLocale &locale)
{
    QString t = QStringLiteral("\nOnde (celle fino a %1 mm; ciclo %2, lavaggio %3; pressioni in bar "
                               "sull'ambiente):\n"
                               "  giri/min  cicli  potenza CV  coppia N m  PME bar  erogazione  "
                               "intrappolamento  carica  depressione  tappo\n")
                    .arg(locale.toString(setup.options.cellMm),
                         engine::cycleName(setup.engine.cycle),
                         engine::scavengingName(setup.engine.scavengingModel()));
    for (const waves::SpeedResult &r : results) {
        t += QStringLiteral("  %1 %2 %3 %4 %5 %6 %7 %8 %9")
                 .arg(locale.toString(qRound64(r.rpm)), 8)
                 .arg(r.cycles, 6)
                 .arg(locale.toString(r.brake.powerCv, 'f', 2), 11)
                 .arg(locale.toString(r.brake.torqueNm, 'f', 2), 11)
                 .arg(locale.toString(r.brake.bmep, 'f', 2), 8)
                 .arg(locale.toString(r.deliveryRatio, 'f', 3), 11)
                 .arg(locale.toString(r.trappingEfficiency, 'f', 3), 16)
                 .arg(locale.toString(r.chargingEfficiency, 'f', 3), 7)
                 .arg(locale.toString(r.suction, 'f', 3), 12);
        t += QStringLiteral(" %1%2\n")
                 .arg(locale.toString(r.plug, 'f', 3), 6)
                 .arg(r.periodic ? QString() : QStringLiteral("  (non periodico)"));
    }
    // Where each bar goes: from the fuel of a swept volume of fresh charge, the losses in turn.
    t += QStringLiteral("\nPressione media, dove va (bar; dal riferimento si tolgono le perdite "
                        "fino alla PMI, poi fino alla PME):\n  giri/min");
    for (const waves::MeanPressureStep &s : waves::MeanPressureSteps)
        t += QStringLiteral(" %1").arg(QString::fromUtf8(s.caption), 12);
    t += QLatin1Char('\n');
    for (const waves::SpeedResult &r : results) {
        t += QStringLiteral("  %1").arg(locale.toString(qRound64(r.rpm)), 8);
        for (const waves::MeanPressureStep &s : waves::MeanPressureSteps)
            t += QStringLiteral(" %1").arg(locale.toString(r.meanPressures.*s.member, 'f', 2), 12);
        t += QLatin1Char('\n');
    }
    return t;
}

namespace {

// Every figure of a speed by the name the JSON and the curves give it.
struct SpeedFigure
{
    const char *key;
    double (*value)(const waves::SpeedResult &);
};
const SpeedFigure Figures[] = {
    {"rpm", [](const waves::SpeedResult &r) { return r.rpm; }},
    {"delivery_ratio", [](const waves::SpeedResult &r) { return r.deliveryRatio; }},
    {"trapping_efficiency", [](const waves::SpeedResult &r) { return r.trappingEfficiency; }},
    {"charging_efficiency", [](const waves::SpeedResult &r) { return r.chargingEfficiency; }},
    {"scavenging_efficiency", [](const waves::SpeedResult &r) { return r.scavengingEfficiency; }},
    {"intake_backflow_ratio", [](const waves::SpeedResult &r) { return r.intakeBackflow; }},
    {"port_mass_kg", [](const waves::SpeedResult &r) { return r.portMass; }},
    {"end_mass_kg", [](const waves::SpeedResult &r) { return r.endMass; }},
    {"suction_bar", [](const waves::SpeedResult &r) { return r.suction; }},
    {"plug_bar", [](const waves::SpeedResult &r) { return r.plug; }},
    {"imep_bar", [](const waves::SpeedResult &r) { return r.brake.imep; }},
    {"pmep_bar", [](const waves::SpeedResult &r) { return r.brake.pmep; }},
    {"fmep_bar", [](const waves::SpeedResult &r) { return r.brake.fmep; }},
    {"bmep_bar", [](const waves::SpeedResult &r) { return r.brake.bmep; }},
    {"power_kw", [](const waves::SpeedResult &r) { return r.brake.powerKw; }},
    {"power_cv", [](const waves::SpeedResult &r) { return r.brake.powerCv; }},
    {"torque_nm", [](const waves::SpeedResult &r) { return r.brake.torqueNm; }},
    {"p_max_bar", [](const waves::SpeedResult &r) { return r.peakPressure; }},
    {"p_max_deg", [](const waves::SpeedResult &r) { return r.peakAngle; }},
    {"eo_pressure_bar", [](const waves::SpeedResult &r) { return r.eoPressure; }},
    {"eo_temperature_c", [](const waves::SpeedResult &r) { return r.eoTemperature; }},
};
const SpeedFigure EnergyFigures[] = {
    {"fuel_j", [](const waves::SpeedResult &r) { return r.energy.fuel; }},
    {"work_j", [](const waves::SpeedResult &r) { return r.energy.work; }},
    {"wall_heat_j", [](const waves::SpeedResult &r) { return r.energy.wallHeat; }},
    {"exhaust_j", [](const waves::SpeedResult &r) { return r.energy.exhaust; }},
    {"intake_j", [](const waves::SpeedResult &r) { return r.energy.intake; }},
};

} // namespace

QJsonObject wavesJson(const WaveSetup &setup, const QList<waves::SpeedResult> &results)
{
    QJsonArray speeds;
    for (const waves::SpeedResult &r : results) {
        QJsonObject o{{"cycles", r.cycles},
                      {"periodic", r.periodic},
                      {"exhaust_opens_deg", r.exhaustOpens}};
        for (const SpeedFigure &f : Figures)
            o.insert(QLatin1String(f.key), f.value(r));
        // No power, no consumption per kilowatt hour.
        o.insert(QStringLiteral("bsfc_g_kwh"), r.brake.bsfc ? QJsonValue(*r.brake.bsfc) : QJsonValue());
        QJsonObject energy;
        for (const SpeedFigure &f : EnergyFigures)
            energy.insert(QLatin1String(f.key), f.value(r));
        o.insert(QStringLiteral("energy"), energy);
        QJsonObject mean;
        for (const waves::MeanPressureStep &s : waves::MeanPressureSteps)
            mean.insert(QLatin1String(s.key), r.meanPressures.*s.member);
        o.insert(QStringLiteral("mean_pressures_bar"), mean);
        if (!r.volumes.isEmpty())
            o.insert(QStringLiteral("volumes"), volumesJson(r));
        if (!r.walls.isEmpty())
            o.insert(QStringLiteral("walls"), wallsJson(r));
        if (setup.options.ports)
            o.insert(QStringLiteral("sta"),
                     portsStaAt(*setup.options.ports, setup.engine, r.rpm));
        speeds.append(o);
    }
    return QJsonObject{{"cell_mm", setup.options.cellMm},
                       {"cycle", engine::cycleName(setup.engine.cycle)},
                       {"scavenging", engine::scavengingName(setup.engine.scavengingModel())},
                       {"speeds", speeds}};
}

QByteArray curvesCsv(const QList<waves::SpeedResult> &results)
{
    QByteArray out;
    for (const SpeedFigure &f : Figures)
        out += QByteArray(f.key) + ',';
    out += "bsfc_g_kwh";
    for (const SpeedFigure &f : EnergyFigures)
        out += ",energy_" + QByteArray(f.key);
    for (const waves::MeanPressureStep &s : waves::MeanPressureSteps)
        out += ",mep_" + QByteArray(s.key) + "_bar";
    out += ",cycles,periodic\n";
    for (const waves::SpeedResult &r : results) {
        for (const SpeedFigure &f : Figures)
            out += QByteArray::number(f.value(r), 'g', 10) + ',';
        if (r.brake.bsfc)
            out += QByteArray::number(*r.brake.bsfc, 'g', 10);
        for (const SpeedFigure &f : EnergyFigures)
            out += ',' + QByteArray::number(f.value(r), 'g', 10);
        for (const waves::MeanPressureStep &s : waves::MeanPressureSteps)
            out += ',' + QByteArray::number(r.meanPressures.*s.member, 'g', 10);
        out += ',' + QByteArray::number(r.cycles) + (r.periodic ? ",1\n" : ",0\n");
    }
    return out;
}

} // namespace velmorant
