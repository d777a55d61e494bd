#pragma once

// The templates' page sizes in mm, shared by their pagination and their painting.
namespace velmorant::templates {

constexpr double TitleHeight = 27; // mm at the foot of every page
constexpr double PartGap = 6;      // between parts sharing a page
constexpr double Overlap = 15;     // shared by neighbouring tiles
constexpr double PdfMargin = 10;
constexpr int PdfResolution = 1200;
constexpr double Pi = 3.14159265358979323846;

} // namespace velmorant::templates
