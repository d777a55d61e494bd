#include "projectoptions.h"

#include "number.h"

namespace velmorant {

std::optional<QString> startFromProject(const Project &p, const QLocale &locale, CliOptions &o,
                                        ParameterTexts &texts)
{
    texts = p.workshop.parameters;
    const WorkshopChoices c = readWorkshopChoices(p.workshop, locale);
    if (c.refusal)
        return c.refusal->text;
    o.workshop = c.options;
    o.pipe.choice = c.choice;
    o.waves.engine = p.engine;
    const std::pair<const char *, QPageSize::PageSizeId> papers[] = {
        {"A4", QPageSize::A4}, {"A3", QPageSize::A3}, {"Letter", QPageSize::Letter}};
    for (const auto &[name, id] : papers) {
        if (p.paper == QLatin1String(name))
            o.paper = id;
    }
    return std::nullopt;
}

void takeProjectWaves(const Project &p, const QLocale &locale, WaveRequest &r)
{
    if (!r.enabled)
        return;
    if (!r.from) {
        const std::optional<double> from = parseLocaleNumber(p.waves.from, locale),
                                    to = parseLocaleNumber(p.waves.to, locale),
                                    step = parseLocaleNumber(p.waves.step, locale);
        if (from && to && step && !waves::speedRange(*from, *to, *step, locale).rpms.isEmpty()) {
            r.from = from;
            r.to = to;
            r.step = step;
        }
    }
    if (r.probes.isEmpty()) {
        if (const std::optional<double> x = parseSettingNumber(p.waves.probe, locale))
            r.probes << *x;
    }
    // The engine's port table came with the engine; its intake pipe is the project's unless
    // the command line names another.
    if (r.intakePipeFile.isEmpty() && p.waves.intakePipe)
        r.intakePipe = p.waves.intakePipe->pipe;
}

} // namespace velmorant
