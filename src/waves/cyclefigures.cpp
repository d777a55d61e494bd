// What a cycle of a speed run comes to: the figures a tuner reads, whether the run has
// settled, and the state it ends in.
#include "speedrun.h"

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

namespace {

constexpr double Kelvin = 273.15;

std::vector<Primitive> primitives(const DuctState &state, const Gas &g)
{
    std::vector<Primitive> out(state.rho.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = state.primitive(g, int(i));
    return out;
}

// A path's pipes after the first and its volumes, as a warm start keeps them.
void keepRest(const Chain &chain, const Gas &g, std::vector<std::vector<Primitive>> &rest,
              std::vector<engine::Volume> &volumes)
{
    for (int k = 1; k < chain.pipeCount(); ++k)
        rest.push_back(primitives(chain.pipe(k).state, g));
    for (int k = 0; k < chain.volumeCount(); ++k)
        volumes.push_back(chain.volume(k));
}

} // namespace

bool SpeedRun::settle(int cycle, const CycleTally &c)
{
    // Periodic when the port's trace repeats and the pipe passes on what it takes in.
    const std::vector<double> &p = result.traces[0].p;
    const auto [lo, hi] = std::minmax_element(p.begin(), p.end());
    double change = 0;
    for (int k = 0; k < SamplesPerCycle; ++k)
        change = std::max(change, std::abs(p[k] - previousPort[k]));
    previousPort = p;
    result.cycles = cycle;
    result.portMass = c.portMass;
    result.endMass = c.endMass;
    result.deliveryRatio = c.intakeMass / referenceMass;
    result.chargingEfficiency = c.trappedFresh / referenceMass;
    result.intakeBackflow = c.intakeBackflow / referenceMass;
    result.scavengingEfficiency = c.trappedMass > 0 ? c.trappedFresh / c.trappedMass : 0;
    // Of the fresh charge that came into the cylinder this cycle, the share kept: what was
    // trapped against what was trapped and what left net through the port. In a periodic
    // cycle that is trapped over delivered, and never more than 1 even while the crankcase is
    // still giving up the charge it started with.
    const double supplied = c.trappedFresh + std::max(0.0, c.lostFresh);
    result.trappingEfficiency = supplied > 0 ? c.trappedFresh / supplied : 0;
    result.energy = c.energy;
    result.peakPressure = c.peak / 1e5;
    result.peakAngle = c.peakAngle;
    result.eoPressure = c.eoPressure / 1e5;
    result.eoTemperature = c.eoTemperature - Kelvin;
    const double fmep =
        engine::twoStrokeFriction(in.frictionA, in.frictionB, in.frictionC, in.frictionD,
                                  result.peakPressure, meanPistonSpeed, in.frictionRevolutions);
    result.brake = engine::brakeFigures(c.energy.work, c.crankcaseWork, fmep, geo.swept, rpm,
                                        std::max(0.0, c.intakeMass) / (1 + in.airFuel));
    const double referenceHeat = referenceMass / (1 + in.airFuel) * in.lhv * 1e6;
    result.meanPressures = meanPressures(referenceHeat, geo.swept, result.deliveryRatio,
                                         result.chargingEfficiency, c.energy, result.brake);
    // Any figure the user reads: the intake's and the brake's as much as the exhaust's.
    if (!std::isfinite(change) || !std::isfinite(c.portMass) || !std::isfinite(c.trappedFresh) ||
        !std::isfinite(c.energy.work) || !std::isfinite(c.intakeMass) ||
        !std::isfinite(result.brake.powerKw) || !std::isfinite(result.brake.bmep)) {
        result.failed = true;
        return false;
    }
    const bool repeats = cycle > 1 && change < o.periodicTolerance * (*hi - *lo);
    // The path passes on what it takes in: its pipes and volumes hold the same gas cycle after
    // cycle.
    const bool balanced = std::abs(c.portMass - c.endMass) < 0.005 * std::abs(c.portMass);
    // The crankcase and the charge settled too: a crankcase still emptying the air it started
    // with feeds the cylinder more than the intake does.
    auto same = [](double a, double b) {
        return b >= 0 && std::abs(a - b) <= 0.005 * std::max(std::abs(a), std::abs(b));
    };
    const bool settled = same(c.trappedFresh, previousTrapped) &&
                         same(c.intakeMass, c.transferredFresh);
    previousTrapped = c.trappedFresh;
    if (repeats && balanced && settled) {
        result.periodic = true;
        return true;
    }
    return false;
}

void SpeedRun::finish()
{
    // The intake path runs from its mouth: its pipes are numbered from the crankcase.
    for (const Chain *c : {static_cast<const Chain *>(&exhaust), static_cast<const Chain *>(intake.get())}) {
        for (int k = 0; c && k < c->pipeCount(); ++k) {
            if (!c->computedWall(k))
                continue;
            const PipeRun &p = c->pipe(k);
            const bool out = c == &exhaust;
            WallProfile w{out, out ? k + 1 : c->pipeCount() - k, {}, p.scheme->wallKelvin()};
            for (int i = 0; i < p.cells(); ++i)
                w.xMm.push_back((i + 0.5) * p.duct.dx * 1000);
            if (!out) {
                std::reverse(w.kelvin.begin(), w.kelvin.end());
                std::reverse(w.xMm.begin(), w.xMm.end());
                for (double &x : w.xMm)
                    x = p.duct.length() * 1000 - x;
            }
            result.walls.append(w);
        }
    }
    if (o.keepSettled && !result.cancelled) {
        auto kept = std::make_shared<WarmStart>();
        kept->exhaust = primitives(exhaust.pipe(0).state, gas);
        keepRest(exhaust, gas, kept->exhaustRest, kept->exhaustVolumes);
        if (intake) {
            kept->intake = primitives(intake->pipe(0).state, gas);
            keepRest(*intake, gas, kept->intakeRest, kept->intakeVolumes);
        }
        if (transfer)
            kept->transfer = primitives(transfer->pipe(0).state, gas);
        kept->cylinder = cylinder;
        kept->crankcase = crankcase;
        result.settled = kept;
    }

    // The figures a tuner reads at the port.
    const Trace &port = result.traces[0];
    result.suction = 1e9;
    for (int k = 0; k < SamplesPerCycle; ++k) {
        const double angle = k * 0.5;
        if (angle >= geo.timing.to && angle <= geo.timing.tc)
            result.suction = std::min(result.suction, (port.p[k] - pAmb) / 1e5);
    }
    const int ecIndex = int(std::lround(geo.timing.ec * 2)) % SamplesPerCycle;
    result.plug = (port.p[ecIndex] - pAmb) / 1e5;
}

} // namespace velmorant::waves
