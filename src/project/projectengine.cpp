#include "projectengine.h"

#include <QJsonArray>
#include <QLocale>

namespace velmorant::projectjson {

namespace {

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

} // namespace


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

} // namespace velmorant::projectjson
