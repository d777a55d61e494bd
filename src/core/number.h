#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace velmorant {

// Reads a number as typed by the user under the given locale: blanks at either end are
// ignored; sign, digit grouping, the locale's decimal separator and an exponent are accepted.
// Empty or non-numeric text, NaN, infinity and values out of range give no value.
std::optional<double> parseLocaleNumber(const QString &text, const QLocale &locale);

// Reads a setting's number (a sheet thickness, a sweep bound): the locale's decimal
// separator, but no digit grouping, which would make "1.250" a thousand times what a user of
// it_IT meant.
std::optional<double> parseSettingNumber(const QString &text, const QLocale &locale);

// When `text` was refused as a number under `locale` but is one with the other decimal separator
// ("1.5" where the comma is the decimal separator): the hint that says so, in Italian,
// starting with a blank; empty otherwise.
QString decimalSeparatorHint(const QString &text, const QLocale &locale);

// Reads a number written with the period as the only separator and no grouping (design
// files, the command line's C default).
std::optional<double> parsePlainNumber(const QString &text);

// A result shown to the user: exactly one decimal, the locale's separators and grouping.
// A value that rounds to zero shows without a minus sign.
QString formatDimension(double value, const QLocale &locale);

// Plain decimal notation: optional minus, integer digits, and a period with the fraction
// digits only when there is a fraction; at most 15 significant digits, no exponent.
QString formatPlainNumber(double value);

// The same digits with the locale's decimal separator and minus sign and no grouping, so
// that parseLocaleNumber reads back the same number under that locale.
QString formatBoxNumber(double value, const QLocale &locale);

} // namespace velmorant
