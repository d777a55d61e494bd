#include "search.h"

#include <nlopt.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmorant::tuning {

namespace {

// The search's state across NLopt's passes: the variables scaled to the unit box.
struct Run
{
    const std::function<double(const std::vector<double> &)> &value;
    const std::vector<double> &lower, &upper;
    const std::atomic<bool> *stop;
    const std::function<void(const SearchProgress &)> &progress;
    int budget = 0;
    SearchFound found;

    std::vector<double> unscaled(const std::vector<double> &u) const
    {
        std::vector<double> x(u.size());
        for (std::size_t i = 0; i < u.size(); ++i)
            x[i] = lower[i] + std::clamp(u[i], 0.0, 1.0) * (upper[i] - lower[i]);
        return x;
    }
    // One evaluation at unit point `u`; NLopt minimizes, so the value goes negated.
    double evaluate(const std::vector<double> &u)
    {
        if (found.evaluations >= budget || (stop && stop->load())) {
            found.cancelled = found.cancelled || (stop && stop->load());
            throw nlopt::forced_stop();
        }
        const std::vector<double> x = unscaled(u);
        const double v = value(x);
        ++found.evaluations;
        if (found.evaluations == 1 || v > found.value) {
            found.value = v;
            found.x = x;
        }
        if (progress)
            progress({found.evaluations, found.value});
        return std::isfinite(v) ? -v : std::numeric_limits<double>::max();
    }
};

double objective(const std::vector<double> &u, std::vector<double> &, void *data)
{
    return static_cast<Run *>(data)->evaluate(u);
}

void pass(Run &run, nlopt::algorithm algorithm, std::vector<double> &u, int evaluations,
          double step)
{
    const unsigned n = unsigned(u.size());
    if (evaluations <= 0 || run.found.cancelled)
        return;
    nlopt::opt opt(algorithm, n);
    opt.set_lower_bounds(std::vector<double>(n, 0.0));
    opt.set_upper_bounds(std::vector<double>(n, 1.0));
    opt.set_min_objective(objective, &run);
    opt.set_maxeval(evaluations);
    opt.set_xtol_rel(1e-6);
    opt.set_ftol_abs(0);
    if (step > 0)
        opt.set_initial_step(step);
    double f = 0;
    try {
        opt.optimize(u, f);
    } catch (const nlopt::forced_stop &) {
    } catch (const std::exception &) {
        // A pass that fails (roundoff limited, say) leaves the best point found so far.
    }
}

} // namespace

SearchFound maximize(const std::function<double(const std::vector<double> &)> &value,
                     const std::vector<double> &lower, const std::vector<double> &upper,
                     const std::vector<double> &x0, const SearchPlan &plan,
                     const std::atomic<bool> *stop,
                     const std::function<void(const SearchProgress &)> &progress)
{
    Run run{value, lower, upper, stop, progress, 0, SearchFound()};
    const std::size_t n = lower.size();
    std::vector<double> start(n);
    for (std::size_t i = 0; i < n; ++i)
        start[i] = std::clamp((x0[i] - lower[i]) / (upper[i] - lower[i]), 0.0, 1.0);
    run.budget = 1;
    try {
        run.evaluate(start);
    } catch (const nlopt::forced_stop &) {
        return run.found;
    }
    const double startValue = run.found.value;
    // The global pass, then the local one from the better of its best and the start.
    const int global = int(std::lround(plan.evaluations * plan.globalShare));
    run.budget = std::min(plan.evaluations, 1 + global);
    std::vector<double> u(n, 0.5);
    pass(run, nlopt::GN_DIRECT_L, u, global, 0);
    std::vector<double> from(n);
    if (run.found.value > startValue) {
        for (std::size_t i = 0; i < n; ++i)
            from[i] = (run.found.x[i] - lower[i]) / (upper[i] - lower[i]);
    } else {
        from = start;
    }
    run.budget = plan.evaluations;
    pass(run, nlopt::LN_SBPLX, from, plan.evaluations - run.found.evaluations, plan.localStep);
    return run.found;
}

} // namespace velmorant::tuning
