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

} // namespace velmorant::test
