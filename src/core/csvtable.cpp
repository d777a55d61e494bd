#include "csvtable.h"

#include <cmath>

namespace velmorant {

namespace {

// A cell as a number: the period, or after a semicolon also the comma, for decimals; no
// grouping, nothing but blanks around it.
bool cellNumber(QByteArray cell, bool semicolons, double &v)
{
    cell = cell.trimmed();
    if (semicolons)
        cell.replace(',', '.');
    if (cell.isEmpty() || cell.count('.') > 1)
        return false;
    bool ok = false;
    v = cell.toDouble(&ok);
    return ok && std::isfinite(v);
}

} // namespace

QString csvLineError(int line, const QString &what)
{
    return QStringLiteral("riga %1: %2").arg(line).arg(what);
}

QString csvRowShape(int minColumns, int maxColumns)
{
    const QString count = minColumns == maxColumns
                              ? QString::number(minColumns)
                              : QStringLiteral("da %1 a %2").arg(minColumns).arg(maxColumns);
    return QStringLiteral("servono %1 numeri, separati da virgole (punto per i decimali) o da "
                          "punti e virgola (virgola o punto per i decimali)")
        .arg(count);
}

CsvTable readCsvTable(const QByteArray &input, int minColumns, int maxColumns, int maxRows)
{
    CsvTable t;
    QByteArray bytes = input;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QList<QByteArray> lines = bytes.split('\n');
    bool first = true, semicolons = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const int lineNo = i + 1;
        if (line.isEmpty())
            continue;
        if (line.startsWith('#')) {
            t.comments << line.mid(1).trimmed();
            continue;
        }
        if (first)
            semicolons = line.contains(';');
        const QList<QByteArray> cells = line.split(semicolons ? ';' : ',');
        double v = 0;
        if (first && !cellNumber(cells.value(0), semicolons, v)) {
            for (const QByteArray &c : cells)
                t.header << QString::fromUtf8(c).toLower().remove(QLatin1Char(' '));
            t.headerText = line;
            t.headerLine = lineNo;
            first = false;
            continue;
        }
        first = false;
        QList<double> row;
        bool good = cells.size() >= minColumns && cells.size() <= maxColumns;
        for (int c = 0; good && c < cells.size(); ++c) {
            good = cellNumber(cells[c], semicolons, v);
            row << v;
        }
        if (!good) {
            t.error = csvLineError(lineNo, csvRowShape(minColumns, maxColumns));
            return t;
        }
        if (t.rows.size() >= maxRows) {
            t.error = csvLineError(lineNo, QStringLiteral("pi\u00f9 di %1 righe").arg(maxRows));
            return t;
        }
        t.rows << row;
        t.lines << lineNo;
    }
    return t;
}

} // namespace velmorant
