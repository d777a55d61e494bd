// What the workshop window remembers between runs: the builder's cutting options and the
// pipe's boxes, never anything that could fail the next start.
#include "workshopinput.h"

#include "band.h"
#include "number.h"
#include "searchedpipe.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QSettings>

#include <algorithm>

namespace velmorant {

WorkshopOptions readWorkshopSettings(QSettings &settings)
{
    WorkshopOptions o;
    settings.beginGroup(QStringLiteral("Officina"));
    auto read = [&](const QString &key, double low, double high, double fallback) {
        bool ok = false;
        const double v = settings.value(key).toString().toDouble(&ok);
        return ok && v >= low && v <= high ? v : fallback;
    };
    for (const WorkshopNumber &n : workshopNumbers())
        o.*n.member = read(QLatin1String(n.key), n.low, n.high, o.*n.member);
    o.sheetSize = QSizeF(
        read(QStringLiteral("sheet-width"), SmallestSheetSide, LargestSheetSide, o.sheetSize.width()),
        read(QStringLiteral("sheet-height"), SmallestSheetSide, LargestSheetSide, o.sheetSize.height()));
    settings.endGroup();
    return o;
}

PipeTexts readPipeSettings(QSettings &settings, const QLocale &locale)
{
    PipeTexts t = workshopTexts(defaultParameters(), WorkshopOptions(), locale).pipe;
    settings.beginGroup(QStringLiteral("Officina/Tubo"));
    auto number = [&](const char *key, double low, double high, QString &into) {
        bool ok = false;
        const double v = settings.value(QLatin1String(key)).toString().toDouble(&ok);
        if (ok && v >= low && v <= high)
            into = formatBoxNumber(v, locale);
    };
    // A measured pipe only while its file is there to read: a start never fails on what it
    // remembered.
    const QString method = settings.value(QStringLiteral("method")).toString();
    const QString file = settings.value(QStringLiteral("file")).toString();
    // The searched pipe as its sections, never as a file.
    const QJsonObject searched =
        QJsonDocument::fromJson(settings.value(QStringLiteral("searched")).toByteArray()).object();
    t.searched = searched.isEmpty() ? std::nullopt : searchedPipeFromJson(searched);
    if (pipeMethods().contains(method) ||
        (method == QLatin1String(MeasuredMethod) && QFileInfo(file).isFile()) ||
        (method == QLatin1String(SearchedMethod) && t.searched))
        t.method = method;
    t.stages = QString::number(std::clamp(settings.value(QStringLiteral("stages"), 1).toInt(), 1, 4));
    number("horn", 1, 2, t.horn);
    number("port-width", 1, 500, t.portWidth);
    number("port-height", 1, 500, t.portHeight);
    if (t.portWidth.isEmpty() != t.portHeight.isEmpty())
        t.portWidth = t.portHeight = QString();
    if (engineClassNamed(settings.value(QStringLiteral("class")).toString()))
        t.engineClass = settings.value(QStringLiteral("class")).toString();
    number("cone-divergent", 0.5, 45, t.divergentAngle);
    number("cone-convergent", 0.5, 45, t.convergentAngle);
    number("band", SmallestBandWidth, LargestBandWidth, t.bandWidth);
    if (QFileInfo(file).isFile())
        t.pipeFile = file;
    settings.endGroup();
    return t;
}

void writePipeSettings(QSettings &settings, const WorkshopRun &run, const PipeTexts &texts)
{
    const PipeChoice &c = run.choice;
    settings.beginGroup(QStringLiteral("Officina/Tubo"));
    auto number = [](double v) { return QString::number(v, 'g', 17); };
    // Only a file that is one: a searched pipe's name is no path to read again.
    const bool file = QFileInfo(texts.pipeFile).isFile();
    settings.setValue(QStringLiteral("method"),
                      texts.method == QLatin1String(MeasuredMethod) && !file
                          ? QStringLiteral("own")
                          : texts.method);
    settings.setValue(QStringLiteral("stages"), c.stages);
    settings.setValue(QStringLiteral("horn"), number(c.horn));
    settings.setValue(QStringLiteral("port-width"), c.port ? number(c.port->width()) : QString());
    settings.setValue(QStringLiteral("port-height"), c.port ? number(c.port->height()) : QString());
    settings.setValue(QStringLiteral("class"), engineClassName(c.engineClass));
    settings.setValue(QStringLiteral("cone-divergent"), number(c.divergentHalfAngle));
    settings.setValue(QStringLiteral("cone-convergent"), number(c.convergentHalfAngle));
    settings.setValue(QStringLiteral("band"), number(run.bandWidth));
    settings.setValue(QStringLiteral("file"), file ? texts.pipeFile : QString());
    settings.setValue(QStringLiteral("searched"),
                      texts.searched ? QJsonDocument(searchedPipeJson(*texts.searched))
                                           .toJson(QJsonDocument::Compact)
                                     : QByteArray());
    settings.endGroup();
}

void writeWorkshopSettings(QSettings &settings, const WorkshopOptions &o)
{
    settings.beginGroup(QStringLiteral("Officina"));
    for (const WorkshopNumber &n : workshopNumbers())
        settings.setValue(QLatin1String(n.key), QString::number(o.*n.member, 'g', 17));
    settings.setValue(QStringLiteral("sheet-width"), QString::number(o.sheetSize.width(), 'g', 17));
    settings.setValue(QStringLiteral("sheet-height"),
                      QString::number(o.sheetSize.height(), 'g', 17));
    settings.endGroup();
}


} // namespace velmorant
