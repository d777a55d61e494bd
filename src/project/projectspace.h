#pragma once

// The pipe in space as the project file keeps it: the route, the seams' side, the joint limit
// and the bike around the pipe.
#include "workshopinput.h"

#include <QJsonObject>

#include <optional>

namespace velmorant::projectjson {

QJsonObject spaceJson(const PipeInSpace &space);
// Reads `o` into `into`; the reason, in Italian, when something in it is not a route or an
// obstacle the command line would take.
std::optional<QString> readSpace(const QJsonObject &o, PipeInSpace &into);

// The seams' side by its word in the files and on the command line, and back.
QString seamSideName(route::SeamSide side);
std::optional<route::SeamSide> seamSideNamed(const QString &name);

} // namespace velmorant::projectjson
