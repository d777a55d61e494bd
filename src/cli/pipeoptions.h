#pragma once

#include "band.h"
#include "methods.h"

#include <QJsonObject>
#include <QLocale>
#include <QSizeF>
#include <QString>

#include <optional>

class QCommandLineParser;

namespace velmorant {

// What the command line asks of the pipe beyond the first sizing: another method, diffuser
// stages, a measured pipe, the rpm band, its sensitivity, the methods side by side.
struct PipeRequest
{
    std::optional<double> bandWidth; // --band [W], degrees
    bool sensitivity = false;
    bool compare = false;
    QString pipeFile;               // --pipe FILE.csv
    QString method = QStringLiteral("own");
    int stages = 1;
    double horn = 1;
    std::optional<QSizeF> port;     // --port LxA, mm
    EngineClass engineClass = EngineClass::Enduro;
    double divergentHalfAngle = 4, convergentHalfAngle = 10; // --cone-angles A1:A2

    // Whether the pipe is not the first sizing's own five segments.
    bool changesPipe() const
    {
        return !pipeFile.isEmpty() || method != QLatin1String("own") || stages > 1;
    }
    bool any() const { return bandWidth || sensitivity || compare || changesPipe(); }
};

// The options, for the parser and the help; a bare --band takes 10 degrees.
struct PipeOptionSpec
{
    const char *name;
    const char *valueName;
    const char *help;
};
QList<PipeOptionSpec> pipeOptionSpecs();
QStringList withBandDefault(const QStringList &args);
std::optional<QString> readPipeOptions(const QCommandLineParser &parser, const QLocale &locale,
                                       PipeRequest &into);

// The pipe asked for: the method's (or the measured one), with its stages.
struct PipeBuilt
{
    Pipe pipe;
    QString error;        // the measured pipe could not be read
    QString refusal;      // the method's pipe cannot be built from these data
};
PipeBuilt buildPipe(const PipeRequest &r, const DesignParameters &p, const ChamberDimensions &d);
Pipe methodPipe(const QString &method, const PipeRequest &r, const DesignParameters &p,
                const ChamberDimensions &d);

// What is printed and put in the JSON.
QString pipeTable(const PipeRequest &r, const Pipe &pipe, const DesignParameters &p,
                  const ChamberDimensions &d, const QLocale &locale);
void addPipeJson(QJsonObject &root, const PipeRequest &r, const Pipe &pipe,
                 const DesignParameters &p, const ChamberDimensions &d);

} // namespace velmorant
