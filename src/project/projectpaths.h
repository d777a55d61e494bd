#pragma once

// The engine's gas paths as the project file keeps them, in its "waves" object: each system
// with the file it came from and its elements (pipes as stations), and the transfer duct.
#include "project.h"

#include <QJsonObject>

#include <optional>

namespace velmorant::projectjson {

void writePaths(const EnginePaths &paths, QJsonObject &waves);
// Reads the paths of `waves` into `into`; the reason, in Italian, when one is not a system the
// command line would take.
std::optional<QString> readPaths(const QJsonObject &waves, EnginePaths &into);

} // namespace velmorant::projectjson

namespace velmorant {

// A gas path's JSON file, its pipes' own files read from the folder it lies in; the refusal
// names the file.
waves::GasPathRead readGasPathFile(const QString &path);

} // namespace velmorant
