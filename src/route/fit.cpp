#include "fit.h"

#include <nlopt.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmorant::route {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double LargestBendDeg = 120;
// A millimetre of clash or of distance from the target weighs as much as this many degrees.
constexpr double MissWeight = 100;
// A route that cannot be laid: worse than any that can.
constexpr double Unlaid = 1e7;

struct Search
{
    const Pipe &pipe;
    const Route &start;
    const Surroundings &around;
    double sheet;
    const FitLimits &limits;
    const std::atomic<bool> *stop;
    const std::function<void(int, int)> &progress;
    int done = 0;
    double best = std::numeric_limits<double>::infinity();
    FitResult result;

    // Variables per bend, each in [0, 1]: where in its stretch, how far it turns, its plane.
    Route routeOf(const std::vector<double> &x) const
    {
        Route r = start;
        r.bends.clear();
        const double length = pipe.length(), stretch = length / limits.bends;
        for (int k = 0; k < limits.bends; ++k) {
            const double angle = x[3 * k + 1] * LargestBendDeg;
            if (angle < 0.5)
                continue;
            Bend b;
            b.angleDeg = angle;
            b.joints = std::max(1, int(std::ceil(angle / limits.jointDeg - 1e-9)));
            b.planeDeg = (x[3 * k + 2] * 2 - 1) * 180;
            // On a radius of twice the outer diameter, the bend within its stretch.
            b.atMm = k * stretch + x[3 * k] * stretch;
            const double d = pipe.diameterAt(std::min(b.atMm, length - 1e-6)) + 2 * sheet;
            b.radiusMm = 2 * d;
            if (b.spacing() < limits.segmentMm)
                b.radiusMm = limits.segmentMm / (2 * std::tan(angle / b.joints * Pi / 360));
            const double extent = b.spacing() * (b.joints - 1);
            b.atMm = k * stretch + 1 + x[3 * k] * std::max(0.0, stretch - extent - 2);
            r.bends << b;
        }
        return r;
    }

    double cost(const std::vector<double> &x)
    {
        if (stop && stop->load()) {
            result.cancelled = true;
            throw nlopt::forced_stop();
        }
        ++done;
        if (progress)
            progress(done, limits.evaluations);
        const Route r = routeOf(x);
        double angle = 0;
        for (const Bend &b : r.bends)
            angle += b.angleDeg;
        const Miss m = missOf(r);
        const double value =
            m.laid ? angle + MissWeight * (std::max(m.clash, 0.0) + m.outside) : Unlaid + angle;
        if (value < best) {
            best = value;
            result.route = r;
            result.clashMm = std::max(m.clash, 0.0);
            result.tailOutsideMm = m.outside;
            result.totalAngleDeg = angle;
            result.fits = m.fits();
        }
        return value;
    }

    // How far a route is from fitting: laid at all, the deepest clash past the clearance, how
    // far the tail ends outside its target.
    struct Miss
    {
        bool laid = false;
        double clash = 0, outside = 0;
        bool fits() const { return laid && clash <= 0 && outside == 0; }
    };
    Miss missOf(const Route &r) const
    {
        LayoutRules rules;
        rules.sheetMm = 2 * sheet;
        rules.maxJointDeg = limits.jointDeg;
        const RouteLayout l = layRoute(pipe, r, rules);
        Miss m;
        if (!l.ok())
            return m;
        m.laid = true;
        const Clearance c = clearanceOf(l, around);
        for (const ObstacleDistance &d : c.distances)
            m.clash = std::max(m.clash, around.clearanceMm - d.distanceMm);
        m.outside = c.tailOutsideMm;
        return m;
    }
};

double objective(const std::vector<double> &x, std::vector<double> &, void *data)
{
    return static_cast<Search *>(data)->cost(x);
}

void pass(Search &s, nlopt::algorithm algorithm, std::vector<double> &x, int evaluations)
{
    if (evaluations <= 0 || s.result.cancelled)
        return;
    nlopt::opt opt(algorithm, unsigned(x.size()));
    opt.set_lower_bounds(std::vector<double>(x.size(), 0.0));
    opt.set_upper_bounds(std::vector<double>(x.size(), 1.0));
    opt.set_min_objective(objective, &s);
    opt.set_maxeval(evaluations);
    opt.set_xtol_rel(1e-6);
    double f = 0;
    try {
        opt.optimize(x, f);
    } catch (const std::exception &) {
        // Stopped, or a pass that could go no further: the best so far stands.
    }
}

} // namespace

FitResult fitRoute(const Pipe &pipe, const Route &start, const Surroundings &around,
                   double sheetMm, const FitLimits &limits, const std::atomic<bool> *stop,
                   const std::function<void(int, int)> &progress)
{
    Search s{pipe, start, around, sheetMm, limits, stop, progress, 0,
             std::numeric_limits<double>::infinity(), FitResult()};
    const std::size_t n = std::size_t(3 * std::max(1, limits.bends));
    // The straight pipe first: when it fits, nothing needs bending.
    std::vector<double> x(n, 0.5);
    for (std::size_t k = 1; k < n; k += 3)
        x[k] = 0;
    std::vector<double> ignored;
    try {
        objective(x, ignored, &s);
    } catch (const nlopt::forced_stop &) {
        s.result.evaluations = s.done;
        return s.result;
    }
    if (!s.result.fits) {
        nlopt::srand(20261210); // the same bike gives the same pipe
        const int global = limits.evaluations * 2 / 3;
        std::vector<double> g(n, 0.5);
        pass(s, nlopt::GN_CRS2_LM, g, global);
        // The local pass from where the global one ended, its best.
        pass(s, nlopt::LN_SBPLX, g, limits.evaluations - s.done);
    }
    // A bend of a few degrees the fit would do without: left out when the rest still fits.
    for (int k = int(s.result.route.bends.size()) - 1; k >= 0 && s.result.fits; --k) {
        FitResult trial = s.result;
        trial.route.bends.removeAt(k);
        if (s.missOf(trial.route).fits()) {
            trial.totalAngleDeg -= s.result.route.bends[k].angleDeg;
            s.result = trial;
        }
        ++s.done;
    }
    s.result.evaluations = s.done;
    return s.result;
}

} // namespace velmorant::route
