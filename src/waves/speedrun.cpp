#include "speedrun.h"

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

namespace {

constexpr double Kelvin = 273.15;
constexpr double Tiny = 1e-12;

using engine::Transfer;

// The exhaust as the run takes it: the path's pipes and volumes, its first pipe the run's own.
GasPath exhaustOf(const Pipe &pipe, const WaveOptions &o)
{
    GasPath path = o.exhaustPath.value_or(GasPath{{PathPipe{pipe, {}}}, {}});
    path.pipes.first().pipe = pipe;
    return path;
}

// Gas laid along `state`'s cells from `from`, another pipe's cells, by the fraction of the
// length: linear between the two old cells nearest each new cell's centre.
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
                                  a.p + f * (b.p - a.p), a.y + f * (b.y - a.y),
                                  a.b + f * (b.b - a.b)});
    }
}

// A path's pipes after the first and its volumes from a warm start of the same shape.
void layRest(Chain &chain, const Gas &g, const std::vector<std::vector<Primitive>> &rest,
             const std::vector<engine::Volume> &volumes)
{
    if (int(rest.size()) + 1 != chain.pipeCount() || int(volumes.size()) != chain.volumeCount())
        return;
    for (int k = 1; k < chain.pipeCount(); ++k)
        layAlong(chain.pipe(k).state, g, rest[std::size_t(k - 1)]);
    for (int k = 0; k < chain.volumeCount(); ++k)
        chain.volume(k) = volumes[std::size_t(k)];
}

// Linear between the states before and after a step, at the share `f` of it.
Primitive between(const Primitive &a, const Primitive &b, double f)
{
    return {a.rho + f * (b.rho - a.rho), a.u + f * (b.u - a.u), a.p + f * (b.p - a.p),
            a.y + f * (b.y - a.y), a.b + f * (b.b - a.b)};
}

} // namespace

SpeedRun::SpeedRun(const Pipe &pipe, const EngineInputs &in, const WaveOptions &o, double rpm,
                   const WarmStart *start)
    : in(in), o(o), geo(engineGeometry(in)), rpm(rpm), pAmb(in.ambientPressure * 1e5),
      tAmb(in.ambientTemperature + Kelvin), degreesPerSecond(6 * rpm),
      fired(in.cycle == engine::Cycle::Fired), pistonIntake(geo.pistonIntake()),
      mixing(in.scavengingModel() == engine::Scavenging::Mixing), model(in.scavengingModel()),
      exhaust(exhaustOf(pipe, o), gas, o.cellMm, o.friction,
              Primitive{pAmb / (gas.r * (in.pipeTemperature + Kelvin)), 0, pAmb, 0, 1},
              Chain::End::Given, Chain::End::Open, o.variableGas)
{
    result.rpm = rpm;
    if (o.ports && o.ports->reed)
        reed.emplace(*o.ports->reed);
    result.exhaustOpens = geo.timing.eo;
    exhaust.setAmbient(pAmb, tAmb, 0);
    if (!o.mitreJoints.isEmpty()) {
        std::vector<std::pair<double, double>> joints;
        for (const MitreJoint &j : o.mitreJoints)
            joints.emplace_back(j.atMm / 1000, j.angleDeg);
        exhaust.pipe(0).scheme->setJoints(joints, o.bendLosses);
    }
    const Primitive air{pAmb / (gas.r * tAmb), 0, pAmb, 1};
    if (o.intakePath || o.intakePipe) {
        const GasPath path = o.intakePath ? o.intakePath->reversed()
                                          : GasPath{{PathPipe{*o.intakePipe, {}}}, {}};
        intake = std::make_unique<Chain>(path, gas, o.cellMm, o.friction, air, Chain::End::Open,
                                         Chain::End::Given, o.variableGas);
        intake->setAmbient(pAmb, tAmb, 1);
    }
    if (o.transferDuct) {
        transfer = std::make_unique<Chain>(GasPath{{PathPipe{o.transferDuct->pipe(), {}}}, {}},
                                           gas, o.cellMm, o.friction, air, Chain::End::Given,
                                           Chain::End::Given, o.variableGas);
    }

    // The stations: the port's cell, then each probe's.
    stations.push_back(0);
    result.traces.append(Trace{0, {}, {}, {}});
    for (double x : o.probes) {
        stations.push_back(exhaust.pipe(0).duct.cellAt(x / 1000));
        result.traces.append(Trace{x, {}, {}, {}});
    }
    for (Trace &t : result.traces) {
        t.p.assign(SamplesPerCycle, 0);
        t.t.assign(SamplesPerCycle, 0);
        t.u.assign(SamplesPerCycle, 0);
    }
    for (int k = 0; k < exhaust.volumeCount(); ++k)
        result.volumes.append(VolumeTrace{true, o.exhaustPath->volumes[k].element, {}, {}});
    for (int k = 0; intake && k < intake->volumeCount(); ++k)
        result.volumes.append(VolumeTrace{false, o.intakePath->volumes[k].element, {}, {}});
    for (VolumeTrace &v : result.volumes) {
        v.p.assign(SamplesPerCycle, 0);
        v.t.assign(SamplesPerCycle, 0);
    }
    result.cylinderPressure.assign(SamplesPerCycle, 0);
    result.portFlow.assign(SamplesPerCycle, 0);
    previousPort.assign(SamplesPerCycle, 0);
    before.resize(stations.size());
    after.resize(stations.size());

    fill(start);
    referenceMass = pAmb / (gas.r * tAmb) * geo.swept;
    trappedVolume = geo.cylinderVolume(geo.travel(geo.timing.ec));
    walls = engine::Walls{fired ? in.heatTransfer : 0, in.wallTemperature + Kelvin};
    meanPistonSpeed = geo.meanPistonSpeed(rpm);
    burn.start = std::max(360 - in.ignition, geo.timing.ec);
    burn.duration = in.burnDuration;
    burn.a = in.wiebeA;
    burn.m = in.wiebeM;
}

void SpeedRun::fill(const WarmStart *start)
{
    const double eo = geo.timing.eo;
    crankcase.fill(gas, pAmb, tAmb, geo.crankcaseVolume(geo.travel(eo)), 1);
    // The fixed state opens every cycle; the firing engine's first cycle starts from it.
    cylinder.fill(gas, in.eoPressure * 1e5, in.eoTemperature + Kelvin,
                  geo.cylinderVolume(geo.travel(eo)), 0);
    if (!start)
        return;
    layAlong(exhaust.pipe(0).state, gas, start->exhaust);
    layRest(exhaust, gas, start->exhaustRest, start->exhaustVolumes);
    if (intake) {
        layAlong(intake->pipe(0).state, gas, start->intake);
        layRest(*intake, gas, start->intakeRest, start->intakeVolumes);
    }
    if (transfer)
        layAlong(transfer->pipe(0).state, gas, start->transfer);
    cylinder = start->cylinder;
    crankcase = start->crankcase;
}

void SpeedRun::volumeStates(std::vector<std::pair<double, double>> &into) const
{
    into.clear();
    for (const Chain *c : {static_cast<const Chain *>(&exhaust), static_cast<const Chain *>(intake.get())}) {
        for (int k = 0; c && k < c->volumeCount(); ++k)
            into.emplace_back(c->volume(k).pressure(c->volumeGas(k), c->volumeM3(k)),
                              c->volume(k).temperature(c->volumeGas(k)));
    }
}

bool SpeedRun::cycle(CycleTally &tally, const std::atomic<bool> *stop)
{
    const PortTiming timing = geo.timing;
    const double eo = timing.eo, ec = timing.ec;
    if (!fired)
        cylinder.fill(gas, in.eoPressure * 1e5, in.eoTemperature + Kelvin,
                      geo.cylinderVolume(geo.travel(eo)), 0);
    const double eoVolume = geo.cylinderVolume(geo.travel(eo));
    tally.eoPressure = cylinder.pressure(gas, eoVolume);
    tally.eoTemperature = cylinder.temperature(gas);
    double theta = eo;
    const double end = eo + 360;
    bool wasOpen = true;
    int nextSample = int(std::floor(eo * 2)) + 1; // half degrees
    while (theta < end) {
        if (stop && stop->load(std::memory_order_relaxed)) {
            result.cancelled = true;
            return false;
        }
        double dt = exhaust.stableStep(o.cfl);
        if (intake)
            dt = std::min(dt, intake->stableStep(o.cfl));
        if (transfer)
            dt = std::min(dt, transfer->stableStep(o.cfl));
        dt = std::min(dt, 0.5 / degreesPerSecond); // at most half a degree
        dt = std::min(dt, (end - theta) / degreesPerSecond);
        if (wasOpen && theta < ec)
            dt = std::min(dt, std::max((ec - theta) / degreesPerSecond, 1e-12));
        const double thetaNext = theta + dt * degreesPerSecond;
        const double cylinderBefore = cylinder.pressure(gas, geo.cylinderVolume(geo.travel(theta)));
        const double portFlow = step(theta, thetaNext, dt, wasOpen, tally);
        const double cylinderAfter = cylinder.pressure(gas, geo.cylinderVolume(geo.travel(thetaNext)));
        if (cylinderAfter > tally.peak) {
            tally.peak = cylinderAfter;
            tally.peakAngle = std::fmod(thetaNext, 360);
        }
        sample(theta, thetaNext, end, nextSample, cylinderBefore, cylinderAfter, portFlow);
        theta = thetaNext;
    }
    // Walls that find their own temperature take the cycle's heat; volumes creeping towards
    // their temperature are brought to it.
    exhaust.settleWalls();
    if (o.hastenVolumes)
        exhaust.hastenVolumes();
    if (intake) {
        intake->settleWalls();
        if (o.hastenVolumes)
            intake->hastenVolumes();
    }
    return true;
}

double SpeedRun::step(double theta, double thetaNext, double dt, bool &wasOpen, CycleTally &tally)
{
    const double mid = (theta + thetaNext) / 2;
    // The piston now, half way through the step and at its end.
    const double travelNow = geo.travel(theta);
    const double travelMid = geo.travel(mid), travelNext = geo.travel(thetaNext);
    const EngineGeometry::Ports ports = geo.portsAt(mid, travelMid);
    const bool open = ports.exhaust > 0 || ports.transfer > 0;
    if (wasOpen && !open) {
        // Trapped: what the burn will take.
        tally.trappedFresh = cylinder.fresh;
        tally.trappedMass = cylinder.m;
        burn.fresh = tally.trappedFresh;
        burn.heat = fired ? engine::chargeHeat(engine::chargeOf(tally.trappedFresh, in.airFuel),
                                               in.lhv, in.combustionEfficiency)
                          : 0;
    }
    const Primitive first = exhaust.first(gas);
    const double vCyl = geo.cylinderVolume(travelMid);

    // The crankcase breathes through its intake and feeds the transfers.
    const double vCc = geo.crankcaseVolume(travelMid);
    const double pCc = crankcase.pressure(gas, vCc), tCc = crankcase.temperature(gas);
    // What in the crankcase and the cylinder is not fresh charge is burnt gas: the crankcase
    // takes it back through the transfers.
    const Reservoir cc{pCc, tCc, crankcase.purity(), 1 - crankcase.purity()};
    Transfer in_;
    // A reed block opens as its petals lift: the area they give, moved on by the pressure across
    // them over the step (from the state before it).
    const double oneWay = geo.intakeCd * (reed ? reed->area() * 1e-6 : geo.intakeArea);
    if (reed)
        reed->step((intake ? intake->last(gas).p : pAmb) - pCc, dt);
    if (intake) {
        const double area = pistonIntake ? ports.intake : oneWay;
        const Flux into = portEndFace(intake->lastGas(), cc, area, intake->last(gas),
                                      intake->endArea(), !pistonIntake);
        intake->advance(dt, Flux{}, into);
        result.cellUpdates += intake->cells();
        in_ = {into.mass, into.energy, into.fresh};
    } else if (pistonIntake) {
        in_ = engine::between(gas, ports.intake, pAmb, tAmb, 1, pCc, tCc, crankcase.purity());
    } else {
        const double m = orificeFlow(gas, oneWay, pAmb, tAmb, pCc);
        in_ = {m, m * gas.cp() * tAmb, m};
    }
    crankcase.exchange(in_.mass * dt, in_.energy * dt, in_.fresh * dt);
    tally.intakeMass += in_.mass * dt;
    tally.intakeBackflow += std::max(0.0, -in_.mass) * dt;
    Transfer t, fromCrankcase;
    const double pCyl = cylinder.pressure(gas, vCyl), tCyl = cylinder.temperature(gas);
    if (transfer) {
        // Through the duct: open to the crankcase, the port at the cylinder's end.
        const Flux leaves = portFace(transfer->firstGas(), cc, transfer->startArea(),
                                     transfer->first(gas), transfer->startArea());
        const Flux arrives = portEndFace(
            transfer->lastGas(), Reservoir{pCyl, tCyl, cylinder.purity(), 1 - cylinder.purity()},
            ports.transfer, transfer->last(gas), transfer->endArea(), false);
        transfer->advance(dt, leaves, arrives);
        result.cellUpdates += transfer->cells();
        fromCrankcase = {leaves.mass, leaves.energy, leaves.fresh};
        t = {arrives.mass, arrives.energy, arrives.fresh};
    } else if (open) {
        t = engine::between(gas, ports.transfer, pCc, tCc, crankcase.purity(), pCyl, tCyl,
                            cylinder.purity());
        fromCrankcase = t;
    }
    if (open) {
        // The scavenge ratio: the fresh charge delivered, as a volume at its own temperature
        // (the crankcase's) and the cylinder's pressure, over the volume trapped at exhaust
        // closing.
        tally.sr = std::max(0.0, tally.sr + t.fresh * dt * gas.r * tCc / (pCyl * trappedVolume));
    }

    // The port: the cylinder while it is open, a closed end otherwise. What leaves carries the
    // fresh charge the scavenging model lets go.
    Flux port{0, 0, 0, 0};
    if (open) {
        const Reservoir res{pCyl, tCyl, cylinder.purity(), 1 - cylinder.purity()};
        port = portFace(exhaust.firstGas(), res, ports.exhaust, first, exhaust.startArea());
        if (!mixing && port.mass > 0)
            port.fresh = engine::freshReleased(model, tally.sr, cylinder.fresh + t.fresh * dt,
                                               cylinder.m + t.mass * dt, port.mass * dt) /
                         dt;
        if (port.mass > 0) // the rest of what leaves is burnt
            port.burnt = std::max(0.0, port.mass - port.fresh);
    } else {
        port = wallFace(exhaust.firstGas(), first, exhaust.startArea(), false);
    }
    const DuctState &pipe = exhaust.pipe(0).state;
    for (std::size_t k = 0; k < stations.size(); ++k)
        before[k] = pipe.primitive(gas, stations[k]);
    if (!result.volumes.isEmpty())
        volumeStates(volumesBefore);
    const Flux openEnd = exhaust.advance(dt, port, Flux{}).second;
    result.cellUpdates += exhaust.cells();
    tally.portMass += port.mass * dt;
    tally.endMass += openEnd.mass * dt;
    if (open)
        tally.lostFresh += port.fresh * dt;

    const double dVcc = geo.pistonArea * (travelNow - travelNext);
    const double dV = geo.pistonArea * (travelNext - travelNow);
    if (transfer || open)
        crankcase.exchange(-fromCrankcase.mass * dt, -fromCrankcase.energy * dt,
                           -fromCrankcase.fresh * dt);
    if (open) {
        const double wall = engine::wallHeat(walls.a, geo, travelMid, cylinder.m, pCyl, tCyl, vCyl,
                                             gas.cv(), walls.kelvin, meanPistonSpeed, dt);
        cylinder.exchange(t.mass * dt - port.mass * dt,
                          t.energy * dt - port.energy * dt - pCyl * dV - wall,
                          t.fresh * dt - port.fresh * dt);
        cylinder.keepPhysical(Tiny);
        tally.transferredFresh += t.fresh * dt;
        tally.energy.work += pCyl * dV;
        tally.energy.wallHeat += wall;
        tally.energy.exhaust += port.energy * dt;
        tally.energy.intake += t.energy * dt;
    } else {
        const engine::ClosedStep closed =
            engine::advanceClosed(cylinder, gas, geo, burn, walls, rpm, theta, thetaNext);
        tally.energy.work += closed.work;
        tally.energy.fuel += closed.released;
        tally.energy.wallHeat += closed.wall;
        cylinder.keepPhysical(Tiny);
    }
    tally.crankcaseWork += pCc * dVcc;
    crankcase.exchange(0, -pCc * dVcc, 0);
    crankcase.keepPhysical(Tiny);
    wasOpen = open;
    return port.mass;
}

void SpeedRun::sample(double theta, double thetaNext, double end, int &nextSample,
                      double cylinderBefore, double cylinderAfter, double portFlow)
{
    // Samples on the half degrees crossed, between the states before and after.
    const DuctState &pipe = exhaust.pipe(0).state;
    for (std::size_t k = 0; k < stations.size(); ++k)
        after[k] = pipe.primitive(gas, stations[k]);
    if (!result.volumes.isEmpty())
        volumeStates(volumesAfter);
    while (nextSample * 0.5 <= thetaNext && nextSample * 0.5 <= end) {
        const double f = (nextSample * 0.5 - theta) / (thetaNext - theta);
        const int index = ((nextSample % SamplesPerCycle) + SamplesPerCycle) % SamplesPerCycle;
        for (std::size_t k = 0; k < stations.size(); ++k) {
            const Primitive w = between(before[k], after[k], f);
            Trace &tr = result.traces[int(k)];
            tr.p[index] = w.p;
            tr.t[index] = w.p / (pipe.gasAt(gas, stations[k]).r * w.rho);
            tr.u[index] = w.u;
        }
        for (int k = 0; k < result.volumes.size(); ++k) {
            const auto &a = volumesBefore[std::size_t(k)], &b = volumesAfter[std::size_t(k)];
            result.volumes[k].p[index] = a.first + f * (b.first - a.first);
            result.volumes[k].t[index] = a.second + f * (b.second - a.second);
        }
        result.cylinderPressure[index] = cylinderBefore + f * (cylinderAfter - cylinderBefore);
        result.portFlow[index] = portFlow;
        ++nextSample;
    }
}

} // namespace velmorant::waves
