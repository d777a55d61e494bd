#include "pipecsv.h"

#include <QList>

#include <cmath>

namespace velmorant {

namespace {

constexpr double LargestDiameter = 10000; // mm
constexpr double LongestPipe = 100000;    // mm

bool number(const QByteArray &text, double &v)
{
    bool ok = false;
    v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v);
}

QString lineError(int line, const QString &what)
{
    return QStringLiteral("Tubo non valido alla riga %1: %2").arg(line).arg(what);
}

} // namespace

PipeRead readPipeCsv(const QByteArray &bytes)
{
    PipeRead r;
    r.pipe.method = QStringLiteral("misurato");
    enum class Form { Unknown, Stations, Sections } form = Form::Unknown;
    double lastX = 0, lastD = 0;
    int stations = 0, rows = 0, lineNo = 0;
    for (QByteArray line : bytes.split('\n')) {
        ++lineNo;
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> f = line.split(',');
        if (form == Form::Unknown) {
            const QByteArray header = line.toLower().replace(' ', "");
            if (header == "x_mm,d_mm")
                form = Form::Stations;
            else if (header == "lunghezza_mm,d_in_mm,d_out_mm" || header == "length_mm,d_in_mm,d_out_mm")
                form = Form::Sections;
            else {
                r.error = lineError(lineNo, QStringLiteral("serve l'intestazione x_mm,d_mm "
                                                           "oppure lunghezza_mm,d_in_mm,d_out_mm"));
                return r;
            }
            continue;
        }
        if (++rows > MaxPipeRows) {
            r.error = lineError(lineNo, QStringLiteral("pi\u00f9 di %1 righe").arg(MaxPipeRows));
            return r;
        }
        const int columns = form == Form::Stations ? 2 : 3;
        double v[3] = {0, 0, 0};
        bool good = f.size() == columns;
        for (int c = 0; good && c < columns; ++c)
            good = number(f[c], v[c]);
        if (!good) {
            r.error = lineError(lineNo, QStringLiteral("servono %1 numeri separati da virgole, "
                                                       "con il punto per i decimali")
                                            .arg(columns));
            return r;
        }
        auto diameterOk = [](double d) { return d > 0 && d <= LargestDiameter; };
        if (form == Form::Stations) {
            const double x = v[0], d = v[1];
            if (!diameterOk(d) || x < 0 || x > LongestPipe || (stations > 0 && x < lastX) ||
                (stations == 0 && x != 0)) {
                r.error = lineError(lineNo, QStringLiteral("x deve partire da 0 e non calare, "
                                                           "d tra 0 e %1 mm")
                                                .arg(LargestDiameter));
                return r;
            }
            if (stations > 0 && x > lastX)
                r.pipe.sections << PipeSection{x - lastX, lastD, d};
            lastX = x;
            lastD = d;
            ++stations;
        } else {
            if (!(v[0] > 0) || !diameterOk(v[1]) || !diameterOk(v[2]) ||
                r.pipe.length() + v[0] > LongestPipe) {
                r.error = lineError(lineNo, QStringLiteral("lunghezza maggiore di 0, diametri "
                                                           "tra 0 e %1 mm, tubo entro %2 m")
                                                .arg(LargestDiameter)
                                                .arg(LongestPipe / 1000));
                return r;
            }
            r.pipe.sections << PipeSection{v[0], v[1], v[2]};
        }
    }
    if (r.pipe.sections.isEmpty())
        r.error = QStringLiteral("Tubo non valido: nessun tratto di lunghezza maggiore di 0");
    return r;
}

QByteArray pipeCsv(const Pipe &pipe)
{
    QByteArray out = "x_mm,d_mm\n";
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
