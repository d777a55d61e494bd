#pragma once

// How a project keeps the engine: every input of the Motore dialog, its port-area table and
// the bench curve, as JSON; used by the project reader and writer alone.
#include "benchcurve.h"
#include "engine.h"

#include <QJsonObject>
#include <QString>

#include <optional>

namespace velmorant::projectjson {

QJsonObject engineJson(const waves::EngineInputs &e);
// The engine back into `e`; the reason, naming the input, when one is not what it may be.
std::optional<QString> readEngine(const QJsonObject &o, waves::EngineInputs &e);
std::optional<QString> readBench(const QJsonObject &o, std::optional<engine::BenchCurve> &bench);

} // namespace velmorant::projectjson
