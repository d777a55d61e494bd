#include "portoptions.h"

#include "portstudy.h"
#include "safefile.h"

#include <QCommandLineParser>
#include <QJsonArray>

#include <algorithm>
#include <cmath>

namespace velmorant {

QList<PipeOptionSpec> portOptionSpecs()
{
    return {
        {"ports", "FILE.json",
         "le luci come le misura il preparatore (vedere il README): scarico con ausiliarie, "
         "travasi, aspirazione a pistone; al posto di --port-areas"},
        {"port-areas-out", "FILE.csv",
         "con --ports, le aree geometriche delle luci a ogni grado, nel formato di --port-areas"},
    };
}

std::optional<QString> readPortOptions(const QCommandLineParser &parser, PortRequest &r)
{
    for (const auto &[name, into] :
         {std::pair{"ports", &r.file}, std::pair{"port-areas-out", &r.outFile}}) {
        if (!parser.isSet(QLatin1String(name)))
            continue;
        *into = parser.value(QLatin1String(name));
        if (into->isEmpty())
            return QStringLiteral("Manca il nome del file di --%1").arg(QLatin1String(name));
    }
    if (!r.file.isEmpty() && parser.isSet(QStringLiteral("port-areas")))
        return QStringLiteral("--ports e --port-areas sono due modi di dare le luci: uno solo");
    if (!r.outFile.isEmpty() && r.file.isEmpty())
        return QStringLiteral("--port-areas-out scrive le aree di --ports: serve --ports");
    return std::nullopt;
}

std::optional<QString> readPortFile(PortRequest &r)
{
    if (r.file.isEmpty() || r.geometry)
        return std::nullopt;
    const waves::PortGeometryRead read =
        readFileWith(r.file, waves::MaxPortFileBytes, waves::readPortGeometry);
    if (!read.ok())
        return QStringLiteral("--ports: %1").arg(read.error);
    r.geometry = read.ports;
    return std::nullopt;
}

std::optional<QString> portDurations(const PortRequest &r, const waves::EngineInputs &engine,
                                     DesignParameters &p, QString &said, const QLocale &locale)
{
    if (!r.geometry || r.fromProject)
        return std::nullopt;
    const engine::EngineGeometry g = engine::engineGeometry(waves::onDesign(engine, p));
    const engine::Crank crank = waves::crankOf(g, *r.geometry);
    if (const std::optional<QString> problem =
            waves::portsProblem(*r.geometry, crank, g.bore * 1000))
        return QStringLiteral("--ports: %1").arg(*problem);
    // To the hundredth of a degree said, so that the same durations typed give the same design.
    const auto [open, transfers] =
        waves::portDurations(waves::atSpeed(*r.geometry, p[Field::Rpm]), crank);
    const double exhaust = std::round(open * 100) / 100;
    const double transfer = std::round(transfers * 100) / 100;
    said = QStringLiteral("Le luci danno le durate: scarico %1°, travasi %2° (al posto "
                          "di %3° e %4°)\n")
               .arg(locale.toString(exhaust, 'f', 2), locale.toString(transfer, 'f', 2),
                    locale.toString(p[Field::Sc]), locale.toString(p[Field::Asp]));
    p[Field::Sc] = exhaust;
    p[Field::Asp] = transfer;
    return std::nullopt;
}

QJsonObject portsStaAt(const waves::PortGeometry &ports, const waves::EngineInputs &engine,
                       double rpm)
{
    const engine::EngineGeometry g = engine::engineGeometry(engine);
    QJsonObject out;
    for (const waves::GroupTimeArea &t :
         waves::groupTimeAreas(ports, waves::crankOf(g, ports), g.swept * 1e6, rpm))
        out.insert(QLatin1String(t.key), t.specific);
    return out;
}

PortsOnEngine applyPorts(const PortRequest &r, waves::EngineInputs &engine,
                         waves::WaveOptions &options, double rpm, const QLocale &locale)
{
    PortsOnEngine out;
    if (!r.geometry)
        return out;
    if (const std::optional<QString> problem =
            waves::putPorts(*r.geometry, r.file, engine, options, rpm)) {
        out.refusal = QStringLiteral("--ports: %1").arg(*problem);
        return out;
    }
    const engine::EngineGeometry g = engine::engineGeometry(engine);
    const engine::Crank crank = waves::crankOf(g, *r.geometry);
    const waves::PortGeometry ports = waves::atSpeed(*r.geometry, rpm);
    const double swept = g.swept * 1e6;
    const double opens = waves::exhaustOpens(ports);
    double transfers = 180;
    for (const waves::PortWindow &w : r.geometry->transfers)
        transfers = std::min(transfers, w.opensDeg);
    const char *names[] = {"scarico", "scarico libero", "travasi", "aspirazione"};
    QJsonObject sta;
    out.table =
        QStringLiteral("\nLuci (area-tempo specifica a %1 giri/min, s mm\u00b2/cm\u00b3):\n")
            .arg(locale.toString(qRound64(rpm)));
    const QList<waves::GroupTimeArea> groups =
        waves::groupTimeAreas(*r.geometry, crank, swept, rpm);
    for (int k = 0; k < groups.size(); ++k) {
        sta.insert(QLatin1String(groups[k].key),
                   QJsonObject{{"value", groups[k].specific},
                               {"angle_area_deg_mm2", groups[k].angleArea}});
        out.table += QStringLiteral("  %1 %2\n")
                         .arg(QLatin1String(names[k]), -16)
                         .arg(locale.toString(groups[k].specific, 'f', 5));
    }
    if (const auto &reed = r.geometry->reed) {
        out.json.insert("reed", QJsonObject{{"natural_frequency_hz", reed->naturalFrequency()},
                                            {"tip_lift_mm_at_1kpa", reed->staticLift(1000)}});
        out.table += QStringLiteral("  lamelle: %1 Hz, %2 mm di alzata a 1 kPa\n")
                         .arg(locale.toString(reed->naturalFrequency(), 'f', 1),
                              locale.toString(reed->staticLift(1000), 'f', 3));
    }
    const QJsonObject reedJson = out.json.value("reed").toObject();
    out.json = QJsonObject{{"file", r.file},
                           {"rpm", rpm},
                           {"swept_cm3", swept},
                           {"exhaust_opens_deg", opens},
                           {"transfer_opens_deg", transfers},
                           {"sta", sta}};
    if (!reedJson.isEmpty())
        out.json.insert("reed", reedJson);
    return out;
}

} // namespace velmorant
