#pragma once

#include <atomic>
#include <functional>
#include <vector>

namespace velmorant::tuning {

// How the search spends its evaluations: a global pass over the whole box (DIRECT-L: it
// divides the box where the best values are and where it has looked least, deterministically,
// needing no starting point), then a local one from the best point found or the start,
// whichever is better (Sbplx, Rowan's subplex: derivative-free and robust to the small jumps a
// gridded model has, where a quadratic model such as BOBYQA's would chase them).
struct SearchPlan
{
    int evaluations = 150;       // in all, the start included
    double globalShare = 0.5;    // of them for the global pass
    double localStep = 0.05;     // the local pass's first step, a share of each variable's range
};

// What the search reports while it runs.
struct SearchProgress
{
    int evaluations = 0;
    double best = 0; // the best value so far
};

struct SearchFound
{
    std::vector<double> x; // the best point evaluated
    double value = 0;      // its value
    int evaluations = 0;
    bool cancelled = false;
};

// The point of the box [lower, upper] where `value` is highest, within `plan`'s evaluations,
// the start `x0` (put inside the box) evaluated first. `value` returns a number for every
// point (a penalty where a point is not allowed). `stop` ends the search early with the best
// so far; `progress` hears of every evaluation. The same inputs give the same point.
SearchFound maximize(const std::function<double(const std::vector<double> &)> &value,
                     const std::vector<double> &lower, const std::vector<double> &upper,
                     const std::vector<double> &x0, const SearchPlan &plan,
                     const std::atomic<bool> *stop = nullptr,
                     const std::function<void(const SearchProgress &)> &progress = {});

} // namespace velmorant::tuning
