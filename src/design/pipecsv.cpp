#include "pipecsv.h"

#include "csvtable.h"
#include "usertext.h"

#include <QList>

#include <cmath>

namespace velmorant {

namespace {

QString stationsHeader()
{
    return QStringLiteral("x_mm,d_mm");
}
QString sectionsHeader()
{
    return QStringLiteral("lunghezza_mm,d_in_mm,d_out_mm");
}

QString diameters()
{
    return QStringLiteral("diametri tra %1 e %2 mm").arg(SmallestPipeDiameter).arg(
        LargestPipeDiameter);
}

bool diameterOk(double d)
{
    return d >= SmallestPipeDiameter && d <= LargestPipeDiameter;
}

} // namespace

PipeRead readPipeCsv(const QByteArray &bytes)
{
    PipeRead r;
    r.pipe.method = QStringLiteral("misurato");
    const CsvTable t = readCsvTable(bytes, 2, 3, MaxPipeRows);
    // The header says which of the two forms the rows are in.
    const QString header = t.header.join(QLatin1Char(','));
    const bool stations = header == stationsHeader();
    const bool sections = header == sectionsHeader() ||
                          header == QLatin1String("length_mm,d_in_mm,d_out_mm");
    if (!stations && !sections) {
        const QString found =
            t.header.isEmpty() ? (t.rows.isEmpty() ? QStringLiteral("un file vuoto")
                                                   : QStringLiteral("una riga di numeri"))
                               : quotedUserText(QString::fromUtf8(t.headerText));
        r.error = csvLineError(t.headerLine > 0 ? t.headerLine : t.lines.value(0, 1),
                               QStringLiteral("serve l'intestazione %1 oppure %2, trovato %3")
                                   .arg(stationsHeader(), sectionsHeader(), found));
        return r;
    }
    if (!t.ok()) {
        r.error = t.error;
        return r;
    }
    const int columns = stations ? 2 : 3;
    double lastX = 0, lastD = 0;
    for (int k = 0; k < t.rows.size(); ++k) {
        const QList<double> &v = t.rows[k];
        const int line = t.lines[k];
        if (v.size() != columns) {
            r.error = csvLineError(line, csvRowShape(columns, columns));
            return r;
        }
        if (stations) {
            const double x = v[0], d = v[1];
            if (!diameterOk(d) || x < 0 || x > LongestPipe || (k > 0 && x < lastX) ||
                (k == 0 && x != 0)) {
                r.error = csvLineError(line, QStringLiteral("x deve partire da 0 e non calare, "
                                                            "fino a %1 m, con %2")
                                                 .arg(LongestPipe / 1000)
                                                 .arg(diameters()));
                return r;
            }
            if (k > 0 && x > lastX)
                r.pipe.sections << PipeSection{x - lastX, lastD, d};
            lastX = x;
            lastD = d;
        } else {
            if (!(v[0] > 0) || !diameterOk(v[1]) || !diameterOk(v[2]) ||
                r.pipe.length() + v[0] > LongestPipe) {
                r.error = csvLineError(line, QStringLiteral("lunghezza maggiore di 0, %1, tubo "
                                                            "entro %2 m")
                                                 .arg(diameters())
                                                 .arg(LongestPipe / 1000));
                return r;
            }
            r.pipe.sections << PipeSection{v[0], v[1], v[2]};
        }
    }
    if (r.pipe.sections.isEmpty())
        r.error = QStringLiteral("nessun tratto di lunghezza maggiore di 0");
    return r;
}

QByteArray pipeCsv(const Pipe &pipe)
{
    QByteArray out = stationsHeader().toLatin1() + '\n';
    auto row = [&](double x, double d) {
        out += QByteArray::number(x, 'g', 17) + ',' + QByteArray::number(d, 'g', 17) + '\n';
    };
    double x = 0;
    for (int i = 0; i < pipe.sections.size(); ++i) {
        const PipeSection &s = pipe.sections[i];
        if (i == 0 || s.dIn != pipe.sections[i - 1].dOut)
            row(x, s.dIn);
        x += s.length;
        row(x, s.dOut);
    }
    return out;
}

} // namespace velmorant
