#pragma once

#include "workshopinput.h"

#include <QJsonObject>

#include <optional>

namespace velmorant {

// A pipe the search found, kept whole where a project or the window's memory keeps it: every
// section as it is (length, both diameters, its name) and the reference points, with the words
// that say which search found it (its `source`: "media 9000-11000 giri/min"). Never a file.
QJsonObject searchedPipeJson(const MeasuredPipe &searched);
// The pipe back, checked: at most MaxPipeRows sections, lengths positive, diameters between
// SmallestPipeDiameter and LargestPipeDiameter, points on the pipe. The reason when it is not.
std::optional<MeasuredPipe> searchedPipeFromJson(const QJsonObject &o, QString *error = nullptr);

// How the method box names it: "Tubo ottimizzato (media 9000-11000 giri/min)".
QString searchedPipeCaption(const QString &band);
// How the templates name a measured pipe: "tubo misurato banco.csv", by the file's own name.
QString measuredPipeCaption(const QString &file);

} // namespace velmorant
