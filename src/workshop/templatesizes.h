#pragma once

// What the templates' pagination and painting share: page sizes in mm, and their words.
#include <QCoreApplication>
#include <QLocale>
#include <QString>

namespace velmorant::templates {

constexpr double TitleHeight = 27; // mm at the foot of every page
constexpr double PartGap = 6;      // between parts sharing a page
constexpr double Overlap = 15;     // shared by neighbouring tiles
constexpr double PdfMargin = 10;
constexpr int PdfResolution = 1200;
constexpr double Pi = 3.14159265358979323846;

inline QString tr(const char *s)
{
    return QCoreApplication::translate("velmorant", s);
}

// A number as the plan's notation writes it.
inline QString in(const QLocale &locale, double v, int decimals = 1)
{
    return locale.toString(v, 'f', decimals);
}

} // namespace velmorant::templates
