#include "projectinputs.h"

#include "safefile.h"

#include <QCoreApplication>

namespace velmorant {

QList<ProjectInput> projectInputFiles(const Project &p)
{
    auto tr = [](const char *text) { return QCoreApplication::translate("velmorant", text); };
    QList<ProjectInput> out;
    auto add = [&](const QString &what, const QString &path) {
        if (!path.isEmpty())
            out << ProjectInput{what, path};
    };
    add(tr("il tubo misurato"), p.workshop.pipe.pipeFile);
    if (p.workshop.pipe.measured)
        add(tr("il tubo misurato"), p.workshop.pipe.measured->source);
    if (p.waves.comparePipe)
        add(tr("il tubo da confrontare"), p.waves.comparePipe->source);
    if (p.waves.intakePipe)
        add(tr("il tubo di aspirazione"), p.waves.intakePipe->source);
    if (p.waves.paths.exhaust)
        add(tr("l'impianto di scarico"), p.waves.paths.exhaust->source);
    if (p.waves.paths.intake)
        add(tr("l'impianto di aspirazione"), p.waves.paths.intake->source);
    if (p.engine.portAreas)
        add(tr("la tabella delle luci"), p.engine.portAreas->source);
    if (p.bench)
        add(tr("la curva al banco"), p.bench->source);
    if (p.trace)
        add(tr("la traccia misurata"), p.trace->source);
    return out;
}

std::optional<ProjectInput> inputOverwrittenBy(const QString &output,
                                               const QList<ProjectInput> &inputs)
{
    for (const ProjectInput &in : inputs) {
        if (sameFile(output, in.path))
            return in;
    }
    return std::nullopt;
}

} // namespace velmorant
