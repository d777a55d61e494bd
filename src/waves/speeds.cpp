#include "cycle.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <thread>

namespace velmorant::waves {

SpeedRange speedRange(double from, double to, double step, const QLocale &locale)
{
    SpeedRange r;
    QLocale c = locale;
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    auto number = [&](double v) { return c.toString(v, 'g', 10); };
    if (!(from >= SlowestRpm && to <= FastestRpm && from <= to)) {
        r.refusal = QStringLiteral("Regimi da %1 a %2 giri/min: servono DA e A tra %3 e %4, DA "
                                   "non oltre A")
                        .arg(number(from), number(to), number(SlowestRpm), number(FastestRpm));
        return r;
    }
    if (!(step >= SmallestRpmStep)) {
        r.refusal = QStringLiteral("Un passo di %1 giri/min non sposta il regime: serve un passo "
                                   "di almeno %2")
                        .arg(number(step), number(SmallestRpmStep));
        return r;
    }
    // Whole steps, counted before any speed is made: the count is known and bounded.
    const double count = std::floor((to - from) / step + 1e-9) + 1;
    if (count > MaxSpeeds) {
        r.refusal = QStringLiteral("%1 regimi, al massimo %2")
                        .arg(c.toString(count, 'f', 0))
                        .arg(MaxSpeeds);
        return r;
    }
    for (int k = 0; k < int(count); ++k)
        r.rpms << from + k * step;
    return r;
}

namespace {

// Every pipe of the run but the exhaust's first, with how a refusal names it.
QList<std::pair<QString, Pipe>> otherPipes(const WaveOptions &o)
{
    QList<std::pair<QString, Pipe>> out;
    if (o.intakePath) {
        for (int k = 0; k < o.intakePath->pipes.size(); ++k)
            out.append({QStringLiteral("Il tubo %1 dell'aspirazione").arg(k + 1),
                        o.intakePath->pipes[k].pipe});
    } else if (o.intakePipe) {
        out.append({QStringLiteral("Il condotto di aspirazione"), *o.intakePipe});
    }
    for (int k = 1; o.exhaustPath && k < o.exhaustPath->pipes.size(); ++k)
        out.append({QStringLiteral("Il tubo %1 dello scarico").arg(k + 1),
                    o.exhaustPath->pipes[k].pipe});
    if (o.transferDuct)
        out.append({QStringLiteral("Il condotto di travaso"), o.transferDuct->pipe()});
    return out;
}

} // namespace

int cellCount(const Pipe &pipe, double cellMm)
{
    return int(std::max(2.0, std::ceil(pipe.length() / cellMm - 1e-9)));
}

double estimatedWork(const Pipe &pipe, const WaveOptions &o, const QList<double> &rpms)
{
    constexpr double SignalSpeed = 1000; // m/s: sound in the hottest gas and its flow
    double cells = cellCount(pipe, o.cellMm);
    double dx = pipe.length() / cells / 1000;
    for (const auto &[name, other] : otherPipes(o)) {
        const double more = cellCount(other, o.cellMm);
        dx = std::min(dx, other.length() / more / 1000);
        cells += more;
    }
    double work = 0;
    for (double rpm : rpms) {
        const double dt = std::min(o.cfl * dx / SignalSpeed, 0.5 / (6 * rpm));
        work += cells * std::ceil(60 / rpm / dt) * o.maxCycles;
    }
    return work;
}

std::optional<QString> waveProblem(const Pipe &pipe, const EngineInputs &engine,
                                   const WaveOptions &o, const QList<double> &rpms,
                                   const QLocale &locale, int pipes)
{
    // Numbers as the boxes and options read them: no digit grouping.
    QLocale c = locale;
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    auto mm = [&](double v) { return c.toString(v, 'g', 10); };
    if (std::optional<QString> problem = engineProblem(engine, locale))
        return problem;
    if (!(pipe.length() >= ShortestPipeMm))
        return QStringLiteral("Un tubo di %1 mm: il modello delle onde prende tubi di almeno %2 mm")
            .arg(mm(pipe.length()), mm(ShortestPipeMm));
    for (const PipeSection &s : pipe.sections) {
        if (!(std::min(s.dIn, s.dOut) >= 2 && std::max(s.dIn, s.dOut) <= 500))
            return QStringLiteral("Il modello delle onde prende tubi con diametri tra 2 e 500 mm");
        if (!(s.length >= ShortestSectionMm))
            return QStringLiteral("Un tratto di %1 mm: il modello delle onde prende tratti di "
                                  "almeno %2 mm")
                .arg(mm(s.length), mm(ShortestSectionMm));
    }
    for (const auto &[name, other] : otherPipes(o)) {
        for (const PipeSection &s : other.sections) {
            if (!(std::min(s.dIn, s.dOut) >= 2 && std::max(s.dIn, s.dOut) <= 500))
                return QStringLiteral("%1: il modello delle onde prende diametri tra 2 e 500 mm")
                    .arg(name);
        }
        if (!(other.length() >= ShortestPipeMm))
            return QStringLiteral("%1 \u00e8 lungo %2 mm: il modello delle onde prende tubi di "
                                  "almeno %3 mm")
                .arg(name, mm(other.length()), mm(ShortestPipeMm));
        if (!(other.length() / o.cellMm <= MaxCells))
            return QStringLiteral("%1 chiederebbe pi\u00f9 di %2 celle").arg(name).arg(MaxCells);
    }
    if (!(o.cellMm >= SmallestCellMm && o.cellMm <= LargestCellMm) ||
        !(pipe.length() / o.cellMm <= MaxCells))
        return QStringLiteral("Celle di %1 mm su un tubo di %2 mm: servono celle tra %3 e %4 mm "
                              "e al massimo %5 celle")
            .arg(mm(o.cellMm), c.toString(pipe.length(), 'f', 1), mm(SmallestCellMm),
                 mm(LargestCellMm))
            .arg(MaxCells);
    if (o.probes.size() > MaxProbes)
        return QStringLiteral("Al massimo %1 sonde").arg(MaxProbes);
    for (double x : o.probes) {
        if (!(x >= 0 && x <= pipe.length())) {
            // Enough digits to tell the probe from the pipe's end.
            int digits = 1;
            while (digits < 6 && c.toString(x, 'f', digits) == c.toString(pipe.length(), 'f', digits))
                ++digits;
            return QStringLiteral("La sonda a %1 mm \u00e8 oltre la fine del tubo, lungo %2 mm")
                .arg(c.toString(x, 'f', digits), c.toString(pipe.length(), 'f', digits));
        }
    }
    if (rpms.isEmpty() || rpms.size() > MaxSpeeds)
        return QStringLiteral("Da 1 a %1 regimi").arg(MaxSpeeds);
    for (double rpm : rpms) {
        if (!(rpm >= SlowestRpm && rpm <= FastestRpm))
            return QStringLiteral("Il regime %1 \u00e8 fuori dai regimi del modello (%2 - %3)")
                .arg(mm(rpm), mm(SlowestRpm), mm(FastestRpm));
    }
    const double work = estimatedWork(pipe, o, rpms) * pipes;
    if (work > LargestRunWork)
        return QStringLiteral("Troppo lavoro: %1 regimi%2 su %3 celle chiederebbero fino a circa "
                              "%4 milioni di aggiornamenti di cella, oltre il limite di %5 milioni "
                              "(circa due minuti su un processore). Ridurre i regimi o usare celle "
                              "pi\u00f9 lunghe")
            .arg(rpms.size())
            .arg(pipes > 1 ? QStringLiteral(" per %1 tubi").arg(pipes) : QString())
            .arg(c.toString(std::max(2.0, std::ceil(pipe.length() / o.cellMm - 1e-9)), 'f', 0),
                 c.toString(work / 1e6, 'f', 0), c.toString(LargestRunWork / 1e6, 'f', 0));
    return std::nullopt;
}

QList<SpeedResult> simulateSpeeds(const Pipe &pipe, const EngineInputs &engine,
                                  const WaveOptions &o, const QList<double> &rpms, int threads,
                                  const std::atomic<bool> *stop, std::atomic<int> *cyclesDone,
                                  std::atomic<int> *speedsDone,
                                  const QList<const WarmStart *> &starts)
{
    std::vector<SpeedResult> results(rpms.size());
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < rpms.size(); i = next++) {
            results[i] = simulateSpeed(pipe, engine, o, rpms[i], stop, cyclesDone,
                                       starts.value(i, nullptr));
            if (cyclesDone)
                cyclesDone->fetch_add(o.maxCycles - results[i].cycles);
            if (speedsDone)
                speedsDone->fetch_add(1);
        }
    };
    const int count =
        threads > 0 ? threads : int(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> pool;
    for (int t = 1; t < std::min(count, int(rpms.size())); ++t)
        pool.emplace_back(work);
    work();
    for (std::thread &t : pool)
        t.join();
    return QList<SpeedResult>(results.begin(), results.end());
}

} // namespace velmorant::waves
