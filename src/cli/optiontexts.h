#pragma once

#include "number.h"
#include "usertext.h"

#include <QLocale>
#include <QString>

namespace velmorant {

// A refused option value, quoted safely, and what the option takes.
inline QString badValue(const QString &option, const QString &value, const QString &valid)
{
    return QStringLiteral("Valore non valido per %1: %2 (%3)")
        .arg(option, quotedUserText(value), valid);
}

// The range of a number option, written as the option reads it under `locale`.
inline QString numberRange(double low, double high, const QLocale &locale)
{
    return QStringLiteral("serve un numero tra %1 e %2")
        .arg(formatBoxNumber(low, locale), formatBoxNumber(high, locale));
}

} // namespace velmorant
