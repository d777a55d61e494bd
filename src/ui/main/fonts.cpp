#include "fonts.h"

#include <QStringList>

namespace velmorant {

void installFontSubstitutions()
{
    const QString liberation = QStringLiteral("Liberation Sans");
    const QString dejaVu = QStringLiteral("DejaVu Sans");
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), QStringList()
                                                                    << liberation << dejaVu);
    QFont::insertSubstitutions(QStringLiteral("Arial"), QStringList() << liberation << dejaVu);
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), QStringList() << dejaVu << liberation);
}

namespace {

QFont makeFont(const char *family, double pointSize, bool bold, bool underline)
{
    QFont f(QString::fromLatin1(family));
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

} // namespace

QFont sansSerifFont(double pointSize, bool bold, bool underline)
{
    return makeFont("MS Sans Serif", pointSize, bold, underline);
}

QFont arialFont(double pointSize, bool bold, bool underline)
{
    return makeFont("Arial", pointSize, bold, underline);
}

QFont tahomaFont(double pointSize, bool bold, bool underline)
{
    return makeFont("Tahoma", pointSize, bold, underline);
}

} // namespace velmorant
