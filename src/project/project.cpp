#include "project.h"

#include "number.h"
#include "projectengine.h"
#include "projectpaths.h"
#include "projectspace.h"
#include "pipecsv.h"
#include "safefile.h"
#include "searchedpipe.h"
#include "tracecsv.h"
#include "cycle.h"
#include "portareas.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace velmorant {

using projectjson::engineJson;
using projectjson::readBench;
using projectjson::readEngine;

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
    if (t.searched)
        pipe.insert(QStringLiteral("searched"), searchedPipeJson(*t.searched));
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
    projectjson::writePaths(p.waves.paths, waves);
    QJsonObject root{{"format", QLatin1String(FormatName)},
                     {"version", ProjectFormat},
                     {"name", w.name},
                     {"design", design},
                     {"cutting", cutting},
                     {"pipe", pipe},
                     {"engine", engineJson(p.engine)},
                     {"waves", waves},
                     {"space", projectjson::spaceJson(w.space)}};
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
    const QJsonValue searched = pipe.value(QStringLiteral("searched"));
    if (searched.isObject()) {
        t.searched = searchedPipeFromJson(searched.toObject(), &r.error);
        if (!r.ok())
            return r;
    }
    const QJsonValue space = root.value(QStringLiteral("space"));
    if (space.isObject()) {
        if (const std::optional<QString> e = projectjson::readSpace(space.toObject(), w.space)) {
            r.error = *e;
            return r;
        }
    }
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
    if (const std::optional<QString> e = projectjson::readPaths(waves, p.waves.paths)) {
        r.error = *e;
        return r;
    }
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
