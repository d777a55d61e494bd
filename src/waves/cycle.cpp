#include "cycle.h"

#include "boundary.h"
#include "closedcycle.h"
#include "combustion.h"
#include "duct.h"
#include "heattransfer.h"
#include "scavenging.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace velmorant::waves {

namespace {

constexpr double Kelvin = 273.15;

using engine::Transfer;
using engine::Volume;

// One pipe of the run: its cells, its scheme and its gas, made where they stay (the scheme
// holds on to the cells).
struct PipeRun
{
    Duct duct;
    DuctState state;
    std::unique_ptr<Scheme> scheme;

    PipeRun(const Pipe &pipe, const Gas &gas, const WaveOptions &o, const Primitive &fill)
        : duct(ductOf(pipe, o.cellMm))
    {
        scheme = std::make_unique<Scheme>(duct, gas, o.friction);
        state.resize(duct.cells());
        for (int i = 0; i < duct.cells(); ++i)
            state.set(gas, i, fill);
    }
    int cells() const { return duct.cells(); }
    Primitive first(const Gas &g) const { return state.primitive(g, 0); }
    Primitive last(const Gas &g) const { return state.primitive(g, cells() - 1); }
};

// Gas laid along `cells` cells from `from`, another pipe's cells, by the fraction of the length:
// linear between the two old cells nearest each new cell's centre.
void layAlong(DuctState &state, const Gas &g, const std::vector<Primitive> &from)
{
    const int n = int(state.rho.size()), m = int(from.size());
    if (m == 0)
        return;
    for (int i = 0; i < n; ++i) {
        const double at = std::clamp((i + 0.5) / n * m - 0.5, 0.0, double(m - 1));
        const int k = std::min(int(at), m - 1), k1 = std::min(k + 1, m - 1);
        const double f = at - k;
        const Primitive &a = from[k], &b = from[k1];
        state.set(g, i, Primitive{a.rho + f * (b.rho - a.rho), a.u + f * (b.u - a.u),
                                  a.p + f * (b.p - a.p), a.y + f * (b.y - a.y)});
    }
}

std::vector<Primitive> primitives(const DuctState &state, const Gas &g)
{
    std::vector<Primitive> out(state.rho.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = state.primitive(g, int(i));
    return out;
}

// Linear between the states before and after a step, at the share `f` of it.
Primitive between(const Primitive &a, const Primitive &b, double f)
{
    return {a.rho + f * (b.rho - a.rho), a.u + f * (b.u - a.u), a.p + f * (b.p - a.p),
            a.y + f * (b.y - a.y)};
}

} // namespace

SpeedResult simulateSpeed(const Pipe &pipe, const EngineInputs &in, const WaveOptions &o,
                          double rpm, const std::atomic<bool> *stop, std::atomic<int> *cyclesDone,
                          const WarmStart *start)
{
    SpeedResult result;
    result.rpm = rpm;
    const Gas gas;
    const EngineGeometry geo = engineGeometry(in);
    const PortTiming timing = geo.timing;
    const double eo = timing.eo, ec = timing.ec, to = timing.to, tc = timing.tc;
    const double pAmb = in.ambientPressure * 1e5, tAmb = in.ambientTemperature + Kelvin;
    const double degreesPerSecond = 6 * rpm;
    const bool fired = in.cycle == engine::Cycle::Fired;
    const engine::Scavenging model = in.scavengingModel();
    const bool mixing = model == engine::Scavenging::Mixing;

    PipeRun exhaust(pipe, gas, o, Primitive{pAmb / (gas.r * (in.pipeTemperature + Kelvin)), 0, pAmb, 0});
    if (!o.mitreJoints.isEmpty()) {
        std::vector<std::pair<double, double>> joints;
        for (const MitreJoint &j : o.mitreJoints)
            joints.emplace_back(j.atMm / 1000, j.angleDeg);
        exhaust.scheme->setJoints(joints, o.bendLosses);
    }
    const int n = exhaust.cells();
    std::unique_ptr<PipeRun> intake;
    if (o.intakePipe)
        intake = std::make_unique<PipeRun>(*o.intakePipe, gas, o,
                                           Primitive{pAmb / (gas.r * tAmb), 0, pAmb, 1});
    const bool pistonIntake = geo.pistonIntake();

    // The stations: the port's cell, then each probe's.
    std::vector<int> stations{0};
    result.traces.append(Trace{0, {}, {}, {}});
    for (double x : o.probes) {
        stations.push_back(exhaust.duct.cellAt(x / 1000));
        result.traces.append(Trace{x, {}, {}, {}});
    }
    for (Trace &t : result.traces) {
        t.p.assign(SamplesPerCycle, 0);
        t.t.assign(SamplesPerCycle, 0);
        t.u.assign(SamplesPerCycle, 0);
    }
    result.cylinderPressure.assign(SamplesPerCycle, 0);
    result.portFlow.assign(SamplesPerCycle, 0);
    std::vector<double> previousPort(SamplesPerCycle, 0);
    std::vector<Primitive> before(stations.size()), after(stations.size());
    double previousTrapped = -1;

    Volume cylinder, crankcase;
    crankcase.fill(gas, pAmb, tAmb, geo.crankcaseVolume(geo.travel(eo)), 1);
    // The fixed state opens every cycle; the firing engine's first cycle starts from it.
    cylinder.fill(gas, in.eoPressure * 1e5, in.eoTemperature + Kelvin,
                  geo.cylinderVolume(geo.travel(eo)), 0);
    if (start) {
        layAlong(exhaust.state, gas, start->exhaust);
        if (intake)
            layAlong(intake->state, gas, start->intake);
        cylinder = start->cylinder;
        crankcase = start->crankcase;
    }
    const double referenceMass = pAmb / (gas.r * tAmb) * geo.swept;
    const double tiny = 1e-12;
    const double trappedVolume = geo.cylinderVolume(geo.travel(ec));
    const engine::Walls walls{fired ? in.heatTransfer : 0, in.wallTemperature + Kelvin};
    const double meanPistonSpeed = geo.meanPistonSpeed(rpm);
    engine::Burn burn;
    burn.start = std::max(360 - in.ignition, ec);
    burn.duration = in.burnDuration;
    burn.a = in.wiebeA;
    burn.m = in.wiebeM;

    for (int cycle = 1; cycle <= o.maxCycles; ++cycle) {
        if (!fired)
            cylinder.fill(gas, in.eoPressure * 1e5, in.eoTemperature + Kelvin,
                          geo.cylinderVolume(geo.travel(eo)), 0);
        const double eoVolume = geo.cylinderVolume(geo.travel(eo));
        const double eoPressure = cylinder.pressure(gas, eoVolume);
        const double eoTemperature = cylinder.temperature(gas);
        double portMass = 0, endMass = 0, intakeMass = 0, trappedFresh = 0, trappedMass = 0;
        double lostFresh = 0, transferredFresh = 0, sr = 0;
        double crankcaseWork = 0, peak = 0, peakAngle = 0;
        EnergyBalance energy;
        double theta = eo;
        const double end = eo + 360;
        bool wasOpen = true;
        int nextSample = int(std::floor(eo * 2)) + 1; // half degrees
        double travelNow = geo.travel(theta);
        while (theta < end) {
            if (stop && stop->load(std::memory_order_relaxed)) {
                result.cancelled = true;
                return result;
            }
            double dt = exhaust.scheme->stableStep(exhaust.state, o.cfl);
            if (intake)
                dt = std::min(dt, intake->scheme->stableStep(intake->state, o.cfl));
            dt = std::min(dt, 0.5 / degreesPerSecond); // at most half a degree
            dt = std::min(dt, (end - theta) / degreesPerSecond);
            if (wasOpen && theta < ec)
                dt = std::min(dt, std::max((ec - theta) / degreesPerSecond, 1e-12));
            const double thetaNext = theta + dt * degreesPerSecond;
            const double mid = (theta + thetaNext) / 2;
            // The piston now, half way through the step and at its end.
            const double travelMid = geo.travel(mid), travelNext = geo.travel(thetaNext);
            const EngineGeometry::Ports ports = geo.portsAt(mid, travelMid);
            const bool open = ports.exhaust > 0 || ports.transfer > 0;
            if (wasOpen && !open) {
                // Trapped: what the burn will take.
                trappedFresh = cylinder.fresh;
                trappedMass = cylinder.m;
                burn.fresh = trappedFresh;
                burn.heat = fired ? engine::chargeHeat(engine::chargeOf(trappedFresh, in.airFuel),
                                                       in.lhv, in.combustionEfficiency)
                                  : 0;
            }
            const double cylinderBefore = cylinder.pressure(gas, geo.cylinderVolume(travelNow));

            const Primitive first = exhaust.first(gas), last = exhaust.last(gas);
            const double vCyl = geo.cylinderVolume(travelMid);

            // The crankcase breathes through its intake and feeds the transfers.
            const double vCc = geo.crankcaseVolume(travelMid);
            const double pCc = crankcase.pressure(gas, vCc), tCc = crankcase.temperature(gas);
            Transfer in_;
            if (intake) {
                const Reservoir cc{pCc, tCc, crankcase.purity()};
                const double area =
                    pistonIntake ? ports.intake : geo.intakeCd * geo.intakeArea;
                const Flux mouth = openStartFace(gas, pAmb, tAmb, intake->first(gas),
                                                 intake->duct.faceArea[0], 1);
                const Flux into = portEndFace(gas, cc, area, intake->last(gas),
                                              intake->duct.faceArea[intake->cells()], !pistonIntake);
                intake->scheme->advance(intake->state, dt, mouth, into);
                result.cellUpdates += intake->cells();
                in_ = {into.mass, into.energy, into.fresh};
            } else if (pistonIntake) {
                in_ = engine::between(gas, ports.intake, pAmb, tAmb, 1, pCc, tCc,
                                      crankcase.purity());
            } else {
                const double m = orificeFlow(gas, geo.intakeCd * geo.intakeArea, pAmb, tAmb, pCc);
                in_ = {m, m * gas.cp() * tAmb, m};
            }
            crankcase.exchange(in_.mass * dt, in_.energy * dt, in_.fresh * dt);
            intakeMass += in_.mass * dt;
            Transfer t;
            const double pCyl = cylinder.pressure(gas, vCyl), tCyl = cylinder.temperature(gas);
            if (open) {
                t = engine::between(gas, ports.transfer, pCc, tCc, crankcase.purity(), pCyl, tCyl,
                                    cylinder.purity());
                // The scavenge ratio: the fresh charge delivered, as a volume at its own
                // temperature (the crankcase's) and the cylinder's pressure, over the volume
                // trapped at exhaust closing.
                sr = std::max(0.0, sr + t.fresh * dt * gas.r * tCc / (pCyl * trappedVolume));
            }

            // The port: the cylinder while it is open, a closed end otherwise. What leaves
            // carries the fresh charge the scavenging model lets go.
            Flux port{0, 0, 0, 0};
            if (open) {
                const Reservoir res{pCyl, tCyl, cylinder.purity()};
                port = portFace(gas, res, ports.exhaust, first, exhaust.duct.faceArea[0]);
                if (!mixing && port.mass > 0)
                    port.fresh = engine::freshReleased(model, sr, cylinder.fresh + t.fresh * dt,
                                                       cylinder.m + t.mass * dt, port.mass * dt) /
                                 dt;
            } else {
                port = wallFace(gas, first, exhaust.duct.faceArea[0], false);
            }
            const Flux openEnd = openEndFace(gas, pAmb, tAmb, last, exhaust.duct.faceArea[n]);
            for (std::size_t k = 0; k < stations.size(); ++k)
                before[k] = exhaust.state.primitive(gas, stations[k]);
            exhaust.scheme->advance(exhaust.state, dt, port, openEnd);
            result.cellUpdates += n;
            portMass += port.mass * dt;
            endMass += openEnd.mass * dt;
            if (open)
                lostFresh += port.fresh * dt;

            const double dVcc = geo.pistonArea * (travelNow - travelNext);
            const double dV = geo.pistonArea * (travelNext - travelNow);
            if (open) {
                crankcase.exchange(-t.mass * dt, -t.energy * dt, -t.fresh * dt);
                const double wall = engine::wallHeat(walls.a, geo, travelMid, cylinder.m, pCyl, tCyl,
                                                     vCyl, gas.cv(), walls.kelvin,
                                                     meanPistonSpeed, dt);
                cylinder.exchange(t.mass * dt - port.mass * dt,
                                  t.energy * dt - port.energy * dt - pCyl * dV - wall,
                                  t.fresh * dt - port.fresh * dt);
                cylinder.keepPhysical(tiny);
                transferredFresh += t.fresh * dt;
                energy.work += pCyl * dV;
                energy.wallHeat += wall;
                energy.exhaust += port.energy * dt;
                energy.intake += t.energy * dt;
            } else {
                const engine::ClosedStep step = engine::advanceClosed(
                    cylinder, gas, geo, burn, walls, rpm, theta, thetaNext);
                energy.work += step.work;
                energy.fuel += step.released;
                energy.wallHeat += step.wall;
                cylinder.keepPhysical(tiny);
            }
            crankcaseWork += pCc * dVcc;
            crankcase.exchange(0, -pCc * dVcc, 0);
            crankcase.keepPhysical(tiny);
            const double cylinderAfter = cylinder.pressure(gas, geo.cylinderVolume(travelNext));
            if (cylinderAfter > peak) {
                peak = cylinderAfter;
                peakAngle = std::fmod(thetaNext, 360);
            }

            // Samples on the half degrees crossed, between the states before and after.
            for (std::size_t k = 0; k < stations.size(); ++k)
                after[k] = exhaust.state.primitive(gas, stations[k]);
            while (nextSample * 0.5 <= thetaNext && nextSample * 0.5 <= end) {
                const double f = (nextSample * 0.5 - theta) / (thetaNext - theta);
                const int index =
                    ((nextSample % SamplesPerCycle) + SamplesPerCycle) % SamplesPerCycle;
                for (std::size_t k = 0; k < stations.size(); ++k) {
                    const Primitive w = waves::between(before[k], after[k], f);
                    Trace &tr = result.traces[int(k)];
                    tr.p[index] = w.p;
                    tr.t[index] = w.p / (gas.r * w.rho);
                    tr.u[index] = w.u;
                }
                result.cylinderPressure[index] = cylinderBefore + f * (cylinderAfter - cylinderBefore);
                result.portFlow[index] = port.mass;
                ++nextSample;
            }
            theta = thetaNext;
            travelNow = travelNext;
            wasOpen = open;
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
        result.scavengingEfficiency = trappedMass > 0 ? trappedFresh / trappedMass : 0;
        // Of the fresh charge that came into the cylinder this cycle, the share kept: what was
        // trapped against what was trapped and what left net through the port. In a periodic
        // cycle that is trapped over delivered, and never more than 1 even while the crankcase
        // is still giving up the charge it started with.
        const double supplied = trappedFresh + std::max(0.0, lostFresh);
        result.trappingEfficiency = supplied > 0 ? trappedFresh / supplied : 0;
        result.energy = energy;
        result.peakPressure = peak / 1e5;
        result.peakAngle = peakAngle;
        result.eoPressure = eoPressure / 1e5;
        result.eoTemperature = eoTemperature - Kelvin;
        const double fmep = engine::chenFlynn(in.frictionA, in.frictionB, in.frictionC,
                                              in.frictionD, result.peakPressure, meanPistonSpeed);
        result.brake = engine::brakeFigures(energy.work, crankcaseWork, fmep, geo.swept, rpm,
                                            std::max(0.0, intakeMass) / (1 + in.airFuel));
        if (cyclesDone)
            cyclesDone->fetch_add(1, std::memory_order_relaxed);
        // Any figure the user reads: the intake's and the brake's as much as the exhaust's.
        if (!std::isfinite(change) || !std::isfinite(portMass) || !std::isfinite(trappedFresh) ||
            !std::isfinite(energy.work) || !std::isfinite(intakeMass) ||
            !std::isfinite(result.brake.powerKw) || !std::isfinite(result.brake.bmep)) {
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

    if (o.keepSettled && !result.cancelled) {
        auto settled = std::make_shared<WarmStart>();
        settled->exhaust = primitives(exhaust.state, gas);
        if (intake)
            settled->intake = primitives(intake->state, gas);
        settled->cylinder = cylinder;
        settled->crankcase = crankcase;
        result.settled = settled;
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

} // namespace velmorant::waves
