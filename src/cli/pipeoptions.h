#pragma once

#include "band.h"
#include "pipechoice.h"

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
    QString pipeFile;  // --pipe FILE.csv
    PipeChoice choice; // --method, --stages, --horn, --port, --class, --cone-angles

    // Whether the pipe is not the first sizing's own five segments.
    bool changesPipe() const { return !pipeFile.isEmpty() || choice.changesPipe(); }
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

// Reads the measured pipe named by --pipe into the choice; the reason when it cannot.
std::optional<QString> readMeasuredPipe(PipeRequest &r);

// A pipe as the JSON writes it ("pipe": method, length, sections, reference points), and its
// sections as the tables print them.
QJsonObject pipeObject(const Pipe &pipe);
QString pipeSections(const Pipe &pipe, const QLocale &locale);

// What is printed and put in the JSON.
QString pipeTable(const PipeRequest &r, const Pipe &pipe, const DesignParameters &p,
                  const ChamberDimensions &d, const QLocale &locale);
void addPipeJson(QJsonObject &root, const PipeRequest &r, const Pipe &pipe,
                 const DesignParameters &p, const ChamberDimensions &d);

} // namespace velmorant
