#include "number.h"

#include <cmath>

namespace velmorant {

std::optional<double> parseLocaleNumber(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = locale.toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> parseSettingNumber(const QString &text, const QLocale &locale)
{
    QLocale strict = locale;
    strict.setNumberOptions(QLocale::RejectGroupSeparator);
    return parseLocaleNumber(text, strict);
}

QString decimalSeparatorHint(const QString &text, const QLocale &locale)
{
    const QString point = locale.decimalPoint();
    const QString trimmed = text.trimmed();
    if (point == QLatin1String(".")) {
        if (!trimmed.contains(QLatin1Char(',')))
            return {};
        QString swapped = trimmed;
        swapped.replace(QLatin1Char(','), QLatin1Char('.'));
        if (!parseLocaleNumber(swapped, QLocale::c()))
            return {};
        return QStringLiteral(" (il separatore dei decimali \u00e8 il punto: %1)").arg(swapped);
    }
    if (!trimmed.contains(QLatin1Char('.')) || !parseLocaleNumber(trimmed, QLocale::c()))
        return {};
    QString swapped = trimmed;
    swapped.replace(QLatin1Char('.'), point);
    const QString name = point == QLatin1String(",")
                             ? QStringLiteral("la virgola")
                             : QStringLiteral("\u201c%1\u201d").arg(point);
    return QStringLiteral(" (il separatore dei decimali \u00e8 %1: %2)").arg(name, swapped);
}

std::optional<double> parsePlainNumber(const QString &text)
{
    return parseLocaleNumber(text, QLocale::c());
}

QString formatDimension(double value, const QLocale &locale)
{
    QString text = locale.toString(value, 'f', 1);
    // -0.04 rounds to "-0.0": a tuner reads that as a fault, show the zero plainly.
    if (text.startsWith(locale.negativeSign())) {
        const QString zero = locale.toString(0.0, 'f', 1);
        if (text.mid(locale.negativeSign().size()) == zero)
            return zero;
    }
    return text;
}

QString formatPlainNumber(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return value == 0.0 ? QStringLiteral("0") : QString::number(value);

    // Fifteen significant digits in scientific form, then laid out without an exponent.
    const QString sci = QString::number(std::fabs(value), 'e', 14);
    const int ePos = sci.indexOf(QLatin1Char('e'));
    QString digits = sci.left(ePos);
    digits.remove(QLatin1Char('.'));
    const int exponent = sci.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);

    const int pointPos = exponent + 1; // digits before the decimal point
    QString integerPart;
    QString fraction;
    if (pointPos <= 0) {
        integerPart = QStringLiteral("0");
        fraction = QString(-pointPos, QLatin1Char('0')) + digits;
    } else if (pointPos >= digits.size()) {
        integerPart = digits + QString(pointPos - digits.size(), QLatin1Char('0'));
    } else {
        integerPart = digits.left(pointPos);
        fraction = digits.mid(pointPos);
    }
    QString text = value < 0 ? QStringLiteral("-") : QString();
    text += integerPart;
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return text;
}

QString formatBoxNumber(double value, const QLocale &locale)
{
    QString text = formatPlainNumber(value);
    if (text.startsWith(QLatin1Char('-')))
        text = locale.negativeSign() + text.mid(1);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

} // namespace velmorant
