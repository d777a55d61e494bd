#pragma once

#include "sketch/sketch.h"

#include <QList>
#include <QString>

#include <optional>

namespace velmorant {

// Each writer returns an error message, or nothing when the file was written (atomically).

// "Impossibile scrivere il file PATH: REASON".
QString writeFailure(const QString &path, const QString &reason);

// The to-scale sketch as SVG: the window's geometry for a frame `frameWidth` twips wide.
std::optional<QString> writeSketchSvg(const QString &path, const SketchGeometry &geometry,
                                      const std::array<QString, SketchCaptionCount> &captions,
                                      double frameWidth);

} // namespace velmorant
