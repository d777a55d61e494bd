#include "usertext.h"

#include <QList>

#include <algorithm>

namespace velmorant {

namespace {

constexpr int QuotedLength = 40;

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029;
}

bool unprintable(char32_t c)
{
    // Surrogates left unpaired decode to U+FFFD; U+FFFE/U+FFFF and the like are not text.
    return isControl(c) || c == 0xfffd || (c & 0xfffe) == 0xfffe || (c >= 0xfdd0 && c <= 0xfdef);
}

QString escaped(char32_t c)
{
    switch (c) {
    case '\n':
        return QStringLiteral("\\n");
    case '\r':
        return QStringLiteral("\\r");
    case '\t':
        return QStringLiteral("\\t");
    case 0x1b:
        return QStringLiteral("\\e");
    default:
        return c <= 0xff ? QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'))
                         : QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
    }
}

QString escapeControls(const QString &text, bool keepLineFeeds)
{
    QString out;
    for (char32_t c : text.toUcs4()) {
        if (isControl(c) && !(keepLineFeeds && c == '\n'))
            out += escaped(c);
        else
            out += QString::fromUcs4(&c, 1);
    }
    return out;
}

} // namespace

QString plainUserText(const QString &text)
{
    QString out;
    bool blank = false;
    for (char32_t c : text.toUcs4()) {
        if (unprintable(c)) {
            blank = true;
            continue;
        }
        if (blank && !out.isEmpty())
            out += QLatin1Char(' ');
        blank = false;
        out += QString::fromUcs4(&c, 1);
    }
    return out.trimmed();
}

QString quotedPath(const QString &path)
{
    constexpr int Kept = 200;
    const QList<uint> chars = path.toUcs4();
    QString shown;
    for (int i = std::max(0, int(chars.size()) - Kept); i < chars.size(); ++i) {
        const char32_t c = chars[i];
        shown += QString::fromUcs4(&c, 1);
    }
    return (chars.size() > Kept ? QStringLiteral("...\"") : QStringLiteral("\"")) +
           escapeControls(shown, false) + QLatin1Char('"');
}

QString quotedUserText(const QString &text)
{
    const QList<uint> chars = text.toUcs4();
    QString shown;
    for (int i = 0; i < chars.size() && i < QuotedLength; ++i) {
        const char32_t c = chars[i];
        shown += QString::fromUcs4(&c, 1);
    }
    return QLatin1Char('"') + escapeControls(shown, false) +
           (chars.size() > QuotedLength ? QStringLiteral("\"...") : QStringLiteral("\""));
}

QString terminalSafe(const QString &text)
{
    return escapeControls(text, true);
}

} // namespace velmorant
