#include "cycle.h"

#include "band.h"
#include "boundary.h"
#include "duct.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <thread>

namespace velmorant::waves {

namespace {

constexpr double Kelvin = 273.15;

// A volume of well-mixed gas: mass, internal energy and the mass of fresh charge in it.
struct Volume
{
    double m = 0, u = 0, fresh = 0;

    void fill(const Gas &g, double p, double t, double v, double y)
    {
        m = p * v / (g.r * t);
        u = m * g.r * t / (g.gamma - 1);
        fresh = y * m;
    }
    double pressure(const Gas &g, double v) const { return (g.gamma - 1) * u / v; }
    double temperature(const Gas &g) const { return (g.gamma - 1) * u / (m * g.r); }
    double purity() const { return m > 0 ? std::clamp(fresh / m, 0.0, 1.0) : 0; }
    // Gas in (dm > 0, with stagnation enthalpy h0 and purity y) or out, and work done on it.
    void exchange(double dm, double energy, double dFresh)
    {
        m += dm;
        u += energy;
        fresh += dFresh;
    }
    void keepPhysical(double minimum)
    {
        m = std::max(m, minimum);
        u = std::max(u, minimum);
        fresh = std::clamp(fresh, 0.0, m);
    }
};

// The flow through an orifice between two volumes, from the higher pressure to the lower:
// kg/s from a to b (negative from b to a), with its enthalpy and fresh charge.
struct Transfer
{
    double mass = 0, energy = 0, fresh = 0;
};
Transfer between(const Gas &g, double area, double pa, double ta, double ya, double pb, double tb,
                 double yb)
{
    if (pa >= pb) {
        const double m = orificeFlow(g, area, pa, ta, pb);
        return {m, m * g.cp() * ta, m * ya};
    }
    const double m = orificeFlow(g, area, pb, tb, pa);
    return {-m, -m * g.cp() * tb, -m * yb};
}

} // namespace

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

double estimatedWork(const Pipe &pipe, const WaveOptions &o, const QList<double> &rpms)
{
    constexpr double SignalSpeed = 1000; // m/s: sound in the hottest gas and its flow
    const double length = pipe.length();
    const double cells = std::max(2.0, std::ceil(length / o.cellMm - 1e-9));
    const double dx = length / cells / 1000;
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

SpeedResult simulateSpeed(const Pipe &pipe, const EngineInputs &in, const WaveOptions &o,
                          double rpm, const std::atomic<bool> *stop, std::atomic<int> *cyclesDone)
{
    SpeedResult result;
    result.rpm = rpm;
    const Gas gas;
    const Duct duct = ductOf(pipe, o.cellMm);
    const EngineGeometry geo = engineGeometry(in);
    const int n = duct.cells();
    Scheme scheme(duct, gas, o.friction);

    const double pAmb = in.ambientPressure * 1e5, tAmb = in.ambientTemperature + Kelvin;
    const auto [eo, ec, to, tc] = portTiming(in.sc, in.asp);
    const double degreesPerSecond = 6 * rpm;

    DuctState s;
    s.resize(n);
    const Primitive still{pAmb / (gas.r * (in.pipeTemperature + Kelvin)), 0, pAmb, 0};
    for (int i = 0; i < n; ++i)
        s.set(gas, i, still);

    // The stations: the port's cell, then each probe's.
    std::vector<int> stations{0};
    result.traces.append(Trace{0, {}, {}, {}});
    for (double x : o.probes) {
        stations.push_back(duct.cellAt(x / 1000));
        result.traces.append(Trace{x, {}, {}, {}});
    }
    for (Trace &t : result.traces) {
        t.p.assign(SamplesPerCycle, 0);
        t.t.assign(SamplesPerCycle, 0);
        t.u.assign(SamplesPerCycle, 0);
    }
    std::vector<double> previousPort(SamplesPerCycle, 0);
    double previousTrapped = -1;
    std::vector<Primitive> before(stations.size()), after(stations.size());

    Volume cylinder, crankcase;
    crankcase.fill(gas, pAmb, tAmb, geo.crankcaseVolume(geo.travel(eo)), 1);
    const double referenceMass = pAmb / (gas.r * tAmb) * geo.swept;
    const double tiny = 1e-12;

    for (int cycle = 1; cycle <= o.maxCycles; ++cycle) {
        // The exhaust opens on the cylinder's burnt charge at the given state.
        cylinder.fill(gas, in.eoPressure * 1e5, in.eoTemperature + Kelvin,
                      geo.cylinderVolume(geo.travel(eo)), 0);
        double portMass = 0, endMass = 0, intakeMass = 0, trappedFresh = 0, lostFresh = 0;
        double transferredFresh = 0; // net, crankcase to cylinder
        double theta = eo;
        const double end = eo + 360;
        bool cylinderOpen = true;
        int nextSample = int(std::floor(eo * 2)) + 1; // half degrees
        double travelNow = geo.travel(theta);
        while (theta < end) {
            if (stop && stop->load(std::memory_order_relaxed)) {
                result.cancelled = true;
                return result;
            }
            double dt = scheme.stableStep(s, o.cfl);
            dt = std::min(dt, 0.5 / degreesPerSecond); // at most half a degree
            dt = std::min(dt, (end - theta) / degreesPerSecond);
            if (cylinderOpen && theta < ec)
                dt = std::min(dt, std::max((ec - theta) / degreesPerSecond, 1e-12));
            const double thetaNext = theta + dt * degreesPerSecond;
            const double mid = (theta + thetaNext) / 2;
            // The piston now, half way through the step and at its end.
            const double travelMid = geo.travel(mid), travelNext = geo.travel(thetaNext);

            // The port: the cylinder while the exhaust is open, a closed end otherwise.
            const Primitive first = s.primitive(gas, 0), last = s.primitive(gas, n - 1);
            Flux port{0, 0, 0, 0};
            const double vCyl = geo.cylinderVolume(travelMid);
            if (cylinderOpen) {
                const Reservoir res{cylinder.pressure(gas, vCyl), cylinder.temperature(gas),
                                    cylinder.purity()};
                port = portFace(gas, res, in.exhaustCd * geo.exhaustArea(travelMid), first,
                                duct.faceArea[0]);
            } else {
                port = wallFace(gas, first, duct.faceArea[0], false);
            }
            const Flux open = openEndFace(gas, pAmb, tAmb, last, duct.faceArea[n]);
            for (std::size_t k = 0; k < stations.size(); ++k)
                before[k] = s.primitive(gas, stations[k]);
            scheme.advance(s, dt, port, open);
            result.cellUpdates += n;
            portMass += port.mass * dt;
            endMass += open.mass * dt;
            if (cylinderOpen)
                lostFresh += port.fresh * dt;

            // The crankcase breathes through the one-way intake and feeds the transfers.
            const double vCc = geo.crankcaseVolume(travelMid);
            const double pCc = crankcase.pressure(gas, vCc), tCc = crankcase.temperature(gas);
            const double intake = orificeFlow(gas, in.intakeCd * geo.intakeArea, pAmb, tAmb, pCc);
            crankcase.exchange(intake * dt, intake * dt * gas.cp() * tAmb, intake * dt);
            intakeMass += intake * dt;
            const double dVcc = geo.pistonArea * (travelNow - travelNext);
            if (cylinderOpen) {
                const double pCyl = cylinder.pressure(gas, vCyl), tCyl = cylinder.temperature(gas);
                const Transfer t = between(gas, in.transferCd * geo.transferArea(travelMid), pCc,
                                           tCc, crankcase.purity(), pCyl, tCyl, cylinder.purity());
                crankcase.exchange(-t.mass * dt, -t.energy * dt, -t.fresh * dt);
                transferredFresh += t.fresh * dt;
                const double dV = geo.pistonArea * (travelNext - travelNow);
                cylinder.exchange(t.mass * dt - port.mass * dt,
                                  t.energy * dt - port.energy * dt - pCyl * dV,
                                  t.fresh * dt - port.fresh * dt);
                cylinder.keepPhysical(tiny);
            }
            crankcase.exchange(0, -pCc * dVcc, 0);
            crankcase.keepPhysical(tiny);

            // Samples on the half degrees crossed, between the states before and after.
            for (std::size_t k = 0; k < stations.size(); ++k)
                after[k] = s.primitive(gas, stations[k]);
            while (nextSample * 0.5 <= thetaNext && nextSample * 0.5 <= end) {
                const double f = (nextSample * 0.5 - theta) / (thetaNext - theta);
                const int index =
                    ((nextSample % SamplesPerCycle) + SamplesPerCycle) % SamplesPerCycle;
                for (std::size_t k = 0; k < stations.size(); ++k) {
                    const Primitive &a = before[k], &b = after[k];
                    const double rho = a.rho + f * (b.rho - a.rho);
                    const double p = a.p + f * (b.p - a.p);
                    Trace &tr = result.traces[int(k)];
                    tr.p[index] = p;
                    tr.t[index] = p / (gas.r * rho);
                    tr.u[index] = a.u + f * (b.u - a.u);
                }
                ++nextSample;
            }
            theta = thetaNext;
            travelNow = travelNext;
            if (cylinderOpen && theta >= ec - 1e-9) {
                trappedFresh = cylinder.fresh;
                cylinderOpen = false;
            }
        }

        // Periodic when the port's trace repeats and the pipe passes on what it takes in.
        const std::vector<double> &p = result.traces[0].p;
        const auto [lo, hi] = std::minmax_element(p.begin(), p.end());
        double change = 0;
        for (int k = 0; k < SamplesPerCycle; ++k)
            change = std::max(change, std::abs(p[k] - previousPort[k]));
        previousPort = p;
        result.cycles = cycle;
        result.portMass = portMass;
        result.endMass = endMass;
        result.deliveryRatio = intakeMass / referenceMass;
        result.chargingEfficiency = trappedFresh / referenceMass;
        // Of the fresh charge that came into the cylinder this cycle, the share kept: what was
        // trapped against what was trapped and what left net through the port. In a periodic
        // cycle that is trapped over delivered, and never more than 1 even while the crankcase
        // is still giving up the charge it started with.
        const double supplied = trappedFresh + std::max(0.0, lostFresh);
        result.trappingEfficiency = supplied > 0 ? trappedFresh / supplied : 0;
        if (cyclesDone)
            cyclesDone->fetch_add(1, std::memory_order_relaxed);
        if (!std::isfinite(change) || !std::isfinite(portMass) || !std::isfinite(trappedFresh)) {
            result.failed = true;
            return result;
        }
        const bool repeats = cycle > 1 && change < o.periodicTolerance * (*hi - *lo);
        const bool balanced = std::abs(portMass - endMass) < 0.005 * std::abs(portMass);
        // The crankcase and the charge settled too: a crankcase still emptying the air it
        // started with feeds the cylinder more than the intake does.
        auto same = [](double a, double b) {
            return b >= 0 && std::abs(a - b) <= 0.005 * std::max(std::abs(a), std::abs(b));
        };
        const bool settled =
            same(trappedFresh, previousTrapped) && same(intakeMass, transferredFresh);
        previousTrapped = trappedFresh;
        if (repeats && balanced && settled) {
            result.periodic = true;
            break;
        }
    }

    // The figures a tuner reads at the port.
    const Trace &port = result.traces[0];
    result.suction = 1e9;
    for (int k = 0; k < SamplesPerCycle; ++k) {
        const double angle = k * 0.5;
        if (angle >= to && angle <= tc)
            result.suction = std::min(result.suction, (port.p[k] - pAmb) / 1e5);
    }
    const int ecIndex = int(std::lround(ec * 2)) % SamplesPerCycle;
    result.plug = (port.p[ecIndex] - pAmb) / 1e5;
    return result;
}

QList<SpeedResult> simulateSpeeds(const Pipe &pipe, const EngineInputs &engine,
                                  const WaveOptions &o, const QList<double> &rpms, int threads,
                                  const std::atomic<bool> *stop, std::atomic<int> *cyclesDone,
                                  std::atomic<int> *speedsDone)
{
    std::vector<SpeedResult> results(rpms.size());
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < rpms.size(); i = next++) {
            results[i] = simulateSpeed(pipe, engine, o, rpms[i], stop, cyclesDone);
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
