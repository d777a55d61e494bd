#pragma once

#include <QFont>

namespace velmorant {

// Maps the font families of the layout to families a Debian desktop has. Called once at
// start-up (and by the window tests).
void installFontSubstitutions();

// The fonts of the layout, by their design names.
QFont sansSerifFont(double pointSize = 7.8, bool bold = false, bool underline = false);
QFont arialFont(double pointSize, bool bold = false, bool underline = false);
QFont tahomaFont(double pointSize, bool bold = false, bool underline = false);

} // namespace velmorant
