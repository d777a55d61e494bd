#pragma once

#include "patterns.h"
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

// Cutting templates at 1:1, in millimetres, chosen by the file's extension (.svg, .pdf, .dxf).
std::optional<QString> writePatterns(const QString &path, const QList<Pattern> &patterns);

} // namespace velmorant
