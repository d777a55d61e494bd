#include "benchcurve.h"

#include "csvtable.h"
#include "friction.h"

#include <algorithm>

namespace velmorant::engine {

BenchRead readBenchCurve(const QByteArray &bytes)
{
    BenchRead r;
    const CsvTable t = readCsvTable(bytes, 2, 2, MaxBenchRows);
    const QString header = t.header.join(QLatin1Char(','));
    const bool cv = header == QLatin1String("rpm,cv"), kw = header == QLatin1String("rpm,kw");
    if (!cv && !kw) {
        r.error = csvLineError(std::max(1, t.headerLine),
                               QStringLiteral("serve l'intestazione rpm,cv (o rpm,kw per i "
                                              "kilowatt)"));
        return r;
    }
    if (!t.ok()) {
        r.error = t.error;
        return r;
    }
    const double toCv = kw ? 1000 / WattsPerCv : 1;
    for (int k = 0; k < t.rows.size(); ++k) {
        const double rpm = t.rows[k][0], power = t.rows[k][1] * toCv;
        const bool again = std::any_of(r.curve.points.begin(), r.curve.points.end(),
                                       [rpm](const auto &p) { return p.first == rpm; });
        if (!(rpm >= 1 && rpm <= 100000) || !(power >= 0 && power <= LargestBenchCv) || again) {
            r.error = csvLineError(
                t.lines[k], QStringLiteral("un regime da 1 a 100000 giri/min, non ripetuto, e "
                                           "una potenza da 0 a %1 CV")
                                .arg(LargestBenchCv, 0, 'f', 0));
            return r;
        }
        r.curve.points.push_back({rpm, power});
    }
    if (r.curve.points.size() < 2) {
        r.error = QStringLiteral("servono almeno due righe di regime e potenza");
        return r;
    }
    std::sort(r.curve.points.begin(), r.curve.points.end());
    return r;
}

} // namespace velmorant::engine
