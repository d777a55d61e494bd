#include "tracecsv.h"

#include <QList>

#include <cmath>

namespace velmorant::waves {

QByteArray tracesCsv(const QList<SpeedResult> &speeds)
{
    QByteArray out("rpm,angle_deg,station_mm,p_bar,t_c,u_m_s\n");
    for (const SpeedResult &s : speeds) {
        for (int k = 0; k < SamplesPerCycle; ++k) {
            for (const Trace &t : s.traces) {
                out += QByteArray::number(s.rpm, 'g', 10) + ',' +
                       QByteArray::number(k * 0.5, 'f', 1) + ',' +
                       QByteArray::number(t.x, 'g', 10) + ',' +
                       QByteArray::number(t.p[k] / 1e5, 'f', 5) + ',' +
                       QByteArray::number(t.t[k] - 273.15, 'f', 2) + ',' +
                       QByteArray::number(t.u[k], 'f', 3) + '\n';
            }
        }
    }
    return out;
}

MeasuredTrace readMeasuredTrace(const QByteArray &bytes)
{
    MeasuredTrace m;
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> cells = line.split(line.contains(';') ? ';' : ',');
        bool okAngle = false, okPressure = false;
        const double angle = cells.value(0).trimmed().toDouble(&okAngle);
        const double pressure = cells.value(1).trimmed().toDouble(&okPressure);
        if (cells.size() != 2 || !okAngle || !okPressure) {
            if (m.points.isEmpty() && !okAngle)
                continue; // the header
            m.error = QStringLiteral("riga %1: servono due numeri, angolo in gradi e pressione "
                                     "in bar, col punto per i decimali")
                          .arg(i + 1);
            return m;
        }
        if (!std::isfinite(angle) || !std::isfinite(pressure) || pressure < 0 || pressure > 100) {
            m.error = QStringLiteral("riga %1: l'angolo deve essere un numero e la pressione tra 0 "
                                     "e 100 bar")
                          .arg(i + 1);
            return m;
        }
        if (m.points.size() >= MaxMeasuredRows) {
            m.error = QStringLiteral("pi\u00f9 di %1 righe").arg(MaxMeasuredRows);
            return m;
        }
        m.points.append({std::fmod(std::fmod(angle, 360) + 360, 360), pressure});
    }
    if (m.points.size() < 2)
        m.error = QStringLiteral("servono almeno due righe di angolo e pressione");
    return m;
}

} // namespace velmorant::waves
