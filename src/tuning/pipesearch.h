#pragma once

#include "cycle.h"
#include "pipeshape.h"
#include "search.h"

#include <QList>
#include <QLocale>

#include <atomic>
#include <functional>
#include <optional>

namespace velmorant::tuning {

// What the search makes as large as it can over the band FROM..TO: the mean brake power, the
// peak power, or the power at the band's middle speed.
enum class Objective { Mean, Peak, Speed };
QString objectiveName(Objective o); // "media", "picco", "regime"
// The band a search was made over, as a searched pipe is named by: "media 9000-11000 giri/min",
// the speeds written by the caller.
QString searchBand(Objective o, const QString &from, const QString &to);
std::optional<Objective> objectiveNamed(const QString &name);

// While searching, each pipe runs at this cell and at a few speeds of the band; the pipes it
// reports run again at the user's cell over BandSpeeds speeds.
constexpr double SearchCellMm = 20;
constexpr int SearchSpeeds = 5, BandSpeeds = 9;
constexpr int SmallestBudget = 10, LargestBudget = 2000;
// The most cell updates a search may ask for at worst (every evaluation as long as the limits
// allow, every speed to the cycle limit): some twenty minutes on one core with the constant gas,
// half as long again with the variable one.
constexpr double LargestSearchWork = 2e10;

// The speeds of the band at which a pipe is judged: `count` evenly spaced from FROM to TO (one
// when they are the same; the middle one alone for Objective::Speed).
QList<double> bandSpeeds(double from, double to, int count, Objective o);

// A pipe's brake power over the band.
struct BandRun
{
    QList<waves::SpeedResult> speeds;
    double meanKw = 0, peakKw = 0;
    double value = 0; // the objective, kW
    bool ok = false;  // every speed ran to the end with finite numbers
};
BandRun bandRun(const QList<waves::SpeedResult> &speeds, Objective o);

struct PipeSearchInputs
{
    Pipe start;
    waves::EngineInputs engine; // on the design
    waves::WaveOptions options; // the user's: the cell, the intake pipe
    double from = 0, to = 0;
    Objective objective = Objective::Mean;
    Limits limits;
    SearchPlan plan;
    int threads = 0; // 0: every core
};

struct PipeSearchResult
{
    QString refusal; // why the search could not start; nothing else is set then
    Pipe start, best;
    BandRun startBand, bestBand; // at the user's cell over bandSpeeds(BandSpeeds)
    int evaluations = 0;
    // While searching: the speeds run and the cycles they took (each speed started from the
    // gas a neighbouring pipe left, so fewer than from still gas).
    long long searchSpeedRuns = 0, searchCycles = 0;
    bool cancelled = false;    // stopped early: the best found so far
    bool keptStart = false;    // nothing inside the limits did better than the start
    QString startOutside;      // the limits the start itself breaks, said
};

// Why these inputs cannot be searched (an Italian sentence under `locale`), or nothing: the
// band, the limits, the budget, the start's shape, and the wave model's own bounds.
std::optional<QString> searchProblem(const PipeSearchInputs &in,
                                     const QLocale &locale = QLocale::c());

// The search over the pipe's free dimensions within the limits, on the wave model. `progress`
// hears of every evaluation; `stop` ends it early with the best found so far. The same inputs
// give the same pipe.
PipeSearchResult searchPipe(const PipeSearchInputs &in, const std::atomic<bool> *stop = nullptr,
                            const std::function<void(const SearchProgress &)> &progress = {});

// The search of a shape on any value of a pipe (the wave model's power for searchPipe; a
// surrogate in the tests): `value` gives nothing for a pipe it cannot judge. Points outside the
// limits are worth less than any pipe inside them.
SearchFound searchShape(const PipeShape &shape,
                        const std::function<std::optional<double>(const Pipe &)> &value,
                        const SearchPlan &plan, const std::atomic<bool> *stop = nullptr,
                        const std::function<void(const SearchProgress &)> &progress = {});

} // namespace velmorant::tuning
