#pragma once

// A project saved with one input file of each kind the workshop window can name, every file
// there on disk: for the checks that no output ever lands on one.
#include "pipecsv.h"
#include "portareas.h"
#include "project.h"
#include "testfiles.h"

#include <QMap>
#include <QTemporaryDir>

namespace velmorant::test {

// A project that reads one file of each kind the window can name, every file there on disk.
struct ProjectOnDisk
{
    QTemporaryDir dir;
    QString project;
    QMap<QString, QString> inputs; // kind -> path

    ProjectOnDisk()
    {
        const QByteArray pipe = "x_mm,d_mm\n0,38\n300,38\n600,90\n900,90\n1000,30\n1200,30\n";
        auto file = [&](const QString &kind, const QString &name, const QByteArray &bytes) {
            const QString path = dir.filePath(name);
            writeBytes(path, bytes);
            inputs.insert(kind, path);
            return path;
        };
        const QLocale it(QStringLiteral("it_IT"));
        Project p = newProject(WorkshopOptions(), it);
        p.workshop.pipe.method = QLatin1String(MeasuredMethod);
        p.workshop.pipe.pipeFile = file("measured", "misura.csv", pipe);
        p.workshop.pipe.measured = MeasuredPipe{p.workshop.pipe.pipeFile, readPipeCsv(pipe).pipe};
        p.waves.compare = QLatin1String(MeasuredMethod);
        p.waves.comparePipe =
            MeasuredPipe{file("compare", "confronto.csv", pipe), readPipeCsv(pipe).pipe};
        const QByteArray intake = "x_mm,d_mm\n0,28\n250,28\n";
        p.waves.intakePipe =
            MeasuredPipe{file("intake", "aspirazione.csv", intake), readPipeCsv(intake).pipe};
        const QByteArray ports =
            "angle_deg,exhaust_mm2,transfer_mm2\n0,0,0\n90,0,0\n180,400,300\n270,0,0\n";
        engine::PortAreasRead table = engine::readPortAreas(ports);
        table.table.source = file("ports", "luci.csv", ports);
        p.engine.portAreas = table.table;
        p.bench = engine::BenchCurve{file("bench", "banco.csv", "rpm,cv\n9000,10\n10000,12\n"),
                                     {{9000, 10}, {10000, 12}}};
        p.trace = TraceOverlay{file("trace", "traccia.csv", "angle_deg,p_bar\n0,1\n90,2\n"),
                               {{0, 1}, {90, 2}},
                               10000};
        project = dir.filePath("progetto.vlo");
        writeBytes(project, projectJson(p, it));
    }
};

} // namespace velmorant::test
