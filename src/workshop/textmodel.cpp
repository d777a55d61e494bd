#include "textmodel.h"

#include <algorithm>

namespace velmorant {

namespace {

// Upper bounds of the advance, in em, by kind of character: DejaVu Sans, the widest of the
// fonts named, sets digits at 0.636 em, most lower case within 0.63, m and w near 0.98,
// capitals within 0.78 (M and W 0.86 and 0.99).
double advance(QChar c)
{
    const char16_t u = c.unicode();
    if (u == ' ')
        return 0.33;
    if (QStringLiteral(".,:;'!|il").contains(c))
        return 0.36;
    if (QStringLiteral("()[]/-jtfr").contains(c))
        return 0.45;
    if (u >= '0' && u <= '9')
        return 0.64;
    if (c == QLatin1Char('m') || c == QLatin1Char('w'))
        return 1.0;
    if (c == QLatin1Char('M') || c == QLatin1Char('W'))
        return 1.02;
    if (u >= 'a' && u <= 'z')
        return 0.64;
    if (u >= 'A' && u <= 'Z')
        return 0.8;
    if (u == 0x00B0) // degree sign
        return 0.52;
    return 1.0; // anything else: a full em
}

} // namespace

double textWidthEm(const QString &text)
{
    double w = 0;
    for (QChar c : text)
        w += advance(c);
    return w;
}

QSizeF textBlockSize(const QStringList &lines, double em)
{
    double widest = 0;
    for (const QString &l : lines)
        widest = std::max(widest, textWidthEm(l));
    return QSizeF(widest * em, ((lines.size() - 1) * LineSpacingEm + 1.0) * em);
}

} // namespace velmorant
