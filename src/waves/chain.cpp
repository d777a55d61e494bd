#include "chain.h"

#include "gasprops.h"

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

PipeRun::PipeRun(const Pipe &pipe, const Gas &gas, double cellMm, double friction,
                 const Primitive &fill, bool variableGas)
    : duct(ductOf(pipe, cellMm))
{
    scheme = std::make_unique<Scheme>(duct, gas, friction);
    state.resize(duct.cells(), variableGas);
    for (int i = 0; i < duct.cells(); ++i)
        state.set(gas, i, fill);
}

void PipeRun::setWall(const PathPipe &path, double startK)
{
    if (path.wallC.isEmpty() && !path.computedWall)
        return;
    std::vector<double> kelvin(static_cast<std::size_t>(cells()), startK);
    for (int i = 0; i < cells() && !path.computedWall; ++i)
        kelvin[std::size_t(i)] = wallKelvinAt(path.wallC, (i + 0.5) * duct.dx * 1000);
    scheme->setWall(std::move(kelvin));
    if (path.computedWall)
        scheme->setWallComputed(OutsideAir());
}

namespace {

// The inside of a box holding `m3`, m²: a cylinder as long as it is wide.
double boxWall(double m3)
{
    constexpr double Pi = 3.14159265358979323846;
    const double r = std::cbrt(m3 / (2 * Pi));
    return 6 * Pi * r * r;
}

} // namespace

Flux volumeFace(const Gas &vg, const Gas &g, const engine::Volume &v, double m3,
                const PathVolume &how, const Primitive &cell, double pipeArea, bool atStart)
{
    const Reservoir res{v.pressure(vg, m3), v.temperature(vg), v.purity(), v.burntShare()};
    // Out of the volume first; the way the gas really goes decides the coefficient.
    if (atStart) {
        const Flux out = portFace(g, res, how.cdOut * pipeArea, cell, pipeArea);
        return out.mass >= 0 ? out : portFace(g, res, how.cdIn * pipeArea, cell, pipeArea);
    }
    const Flux in = portEndFace(g, res, how.cdIn * pipeArea, cell, pipeArea, false);
    return in.mass >= 0 ? in : portEndFace(g, res, how.cdOut * pipeArea, cell, pipeArea, false);
}

Chain::Chain(const GasPath &path, const Gas &gas, double cellMm, double friction,
             const Primitive &fill, End left, End right, bool variableGas)
    : m_gas(gas), m_variable(variableGas), m_friction(friction),
      m_how(path.volumes.cbegin(), path.volumes.cend()), m_left(left), m_right(right)
{
    for (const PathPipe &p : path.pipes) {
        m_pipes.push_back(
            std::make_unique<PipeRun>(p.pipe, gas, cellMm, friction, fill, variableGas));
        m_pipes.back()->setWall(p, fill.p / (gas.r * fill.rho));
        m_computed.push_back(p.computedWall);
    }
    for (const PathVolume &v : path.volumes) {
        m_volumeM3.push_back(v.litres / 1000);
        m_volumeWall.push_back(boxWall(m_volumeM3.back()));
        const double t = fill.p / (gas.r * fill.rho);
        const Gas g = variableGas ? GasTable::instance().at(t, fill.b).gas() : gas;
        engine::Volume volume;
        volume.fill(g, fill.p, t, m_volumeM3.back(), fill.y, fill.b);
        m_volumes.push_back(volume);
        m_volumeGas.push_back(g);
    }
    m_into.resize(m_volumes.size());
    m_outOf.resize(m_volumes.size());
    m_cycleEnds.resize(m_volumes.size());
}

void Chain::setAmbient(double pa, double kelvin, double inflowFresh)
{
    m_pAmb = pa;
    m_tAmb = kelvin;
    m_inflowFresh = inflowFresh;
    OutsideAir air;
    air.kelvin = kelvin;
    for (std::size_t k = 0; k < m_pipes.size(); ++k) {
        if (m_computed[k])
            m_pipes[k]->scheme->setWallComputed(air);
    }
}

void Chain::settleWalls()
{
    for (auto &p : m_pipes)
        p->scheme->settleWall();
}

long long Chain::cells() const
{
    long long n = 0;
    for (const auto &p : m_pipes)
        n += p->cells();
    return n;
}

double Chain::stableStep(double cfl)
{
    double dt = m_pipes.front()->scheme->stableStep(m_pipes.front()->state, cfl);
    for (std::size_t k = 1; k < m_pipes.size(); ++k)
        dt = std::min(dt, m_pipes[k]->scheme->stableStep(m_pipes[k]->state, cfl));
    return dt;
}

std::pair<Flux, Flux> Chain::advance(double dt, const Flux &left, const Flux &right)
{
    const Gas &g = m_gas;
    const int n = int(m_pipes.size());
    // Every face from the states before the step, each of the gas of the cell beside it.
    Flux start = left, end = right;
    PipeRun &first = *m_pipes.front(), &last = *m_pipes.back();
    const Gas startGas = first.firstGas(g), endGas = last.lastGas(g);
    if (m_left == End::Open)
        start = openStartFace(startGas, m_pAmb, m_tAmb, first.first(g), startArea(), m_inflowFresh);
    else if (m_left == End::Closed)
        start = wallFace(startGas, first.first(g), startArea(), false);
    if (m_right == End::Open)
        end = openEndFace(endGas, m_pAmb, m_tAmb, last.last(g), endArea(), m_inflowFresh);
    else if (m_right == End::Closed)
        end = wallFace(endGas, last.last(g), endArea(), true);
    for (int k = 0; k + 1 < n; ++k) {
        const PipeRun &before = *m_pipes[k], &after = *m_pipes[k + 1];
        const Gas &vg = m_volumeGas[std::size_t(k)];
        m_into[k] = volumeFace(vg, before.lastGas(g), m_volumes[k], m_volumeM3[k], m_how[k],
                               before.last(g), before.duct.faceArea.back(), false);
        m_outOf[k] = volumeFace(vg, after.firstGas(g), m_volumes[k], m_volumeM3[k], m_how[k],
                                after.first(g), after.duct.faceArea.front(), true);
    }
    for (int k = 0; k < n; ++k) {
        PipeRun &p = *m_pipes[k];
        p.scheme->advance(p.state, dt, k == 0 ? start : m_outOf[k - 1],
                          k + 1 == n ? end : m_into[k]);
    }
    // Each volume takes what its two pipes gave it, the same numbers: nothing made or lost.
    for (int k = 0; k + 1 < n; ++k) {
        engine::Volume &v = m_volumes[k];
        v.exchange((m_into[k].mass - m_outOf[k].mass) * dt,
                   (m_into[k].energy - m_outOf[k].energy) * dt,
                   (m_into[k].fresh - m_outOf[k].fresh) * dt,
                   m_variable ? (m_into[k].burnt - m_outOf[k].burnt) * dt : 0);
        if (m_how[k].wallC)
            heatVolume(k, *m_how[k].wallC + 273.15, dt);
        v.keepPhysical(1e-12);
        if (m_variable)
            settleVolumeGas(k);
    }
    return {start, end};
}

void Chain::heatVolume(int k, double wallK, double dt)
{
    // The jets coming in stir the box: h by the analogy of the pipes that bring them, with their
    // mass flux per area.
    const std::size_t j = std::size_t(k);
    const double stirring =
        std::max(0.0, m_into[j].mass) / m_pipes[j]->duct.faceArea.back() +
        std::max(0.0, -m_outOf[j].mass) / m_pipes[j + 1]->duct.faceArea.front();
    engine::Volume &v = m_volumes[j];
    const Gas &g = m_volumeGas[j];
    const double h = m_friction / 2 * stirring * g.cp() * ColburnPrandtl;
    const double t = v.temperature(g);
    double q = h * m_volumeWall[j] * (wallK - t) * dt;
    // Never past the wall's temperature in one step.
    const double most = v.m * g.cv() * (wallK - t);
    if (std::abs(q) > std::abs(most))
        q = most;
    v.exchange(0, q, 0);
}

void Chain::settleVolumeGas(int k)
{
    const engine::Volume &v = m_volumes[std::size_t(k)];
    Gas &g = m_volumeGas[std::size_t(k)];
    g = GasTable::instance().at(v.temperature(g), v.burntShare()).gas();
}

void Chain::hastenVolumes()
{
    for (std::size_t k = 0; k < m_volumes.size(); ++k) {
        engine::Volume &v = m_volumes[k];
        const Gas g = m_volumeGas[k];
        std::vector<double> &t = m_cycleEnds[k];
        t.push_back(v.temperature(g));
        if (t.size() < 3)
            continue;
        const double d1 = t[1] - t[0], d2 = t[2] - t[1];
        t.erase(t.begin());
        const double ratio = d1 != 0 ? d2 / d1 : 0;
        // Only a slow, steady creep: a fast one settles by itself, an uneven one is not creep.
        if (!(ratio > 0.5 && ratio < 0.98))
            continue;
        const double jump = std::clamp(d2 * ratio / (1 - ratio), -300.0, 300.0);
        const double to = std::max(t.back() + jump, 200.0);
        v.fill(g, v.pressure(g, m_volumeM3[k]), to, m_volumeM3[k], v.purity(), v.burntShare());
        if (m_variable)
            settleVolumeGas(int(k));
        t.clear();
    }
}

double Chain::mass() const
{
    double m = 0;
    for (const auto &p : m_pipes)
        m += p->state.mass(p->duct);
    for (const engine::Volume &v : m_volumes)
        m += v.m;
    return m;
}

double Chain::burntMass() const
{
    double m = 0;
    for (const auto &p : m_pipes)
        m += p->state.burntMass(p->duct);
    for (const engine::Volume &v : m_volumes)
        m += v.burnt;
    return m;
}

double Chain::energy() const
{
    double e = 0;
    for (const auto &p : m_pipes)
        e += p->state.totalEnergy(p->duct);
    for (const engine::Volume &v : m_volumes)
        e += v.u;
    return e;
}

} // namespace velmorant::waves
