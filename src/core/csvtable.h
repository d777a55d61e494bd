#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace velmorant {

// A table of numbers in CSV as spreadsheets write it: cells separated by commas with the period
// for decimals, or by semicolons with the period or the comma (an Italian spreadsheet's "1,5").
// A UTF-8 byte order mark, CR LF line ends, blanks around cells, empty lines and lines starting
// with # are ignored. The first line is a header when its first cell is not a number.
struct CsvTable
{
    QStringList header;         // lower case, blanks removed; empty without a header
    QByteArray headerText;      // the header line as written
    int headerLine = 0;         // its line in the file, from 1
    QList<QList<double>> rows;  // every row finite, each with its own number of cells
    QList<int> lines;           // the line of each row in the file, from 1
    QList<QByteArray> comments; // the text after # of each comment line, trimmed
    QString error;              // "riga N: ..." when the table cannot be read
    bool ok() const { return error.isEmpty(); }
};

// Reads rows of `minColumns` to `maxColumns` numbers, at most `maxRows` of them.
CsvTable readCsvTable(const QByteArray &bytes, int minColumns, int maxColumns, int maxRows);

// The one wording of every refusal of a CSV file: "riga 4: <what>".
QString csvLineError(int line, const QString &what);

// What a row of numbers should look like, for the refusals: "servono 2 numeri, separati da
// virgole (punto per i decimali) o da punti e virgola (virgola o punto per i decimali)".
QString csvRowShape(int minColumns, int maxColumns);

} // namespace velmorant
