#include "projectoptions.h"

#include "number.h"
#include "usertext.h"

namespace velmorant {

std::optional<QString> startFromProject(const Project &p, const QLocale &locale, CliOptions &o,
                                        ParameterTexts &texts)
{
    texts = p.workshop.parameters;
    const WorkshopChoices c = readWorkshopChoices(p.workshop, locale);
    if (c.refusal)
        return c.refusal->text;
    o.workshop = c.options;
    o.workshop.numbers = WorkshopOptions().numbers; // the command line's files as ever
    o.pipe.choice = c.choice;
    o.waves.engine = p.engine;
    const std::pair<const char *, QPageSize::PageSizeId> papers[] = {
        {"A4", QPageSize::A4}, {"A3", QPageSize::A3}, {"Letter", QPageSize::Letter}};
    for (const auto &[name, id] : papers) {
        if (p.paper == QLatin1String(name)) {
            o.paper = id;
            return std::nullopt;
        }
    }
    return QStringLiteral("formato di carta sconosciuto %1 (A4, A3 o Letter)")
        .arg(quotedUserText(p.paper));
}

namespace {

// The project's gas paths, its gas and its ports, as the window runs them, where the command
// line gives none of its own: for the waves and for the search alike.
void takeProjectPaths(const Project &p, WaveRequest &r)
{
    const EnginePaths &paths = p.waves.paths;
    SystemRequest &s = r.systems;
    if (s.exhaustFile.isEmpty() && paths.exhaust) {
        s.exhaust = paths.exhaust->path;
        s.exhaustFromProject = true;
    }
    if (s.intakeFile.isEmpty() && r.intakePipeFile.isEmpty() && paths.intake)
        s.intake = paths.intake->path;
    if (!s.transferDuct)
        s.transferDuct = paths.transferDuct;
    if (!s.gasGiven)
        s.variableGas = paths.variableGas;
    if (r.ports.file.isEmpty() && r.portAreasFile.isEmpty() && paths.ports) {
        r.ports.geometry = paths.ports->ports;
        r.ports.file = paths.ports->source;
        r.ports.fromProject = true;
    }
}

} // namespace

std::optional<QString> takeProjectWaves(const Project &p, const QLocale &locale, WaveRequest &r)
{
    takeProjectPaths(p, r);
    if (!r.enabled)
        return std::nullopt;
    const bool given = !(p.waves.from.trimmed().isEmpty() && p.waves.to.trimmed().isEmpty() &&
                         p.waves.step.trimmed().isEmpty());
    if (!r.from && given) {
        const std::optional<double> from = parseLocaleNumber(p.waves.from, locale),
                                    to = parseLocaleNumber(p.waves.to, locale),
                                    step = parseLocaleNumber(p.waves.step, locale);
        if (!from || !to || !step)
            return QStringLiteral("i regimi delle onde (%1, %2, %3) non sono numeri: "
                                  "indicarli con --rpm-range")
                .arg(quotedUserText(p.waves.from), quotedUserText(p.waves.to),
                     quotedUserText(p.waves.step));
        const waves::SpeedRange range = waves::speedRange(*from, *to, *step, locale);
        if (!range.refusal.isEmpty())
            return range.refusal;
        r.from = from;
        r.to = to;
        r.step = step;
    }
    if (r.probes.isEmpty()) {
        if (const std::optional<double> x = parseSettingNumber(p.waves.probe, locale))
            r.probes << *x;
    }
    // The engine's port table came with the engine; its intake pipe is the project's unless
    // the command line names another.
    if (r.intakePipeFile.isEmpty() && p.waves.intakePipe)
        r.intakePipe = p.waves.intakePipe->pipe;
    return std::nullopt;
}

} // namespace velmorant
