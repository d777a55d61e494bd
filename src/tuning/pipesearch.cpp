#include "pipesearch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace velmorant::tuning {

namespace {

// Below every value a pipe inside the limits can have (kW, or a surrogate's units).
constexpr double Outside = -1e9;

waves::WaveOptions searchOptions(const waves::WaveOptions &user)
{
    waves::WaveOptions o = user;
    o.cellMm = std::max(SearchCellMm, user.cellMm);
    o.probes.clear();
    o.keepSettled = true;
    return o;
}

} // namespace

QString objectiveName(Objective o)
{
    switch (o) {
    case Objective::Mean:
        return QStringLiteral("media");
    case Objective::Peak:
        return QStringLiteral("picco");
    case Objective::Speed:
        break;
    }
    return QStringLiteral("regime");
}

QString searchBand(Objective o, const QString &from, const QString &to)
{
    return QStringLiteral("%1 %2-%3 giri/min").arg(objectiveName(o), from, to);
}

std::optional<Objective> objectiveNamed(const QString &name)
{
    for (Objective o : {Objective::Mean, Objective::Peak, Objective::Speed})
        if (objectiveName(o) == name)
            return o;
    return std::nullopt;
}

QList<double> bandSpeeds(double from, double to, int count, Objective o)
{
    if (o == Objective::Speed || to <= from || count < 2)
        return {0.5 * (from + to)};
    return waves::speedRange(from, to, (to - from) / (count - 1), QLocale::c()).rpms;
}

BandRun bandRun(const QList<waves::SpeedResult> &speeds, Objective o)
{
    BandRun b;
    b.speeds = speeds;
    b.ok = !speeds.isEmpty();
    double area = 0;
    for (int k = 0; k < speeds.size(); ++k) {
        const waves::SpeedResult &r = speeds[k];
        b.ok = b.ok && !r.failed && !r.cancelled && std::isfinite(r.brake.powerKw);
        b.peakKw = k == 0 ? r.brake.powerKw : std::max(b.peakKw, r.brake.powerKw);
        if (k > 0)
            area += 0.5 * (r.brake.powerKw + speeds[k - 1].brake.powerKw) *
                    (r.rpm - speeds[k - 1].rpm);
    }
    if (!b.ok)
        return b;
    const double span = speeds.last().rpm - speeds.first().rpm;
    b.meanKw = span > 0 ? area / span : speeds.first().brake.powerKw;
    switch (o) {
    case Objective::Mean:
        b.value = b.meanKw;
        break;
    case Objective::Peak:
        b.value = b.peakKw;
        break;
    case Objective::Speed:
        b.value = speeds[speeds.size() / 2].brake.powerKw;
        break;
    }
    return b;
}

std::optional<QString> searchProblem(const PipeSearchInputs &in, const QLocale &locale)
{
    if (!(in.from >= waves::SlowestRpm && in.to <= waves::FastestRpm && in.from <= in.to))
        return QStringLiteral("la fascia da ottimizzare va da DA ad A giri/min, tra %1 e %2, DA "
                              "non oltre A")
            .arg(locale.toString(waves::SlowestRpm), locale.toString(waves::FastestRpm));
    if (const std::optional<QString> l = limitsProblem(in.limits, locale))
        return *l;
    if (!(in.plan.evaluations >= SmallestBudget && in.plan.evaluations <= LargestBudget))
        return QStringLiteral("le valutazioni vanno da %1 a %2")
            .arg(SmallestBudget)
            .arg(LargestBudget);
    QString refusal;
    const std::optional<PipeShape> shape = PipeShape::of(in.start, in.limits, &refusal);
    if (!shape)
        return refusal;
    // The model must take the start, and the whole search stay within LargestSearchWork: every
    // evaluation as long as the longest pipe the limits allow, and the final runs.
    const QList<double> rpms = bandSpeeds(in.from, in.to, BandSpeeds, in.objective);
    if (const std::optional<QString> p =
            waves::waveProblem(in.start, in.engine, in.options, rpms, locale))
        return p;
    Pipe longest;
    const double narrowest = in.start.sections.last().dIn;
    longest.sections = {PipeSection(shape->maxLength(), narrowest, narrowest)};
    const double work =
        in.plan.evaluations * waves::estimatedWork(longest, searchOptions(in.options),
                                                   bandSpeeds(in.from, in.to, SearchSpeeds,
                                                              in.objective)) +
        4 * waves::estimatedWork(longest, in.options, rpms);
    if (work > LargestSearchWork)
        return QStringLiteral("la ricerca chiederebbe fino a %1 miliardi di passi di cella, "
                              "oltre i %2 che fa al massimo: meno valutazioni o celle pi\u00f9 "
                              "lunghe")
            .arg(locale.toString(std::ceil(work / 1e9), 'f', 0),
                 locale.toString(LargestSearchWork / 1e9, 'f', 0));
    return std::nullopt;
}

SearchFound searchShape(const PipeShape &shape,
                        const std::function<std::optional<double>(const Pipe &)> &value,
                        const SearchPlan &plan, const std::atomic<bool> *stop,
                        const std::function<void(const SearchProgress &)> &progress)
{
    auto judged = [&](const std::vector<double> &x) {
        const double broken = shape.violation(x);
        if (broken > 1e-12)
            return Outside * (1 + broken);
        const std::optional<double> v = value(shape.pipe(x));
        return v ? *v : Outside;
    };
    return maximize(judged, shape.lower(), shape.upper(), shape.start(), plan, stop, progress);
}

PipeSearchResult searchPipe(const PipeSearchInputs &in, const std::atomic<bool> *stop,
                            const std::function<void(const SearchProgress &)> &progress)
{
    PipeSearchResult result;
    if (const std::optional<QString> p = searchProblem(in)) {
        result.refusal = *p;
        return result;
    }
    const PipeShape shape = *PipeShape::of(in.start, in.limits);
    result.start = in.start;
    result.startOutside = shape.brokenLimits(in.start);

    // Each pipe at a few speeds on coarse cells, every speed from where it settled on the pipe
    // before (the nearest pipe already run).
    const waves::WaveOptions coarse = searchOptions(in.options);
    const QList<double> searchRpms = bandSpeeds(in.from, in.to, SearchSpeeds, in.objective);
    std::vector<std::shared_ptr<const waves::WarmStart>> warm(std::size_t(searchRpms.size()));
    struct Candidate
    {
        double value;
        Pipe pipe;
    };
    std::vector<Candidate> best; // the few best pipes inside the limits, best first
    auto value = [&](const Pipe &pipe) -> std::optional<double> {
        if (waves::waveProblem(pipe, in.engine, coarse, searchRpms))
            return std::nullopt;
        QList<const waves::WarmStart *> starts;
        for (const auto &w : warm)
            starts << w.get();
        const QList<waves::SpeedResult> speeds = waves::simulateSpeeds(
            pipe, in.engine, coarse, searchRpms, in.threads, stop, nullptr, nullptr, starts);
        for (const waves::SpeedResult &s : speeds) {
            ++result.searchSpeedRuns;
            result.searchCycles += s.cycles;
        }
        const BandRun b = bandRun(speeds, in.objective);
        if (!b.ok)
            return std::nullopt;
        for (int k = 0; k < speeds.size(); ++k)
            if (speeds[k].settled)
                warm[std::size_t(k)] = speeds[k].settled;
        best.push_back({b.value, pipe});
        std::stable_sort(best.begin(), best.end(),
                         [](const Candidate &a, const Candidate &b) { return a.value > b.value; });
        if (best.size() > 3)
            best.pop_back();
        return b.value;
    };
    const SearchFound found = searchShape(shape, value, in.plan, stop, progress);
    result.evaluations = found.evaluations;
    result.cancelled = found.cancelled || (stop && stop->load());

    // The start and the best few again as the user runs them: the user's cell, the band's
    // speeds, from still gas. Stopped, only the best so far.
    const QList<double> rpms = bandSpeeds(in.from, in.to, BandSpeeds, in.objective);
    auto finalRun = [&](const Pipe &pipe) {
        return bandRun(waves::simulateSpeeds(pipe, in.engine, in.options, rpms, in.threads),
                       in.objective);
    };
    result.startBand = finalRun(in.start);
    result.best = in.start;
    result.bestBand = result.startBand;
    result.keptStart = true;
    // Never worse than the start; a start outside the limits cannot be kept.
    double bar = result.startOutside.isEmpty() && result.startBand.ok
                     ? result.startBand.value
                     : -std::numeric_limits<double>::infinity();
    if (result.cancelled && best.size() > 1)
        best.resize(1);
    for (const Candidate &c : best) {
        const BandRun b = finalRun(c.pipe);
        if (b.ok && b.value > bar) {
            bar = b.value;
            result.best = c.pipe;
            result.bestBand = b;
            result.keptStart = false;
        }
    }
    return result;
}

} // namespace velmorant::tuning
