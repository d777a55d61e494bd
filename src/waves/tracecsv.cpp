#include "tracecsv.h"

#include "csvtable.h"

#include <QList>
#include <QRegularExpression>

#include <cmath>

namespace velmorant::waves {

QByteArray tracesCsv(const QList<SpeedResult> &speeds)
{
    QByteArray out("rpm,angle_deg,station_mm,p_bar,t_c,u_m_s,p_cyl_bar");
    // Each volume of the gas paths, named by its path and its place in the path's file.
    if (!speeds.isEmpty()) {
        for (const VolumeTrace &v : speeds.first().volumes) {
            const QByteArray name = (v.exhaust ? "scarico_" : "aspirazione_") + QByteArray::number(v.element);
            out += ',' + name + "_p_bar," + name + "_t_c";
        }
    }
    out += '\n';
    for (const SpeedResult &s : speeds) {
        for (int k = 0; k < SamplesPerCycle; ++k) {
            QByteArray volumes;
            for (const VolumeTrace &v : s.volumes)
                volumes += ',' + QByteArray::number(v.p[k] / 1e5, 'f', 5) + ',' +
                           QByteArray::number(v.t[k] - 273.15, 'f', 2);
            for (const Trace &t : s.traces) {
                out += QByteArray::number(s.rpm, 'g', 10) + ',' +
                       QByteArray::number(k * 0.5, 'f', 1) + ',' +
                       QByteArray::number(t.x, 'g', 10) + ',' +
                       QByteArray::number(t.p[k] / 1e5, 'f', 5) + ',' +
                       QByteArray::number(t.t[k] - 273.15, 'f', 2) + ',' +
                       QByteArray::number(t.u[k], 'f', 3) + ',' +
                       QByteArray::number(s.cylinderPressure.empty() ? 0.0 : s.cylinderPressure[k] / 1e5, 'f', 5) +
                       volumes + '\n';
            }
        }
    }
    return out;
}

MeasuredTrace readMeasuredTrace(const QByteArray &bytes)
{
    MeasuredTrace m;
    const CsvTable t = readCsvTable(bytes, 2, 2, MaxMeasuredRows);
    if (!t.ok()) {
        m.error = t.error;
        return m;
    }
    for (int k = 0; k < t.rows.size(); ++k) {
        const double angle = t.rows[k][0], pressure = t.rows[k][1];
        if (pressure < 0 || pressure > 100 || std::abs(angle) > 1e6) {
            m.error = csvLineError(t.lines[k], QStringLiteral("l'angolo in gradi e la pressione "
                                                              "tra 0 e 100 bar"));
            return m;
        }
        m.points.append({std::fmod(std::fmod(angle, 360) + 360, 360), pressure});
    }
    if (m.points.size() < 2) {
        m.error = QStringLiteral("servono almeno due righe di angolo e pressione");
        return m;
    }
    // The speed it was measured at, when a comment says it: "# rpm 9500", "# giri/min: 9500",
    // "# giri/min: 9.500" (thousands grouped, as an Italian writes them, or "9,500" in English:
    // a speed has no thousandths); one or two decimals are decimals.
    static const QRegularExpression speed(
        QStringLiteral("^(?:rpm|giri(?:/min)?)\\s*[:=]?\\s*([0-9]+(?:[.,][0-9]+)?)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression grouped(QStringLiteral("^[0-9]{1,3}(?:[.,][0-9]{3})+$"));
    for (const QByteArray &c : t.comments) {
        const QRegularExpressionMatch match = speed.match(QString::fromUtf8(c));
        if (match.hasMatch()) {
            QString digits = match.captured(1);
            if (grouped.match(digits).hasMatch())
                digits.remove(QLatin1Char('.')).remove(QLatin1Char(','));
            const double rpm = digits.replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
            if (rpm >= SlowestRpm && rpm <= FastestRpm)
                m.rpm = rpm;
        }
    }
    return m;
}

} // namespace velmorant::waves
