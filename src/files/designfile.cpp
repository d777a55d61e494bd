#include "designfile.h"

#include "number.h"
#include "safefile.h"
#include "usertext.h"

#include <QDir>

namespace velmorant {

namespace {

// No design line comes anywhere near this; a longer one is not a design file.
constexpr int MaxLineLength = 1024;
// Eight short lines; more than this is never needed to find them.
// Eight numbers and whatever follows them, which is ignored; a larger file is not a design.
constexpr qint64 MaxBytesRead = 1 << 20;

QString quoted(const QString &name)
{
    return QStringLiteral("\u201c%1\u201d").arg(name);
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

struct RawField
{
    QString text;
    bool quoted = false;
};

// Splits one line into fields at commas outside quotes.
QList<RawField> lineFields(const QString &line)
{
    QList<RawField> fields;
    const int n = int(line.size());
    int pos = 0;
    while (true) {
        while (pos < n && isBlank(line[pos]))
            ++pos;
        RawField field;
        if (pos < n && line[pos] == QLatin1Char('"')) {
            const int close = int(line.indexOf(QLatin1Char('"'), pos + 1));
            const int end = close < 0 ? n : close;
            const int comma = int(line.indexOf(QLatin1Char(','), end));
            const int next = comma < 0 ? n : comma;
            if (close >= 0 && !line.mid(close + 1, next - close - 1).trimmed().isEmpty()) {
                // Text after the closing quote ("1"00): not a quoted value, and no number
                // either; the whole field shows as it stands, for the user to see.
                field.text = line.mid(pos, next - pos).trimmed();
            } else {
                field.text = line.mid(pos + 1, end - pos - 1);
                field.quoted = true;
            }
            pos = next;
        } else {
            const int comma = int(line.indexOf(QLatin1Char(','), pos));
            const int end = comma < 0 ? n : comma;
            field.text = line.mid(pos, end - pos);
            while (!field.text.isEmpty() && isBlank(field.text.back()))
                field.text.chop(1);
            pos = end;
        }
        fields << field;
        if (pos >= n)
            break;
        ++pos; // past the comma
    }
    return fields;
}

DesignFileRead refused(const QString &message)
{
    DesignFileRead result;
    result.error = message;
    return result;
}

} // namespace

QByteArray designFileBytes(const DesignParameters &p)
{
    QByteArray bytes;
    for (double v : p.values)
        bytes += formatPlainNumber(v).toLatin1() + "\r\n";
    return bytes;
}

std::optional<QString> writeDesignFile(const QString &path, const DesignParameters &p)
{
    if (const std::optional<QString> reason = writeFileAtomically(path, designFileBytes(p)))
        return QStringLiteral("Impossibile salvare il file %1: %2.")
            .arg(quoted(QDir::toNativeSeparators(path)), *reason);
    return std::nullopt;
}

DesignFileRead parseDesignFile(const QByteArray &content, const QString &name)
{
    // Single-byte text: every byte is one character. Editors that save as UTF-8 may put a
    // byte-order mark in front; it is not part of the first value.
    const QString text =
        QString::fromLatin1(content.startsWith("\xEF\xBB\xBF") ? content.mid(3) : content);
    const int size = int(text.size());

    QList<RawField> fields;
    int lines = 0, firstSplit = 0;
    QString splitLine;
    int pos = 0;
    while (fields.size() < int(FieldCount) && pos < size) {
        int end = pos;
        while (end < size && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        const QString line = text.mid(pos, end - pos);
        if (line.contains(QChar(0)))
            return refused(
                QStringLiteral("Il file %1 non \u00e8 un file di testo.").arg(quoted(name)));
        if (line.size() > MaxLineLength)
            return refused(QStringLiteral("Il file %1 non \u00e8 un file di progetto Velmorant: "
                                          "contiene una riga troppo lunga.")
                               .arg(quoted(name)));
        const QList<RawField> onLine = lineFields(line);
        ++lines;
        if (onLine.size() > 1 && firstSplit == 0) {
            firstSplit = lines;
            splitLine = line;
        }
        fields << onLine;

        // One line end: CR LF, CR or LF.
        if (end < size && text[end] == QLatin1Char('\r') && end + 1 < size &&
            text[end + 1] == QLatin1Char('\n'))
            ++end;
        pos = end + 1;
    }
    if (fields.size() < int(FieldCount))
        return refused(
            QStringLiteral("Il file %1 non contiene gli otto valori di un progetto Velmorant.")
                .arg(quoted(name)));
    // Eight values on one line, parted by commas, are a design; but a file of a value a line
    // with a comma in one of them ("800,5", a decimal comma) would shift every value after it
    // and drop the last: refused, naming the line.
    if (firstSplit > 0) {
        int allLines = 0;
        for (int p = 0; p < size; ++p) {
            if (text[p] == QLatin1Char('\n') ||
                (text[p] == QLatin1Char('\r') && (p + 1 >= size || text[p + 1] != QLatin1Char('\n'))))
                ++allLines;
        }
        if (size > 0 && text.back() != QLatin1Char('\n') && text.back() != QLatin1Char('\r'))
            ++allLines;
        if (allLines >= int(FieldCount))
            return refused(QStringLiteral("Il file %1 non \u00e8 un file di progetto Velmorant: "
                                          "la riga %2 (%3) non \u00e8 un solo numero; i valori "
                                          "vanno uno per riga, con il punto per i decimali.")
                               .arg(quoted(name))
                               .arg(firstSplit)
                               .arg(quotedUserText(splitLine)));
    }

    DesignFileRead result;
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const RawField &field = fields[int(i)];
        const std::optional<double> number = parsePlainNumber(field.text);
        if (i + 1 == FieldCount)
            result.values[i] = number.value_or(0.0); // the ratio is always read as a number
        else if (number && !field.quoted)
            result.values[i] = *number;
        else
            result.values[i] = field.text;
    }
    return result;
}

DesignFileRead readDesignFile(const QString &path)
{
    const QString name = QDir::toNativeSeparators(path);
    const FileReading file = readRegularFile(path, MaxBytesRead);
    if (!file.ok())
        return refused(
            QStringLiteral("Impossibile aprire il file %1: %2.").arg(quoted(name), file.failure));
    return parseDesignFile(file.bytes, name);
}

} // namespace velmorant
