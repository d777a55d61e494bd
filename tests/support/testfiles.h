#pragma once

// File helpers of the tests.
#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace velmorant::test {

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The decompressed content stream of every page of a PDF written by Qt, in page order.
inline QStringList pdfPageContents(const QByteArray &pdf)
{
    QStringList pages;
    const QRegularExpression contents(QStringLiteral("/Contents (\\d+) 0 R"));
    for (auto it = contents.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) {
        const QByteArray obj = it.next().captured(1).toLatin1();
        const int start = int(pdf.indexOf("\n" + obj + " 0 obj"));
        const int streamStart = int(pdf.indexOf("stream\n", start)) + 7;
        const int end = int(pdf.indexOf("endstream", streamStart));
        // Flate data: qUncompress wants a size header in front.
        pages << QString::fromLatin1(
            qUncompress(QByteArray::fromHex("00100000") + pdf.mid(streamStart, end - streamStart)));
    }
    return pages;
}

// The length in millimetres of the check bar on every page of a PDF written by Qt: the line
// drawn from x 0 to x 100 in a millimetre frame, through the page and frame matrices in
// force; 0 for a page without one.
inline QList<double> pdfCheckBars(const QByteArray &pdf)
{
    const QRegularExpression page(QStringLiteral("^([\\d.]+) 0 0 -\\1 [\\d.]+ [\\d.]+ cm"),
                                  QRegularExpression::MultilineOption);
    const QRegularExpression frame(QStringLiteral("^([\\d.]+) 0 0 \\1 [\\d.]+ [\\d.]+ cm$"),
                                   QRegularExpression::MultilineOption);
    const QRegularExpression bar(QStringLiteral("^0 ([\\d.]+) m\\n100 \\1 l\\nS$"),
                                 QRegularExpression::MultilineOption);
    QList<double> out;
    for (const QString &s : pdfPageContents(pdf)) {
        const QRegularExpressionMatch p = page.match(s), line = bar.match(s);
        double k = 0;
        if (p.hasMatch() && line.hasMatch()) {
            for (auto it = frame.globalMatch(s.left(line.capturedStart())); it.hasNext();)
                k = it.next().captured(1).toDouble();
        }
        out << 100 * k * p.captured(1).toDouble() * 25.4 / 72;
    }
    return out;
}

} // namespace velmorant::test
