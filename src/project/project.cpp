#include "project.h"

#include "number.h"
#include "pipecsv.h"
#include "safefile.h"
#include "tracecsv.h"
#include "cycle.h"
#include "portareas.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace velmorant {

namespace {

const char *FormatName = "velmorant-officina";

// A box as JSON: its number when it reads as one, else the text as typed.
QJsonValue boxValue(const QString &text, const QLocale &locale, bool grouping = false)
{
    const std::optional<double> v =
        grouping ? parseLocaleNumber(text, locale) : parseSettingNumber(text, locale);
    return v ? QJsonValue(*v) : QJsonValue(text);
}

QString boxText(const QJsonValue &v, const QLocale &locale, const QString &fallback)
{
    if (v.isDouble())
        return formatBoxNumber(v.toDouble(), locale);
    if (v.isString())
        return v.toString();
    return fallback;
}

QJsonArray stations(const Pipe &pipe)
{
    QJsonArray out;
    double x = 0;
    for (int i = 0; i < pipe.sections.size(); ++i) {
        const PipeSection &s = pipe.sections[i];
        if (i == 0 || s.dIn != pipe.sections[i - 1].dOut)
            out.append(QJsonArray{x, s.dIn});
        x += s.length;
        out.append(QJsonArray{x, s.dOut});
    }
    return out;
}

// A measured pipe back from its stations, checked as its CSV would be.
std::optional<MeasuredPipe> measuredPipe(const QJsonValue &file, const QJsonValue &points,
                                         QString &error, const QString &where)
{
    if (!points.isArray())
        return std::nullopt;
    QByteArray csv = "x_mm,d_mm\n";
    for (const QJsonValue &row : points.toArray()) {
        const QJsonArray pair = row.toArray();
        if (pair.size() != 2 || !pair[0].isDouble() || !pair[1].isDouble()) {
            error = QStringLiteral("%1: ogni stazione \u00e8 una coppia di numeri [x, d]").arg(where);
            return std::nullopt;
        }
        csv += QByteArray::number(pair[0].toDouble(), 'g', 17) + ',' +
               QByteArray::number(pair[1].toDouble(), 'g', 17) + '\n';
    }
    const PipeRead read = readPipeCsv(csv);
    if (!read.ok()) {
        // Its rows are the stations plus the header.
        error = QStringLiteral("%1: %2").arg(where, read.error);
        return std::nullopt;
    }
    return MeasuredPipe{file.toString(), read.pipe};
}

QJsonObject engineJson(const waves::EngineInputs &e)
{
    QJsonObject o;
    for (const waves::EngineRange &r : waves::engineRanges())
        o.insert(QLatin1String(r.option), e.*r.member);
    o.insert(QStringLiteral("bore"), e.bore ? QJsonValue(*e.bore) : QJsonValue());
    o.insert(QStringLiteral("stroke"), e.stroke ? QJsonValue(*e.stroke) : QJsonValue());
    o.insert(QStringLiteral("cycle"), engine::cycleName(e.cycle));
    o.insert(QStringLiteral("scavenging"),
             e.scavenging ? QJsonValue(engine::scavengingName(*e.scavenging)) : QJsonValue());
    if (e.portAreas) {
        const engine::PortAreaTable &t = *e.portAreas;
        QJsonArray rows;
        for (std::size_t i = 0; i < t.angle.size(); ++i) {
            QJsonArray row{t.angle[i], t.exhaust[i], t.transfer[i]};
            if (t.hasIntake())
                row.append(t.intake[i]);
            rows.append(row);
        }
        o.insert(QStringLiteral("port-areas"),
                 QJsonObject{{"file", t.source}, {"intake", t.hasIntake()}, {"rows", rows}});
    }
    return o;
}

// The port-area table back from its rows, checked as its CSV would be.
std::optional<QString> readPortAreaRows(const QJsonObject &o, waves::EngineInputs &e)
{
    const bool intake = o.value(QStringLiteral("intake")).toBool();
    QByteArray csv = intake ? "angle_deg,exhaust_mm2,transfer_mm2,intake_mm2\n"
                            : "angle_deg,exhaust_mm2,transfer_mm2\n";
    for (const QJsonValue &v : o.value(QStringLiteral("rows")).toArray()) {
        const QJsonArray row = v.toArray();
        if (row.size() != (intake ? 4 : 3))
            return QStringLiteral("motore, aree delle luci: ogni riga ha angolo e %1 aree")
                .arg(intake ? 3 : 2);
        QByteArrayList cells;
        for (const QJsonValue &c : row) {
            if (!c.isDouble())
                return QStringLiteral("motore, aree delle luci: ogni cella \u00e8 un numero");
            cells << QByteArray::number(c.toDouble(), 'g', 17);
        }
        csv += cells.join(',') + '\n';
    }
    engine::PortAreasRead read = engine::readPortAreas(csv);
    if (!read.ok())
        return QStringLiteral("motore, aree delle luci: %1").arg(read.error);
    read.table.source = o.value(QStringLiteral("file")).toString();
    e.portAreas = read.table;
    return std::nullopt;
}

std::optional<QString> readEngine(const QJsonObject &o, waves::EngineInputs &e)
{
    const QLocale c = QLocale::c();
    for (const waves::EngineRange &r : waves::engineRanges()) {
        const QJsonValue v = o.value(QLatin1String(r.option));
        if (v.isUndefined())
            continue;
        if (!v.isDouble() || !(v.toDouble() >= r.low && v.toDouble() <= r.high))
            return QStringLiteral("motore, %1: serve un numero tra %2 e %3")
                .arg(QLatin1String(r.option), c.toString(r.low), c.toString(r.high));
        e.*r.member = v.toDouble();
    }
    for (const auto &[key, into] : {std::pair{"bore", &e.bore}, std::pair{"stroke", &e.stroke}}) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            continue;
        if (!v.isDouble() ||
            !(v.toDouble() >= waves::SmallestBoreMm && v.toDouble() <= waves::LargestBoreMm))
            return QStringLiteral("motore, %1: serve un numero tra %2 e %3")
                .arg(QLatin1String(key), c.toString(waves::SmallestBoreMm),
                     c.toString(waves::LargestBoreMm));
        *into = v.toDouble();
    }
    // Before format 2 the cylinder was always the fixed one; such a project keeps it.
    const QJsonValue cycle = o.value(QStringLiteral("cycle"));
    if (!cycle.isUndefined()) {
        const std::optional<engine::Cycle> named = engine::cycleNamed(cycle.toString());
        if (!named)
            return QStringLiteral("motore, cycle: motore o fisso");
        e.cycle = *named;
    }
    const QJsonValue scavenging = o.value(QStringLiteral("scavenging"));
    if (!scavenging.isUndefined() && !scavenging.isNull()) {
        e.scavenging = engine::scavengingNamed(scavenging.toString());
        if (!e.scavenging)
            return QStringLiteral("motore, scavenging: %1")
                .arg(engine::scavengingNames().join(QStringLiteral(", ")));
    }
    const QJsonValue ports = o.value(QStringLiteral("port-areas"));
    if (ports.isObject())
        return readPortAreaRows(ports.toObject(), e);
    return std::nullopt;
}

std::optional<QString> readBench(const QJsonObject &o, std::optional<engine::BenchCurve> &bench)
{
    QByteArray csv = "rpm,cv\n";
    for (const QJsonValue &v : o.value(QStringLiteral("points")).toArray()) {
        const QJsonArray pair = v.toArray();
        if (pair.size() != 2 || !pair[0].isDouble() || !pair[1].isDouble())
            return QStringLiteral("curva al banco: ogni punto \u00e8 una coppia [giri/min, CV]");
        csv += QByteArray::number(pair[0].toDouble(), 'g', 17) + ',' +
               QByteArray::number(pair[1].toDouble(), 'g', 17) + '\n';
    }
    engine::BenchRead read = engine::readBenchCurve(csv);
    if (!read.ok())
        return QStringLiteral("curva al banco: %1").arg(read.error);
    read.curve.source = o.value(QStringLiteral("file")).toString();
    bench = read.curve;
    return std::nullopt;
}

} // namespace

bool looksLikeProject(const QByteArray &bytes)
{
    QByteArray start = bytes.left(64);
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    return start.trimmed().startsWith('{');
}

bool isProjectFile(const QString &path)
{
    const FileReading head = readRegularFile(path, MaxProjectBytes);
    return (head.ok() && looksLikeProject(head.bytes)) ||
           QFileInfo(path).suffix().compare(QLatin1String(ProjectSuffix), Qt::CaseInsensitive) == 0;
}

WaveTexts defaultWaveTexts(double n, const QLocale &locale)
{
    auto round = [](double v) { return std::round(v / 100) * 100; };
    WaveTexts t;
    t.from = formatBoxNumber(std::max(waves::SlowestRpm, round(0.7 * n)), locale);
    t.to = formatBoxNumber(std::min(waves::FastestRpm, round(1.3 * n)), locale);
    t.step = formatBoxNumber(std::max(100.0, round(0.05 * n)), locale);
    return t;
}

Project newProject(const WorkshopOptions &o, const QLocale &locale)
{
    Project p;
    p.workshop = workshopTexts(defaultParameters(), o, locale);
    p.waves = defaultWaveTexts(defaultParameters()[Field::Rpm], locale);
    return p;
}

QByteArray projectJson(const Project &p, const QLocale &locale)
{
    const WorkshopTexts &w = p.workshop;
    QJsonObject design;
    for (std::size_t i = 0; i < FieldCount; ++i)
        design.insert(QLatin1String(fieldInfo(i).name), boxValue(w.parameters[i], locale, true));
    QJsonObject cutting;
    for (std::size_t i = 0; i < workshopNumbers().size(); ++i)
        cutting.insert(QLatin1String(workshopNumbers()[i].key), boxValue(w.numbers[i], locale));
    cutting.insert(QStringLiteral("sheet-width"), boxValue(w.sheetWidth, locale));
    cutting.insert(QStringLiteral("sheet-height"), boxValue(w.sheetHeight, locale));
    cutting.insert(QStringLiteral("paper"), p.paper);
    const PipeTexts &t = w.pipe;
    QJsonObject pipe{{"method", t.method},
                     {"stages", boxValue(t.stages, locale)},
                     {"horn", boxValue(t.horn, locale)},
                     {"port-width", boxValue(t.portWidth, locale)},
                     {"port-height", boxValue(t.portHeight, locale)},
                     {"class", t.engineClass},
                     {"cone-divergent", boxValue(t.divergentAngle, locale)},
                     {"cone-convergent", boxValue(t.convergentAngle, locale)},
                     {"band", boxValue(t.bandWidth, locale)},
                     {"file", t.pipeFile}};
    if (t.measured && t.measured->source == t.pipeFile)
        pipe.insert(QStringLiteral("stations"), stations(t.measured->pipe));
    QJsonObject waves{{"from", boxValue(p.waves.from, locale, true)},
                      {"to", boxValue(p.waves.to, locale, true)},
                      {"step", boxValue(p.waves.step, locale, true)},
                      {"probe", boxValue(p.waves.probe, locale)},
                      {"compare", p.waves.compare}};
    if (p.waves.comparePipe) {
        waves.insert(QStringLiteral("compare-file"), p.waves.comparePipe->source);
        waves.insert(QStringLiteral("compare-stations"), stations(p.waves.comparePipe->pipe));
    }
    if (p.waves.intakePipe) {
        waves.insert(QStringLiteral("intake-file"), p.waves.intakePipe->source);
        waves.insert(QStringLiteral("intake-stations"), stations(p.waves.intakePipe->pipe));
    }
    QJsonObject root{{"format", QLatin1String(FormatName)},
                     {"version", ProjectFormat},
                     {"name", w.name},
                     {"design", design},
                     {"cutting", cutting},
                     {"pipe", pipe},
                     {"engine", engineJson(p.engine)},
                     {"waves", waves}};
    if (p.trace) {
        QJsonArray points;
        for (const auto &[angle, bar] : p.trace->points)
            points.append(QJsonArray{angle, bar});
        root.insert(QStringLiteral("trace"), QJsonObject{{"file", p.trace->source},
                                                         {"rpm", p.trace->rpm},
                                                         {"points", points}});
    }
    if (p.bench) {
        QJsonArray points;
        for (const auto &[rpm, cv] : p.bench->points)
            points.append(QJsonArray{rpm, cv});
        root.insert(QStringLiteral("bench"),
                    QJsonObject{{"file", p.bench->source}, {"points", points}});
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ProjectRead readProject(const QByteArray &bytes, const QLocale &locale)
{
    ProjectRead r;
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
    const QJsonObject root = doc.object();
    if (parse.error != QJsonParseError::NoError || !doc.isObject() ||
        root.value(QStringLiteral("format")).toString() != QLatin1String(FormatName)) {
        r.error = QStringLiteral("non \u00e8 un progetto di Velmorant Officina");
        return r;
    }
    const QJsonValue version = root.value(QStringLiteral("version"));
    r.format = version.toInt(0);
    if (!version.isDouble() || r.format < 1 || version.toDouble() != r.format) {
        r.error = QStringLiteral("il progetto non dice in che formato \u00e8 scritto");
        return r;
    }
    if (r.format > ProjectFormat) {
        r.error = QStringLiteral("il progetto \u00e8 nel formato %1, pi\u00f9 recente di quello che "
                                 "questa versione di Velmorant legge (%2): aggiornare il programma")
                      .arg(r.format)
                      .arg(ProjectFormat);
        return r;
    }
    Project &p = r.project;
    p = newProject(WorkshopOptions(), locale);
    WorkshopTexts &w = p.workshop;
    w.name = root.value(QStringLiteral("name")).toString();
    const QJsonObject design = root.value(QStringLiteral("design")).toObject();
    for (std::size_t i = 0; i < FieldCount; ++i)
        w.parameters[i] =
            boxText(design.value(QLatin1String(fieldInfo(i).name)), locale, w.parameters[i]);
    const QJsonObject cutting = root.value(QStringLiteral("cutting")).toObject();
    for (std::size_t i = 0; i < workshopNumbers().size(); ++i)
        w.numbers[i] =
            boxText(cutting.value(QLatin1String(workshopNumbers()[i].key)), locale, w.numbers[i]);
    w.sheetWidth = boxText(cutting.value(QStringLiteral("sheet-width")), locale, w.sheetWidth);
    w.sheetHeight = boxText(cutting.value(QStringLiteral("sheet-height")), locale, w.sheetHeight);
    p.paper = cutting.value(QStringLiteral("paper")).toString(p.paper);
    const QJsonObject pipe = root.value(QStringLiteral("pipe")).toObject();
    PipeTexts &t = w.pipe;
    t.method = pipe.value(QStringLiteral("method")).toString(t.method);
    t.stages = boxText(pipe.value(QStringLiteral("stages")), locale, t.stages);
    t.horn = boxText(pipe.value(QStringLiteral("horn")), locale, t.horn);
    t.portWidth = boxText(pipe.value(QStringLiteral("port-width")), locale, t.portWidth);
    t.portHeight = boxText(pipe.value(QStringLiteral("port-height")), locale, t.portHeight);
    t.engineClass = pipe.value(QStringLiteral("class")).toString(t.engineClass);
    t.divergentAngle = boxText(pipe.value(QStringLiteral("cone-divergent")), locale,
                               t.divergentAngle);
    t.convergentAngle = boxText(pipe.value(QStringLiteral("cone-convergent")), locale,
                                t.convergentAngle);
    t.bandWidth = boxText(pipe.value(QStringLiteral("band")), locale, t.bandWidth);
    t.pipeFile = pipe.value(QStringLiteral("file")).toString();
    t.measured = measuredPipe(pipe.value(QStringLiteral("file")),
                              pipe.value(QStringLiteral("stations")), r.error,
                              QStringLiteral("tubo misurato"));
    if (!r.ok())
        return r;
    if (r.format < 2)
        p.engine.cycle = engine::Cycle::Fixed;
    if (const std::optional<QString> e =
            readEngine(root.value(QStringLiteral("engine")).toObject(), p.engine)) {
        r.error = *e;
        return r;
    }
    const QJsonObject waves = root.value(QStringLiteral("waves")).toObject();
    p.waves.from = boxText(waves.value(QStringLiteral("from")), locale, QString());
    p.waves.to = boxText(waves.value(QStringLiteral("to")), locale, QString());
    p.waves.step = boxText(waves.value(QStringLiteral("step")), locale, QString());
    p.waves.probe = boxText(waves.value(QStringLiteral("probe")), locale, QString());
    p.waves.compare = waves.value(QStringLiteral("compare")).toString();
    p.waves.comparePipe = measuredPipe(waves.value(QStringLiteral("compare-file")),
                                       waves.value(QStringLiteral("compare-stations")), r.error,
                                       QStringLiteral("tubo da confrontare"));
    if (!r.ok())
        return r;
    p.waves.intakePipe = measuredPipe(waves.value(QStringLiteral("intake-file")),
                                      waves.value(QStringLiteral("intake-stations")), r.error,
                                      QStringLiteral("condotto di aspirazione"));
    if (!r.ok())
        return r;
    const QJsonValue bench = root.value(QStringLiteral("bench"));
    if (bench.isObject()) {
        if (const std::optional<QString> e = readBench(bench.toObject(), p.bench)) {
            r.error = *e;
            return r;
        }
    }
    const QJsonValue trace = root.value(QStringLiteral("trace"));
    if (trace.isObject()) {
        TraceOverlay o;
        o.source = trace[QStringLiteral("file")].toString();
        o.rpm = trace[QStringLiteral("rpm")].toDouble();
        const QJsonArray points = trace[QStringLiteral("points")].toArray();
        for (const QJsonValue &v : points) {
            const QJsonArray pair = v.toArray();
            const double angle = pair.at(0).toDouble(NAN), bar = pair.at(1).toDouble(NAN);
            if (pair.size() != 2 || !std::isfinite(angle) || !(bar >= 0 && bar <= 100) ||
                o.points.size() >= waves::MaxMeasuredRows) {
                r.error = QStringLiteral("traccia misurata: al massimo %1 coppie [angolo, bar], "
                                         "la pressione tra 0 e 100 bar")
                              .arg(waves::MaxMeasuredRows);
                return r;
            }
            o.points.append({std::fmod(std::fmod(angle, 360) + 360, 360), bar});
        }
        if (!(o.rpm >= waves::SlowestRpm && o.rpm <= waves::FastestRpm) || o.points.size() < 2) {
            r.error = QStringLiteral("traccia misurata: servono il regime e almeno due punti");
            return r;
        }
        p.trace = o;
    }
    return r;
}

ProjectRead readProjectFile(const QString &path, const QLocale &locale)
{
    return readFileWith(path, MaxProjectBytes,
                        [&](const QByteArray &bytes) { return readProject(bytes, locale); });
}

} // namespace velmorant
