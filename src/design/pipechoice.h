#pragma once

#include "methods.h"

#include <QSizeF>
#include <QStringList>

#include <optional>

namespace velmorant {

// Which pipe to build beyond the first sizing: a method and its inputs, or a pipe measured on
// the bench, and the diffuser's stages. The command line and the workshop window both fill one.
struct PipeChoice
{
    QString method = QStringLiteral("own"); // one of pipeMethods()
    int stages = 1;                         // diffuser cones, 1 to 4
    double horn = 1;                        // their law, 1 to 2
    std::optional<QSizeF> port;             // exhaust port, width x height mm
    EngineClass engineClass = EngineClass::Enduro;
    double divergentHalfAngle = 4, convergentHalfAngle = 10; // Jennings' cones, degrees
    std::optional<Pipe> measured;                            // replaces the method's pipe

    // Whether the pipe is not the first sizing's own five segments.
    bool changesPipe() const { return measured || method != QLatin1String("own") || stages > 1; }
    double portArea() const { return port ? port->width() * port->height() : 0; }
};

// The methods by the names the command line takes: own, blair2, blair3, jennings.
QStringList pipeMethods();

// How a user reads a pipe's method (the key of pipeMethods(), or "misurato"): "primo
// dimensionamento", "Blair, 2 stadi", ...; the keys stay in the JSON and on the command line.
QString methodCaption(const QString &method);

// A method's pipe on this design, without stages.
Pipe methodPipe(const QString &method, const PipeChoice &choice, const DesignParameters &p,
                const ChamberDimensions &d);

// The pipe chosen, with its stages (Blair's methods set their own; a measured pipe keeps its
// own sections), or why it cannot be built.
struct PipeBuilt
{
    Pipe pipe;
    QString refusal; // Italian; empty when built
};
PipeBuilt buildPipe(const PipeChoice &choice, const DesignParameters &p,
                    const ChamberDimensions &d);

} // namespace velmorant
