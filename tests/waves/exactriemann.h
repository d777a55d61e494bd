#pragma once

// The exact solution of the Riemann problem of the Euler equations for a perfect gas, after
// Toro's "Riemann Solvers and Numerical Methods for Fluid Dynamics", ch. 4: the test's own,
// independent of the library's scheme and boundaries.

#include <cmath>

namespace exact {

struct State
{
    double rho, u, p;
};

class Riemann
{
public:
    Riemann(State l, State r, double gamma) : l(l), r(r), g(gamma)
    {
        al = std::sqrt(g * l.p / l.rho);
        ar = std::sqrt(g * r.p / r.rho);
        double p = std::max(1e-12, 0.5 * (l.p + r.p)); // Newton from the mean pressure
        for (int k = 0; k < 100; ++k) {
            double dl, dr;
            const double f = side(l, al, p, dl) + side(r, ar, p, dr) + (r.u - l.u);
            const double next = std::max(1e-12, p - f / (dl + dr));
            if (std::abs(next - p) < 1e-15 * p)
                break;
            p = next;
        }
        pStar = p;
        double dl, dr;
        uStar = 0.5 * (l.u + r.u) + 0.5 * (side(r, ar, p, dr) - side(l, al, p, dl));
    }

    // The state at x/t = s.
    State sample(double s) const
    {
        if (s <= uStar)
            return wing(l, al, s, -1);
        return wing(r, ar, s, +1);
    }

    double pStar = 0, uStar = 0;
    double starDensity(bool left) const
    {
        const State &k = left ? l : r;
        const double c = (g - 1) / (g + 1);
        if (pStar > k.p)
            return k.rho * (pStar / k.p + c) / (c * pStar / k.p + 1);
        return k.rho * std::pow(pStar / k.p, 1 / g);
    }

private:
    double side(const State &k, double a, double p, double &slope) const
    {
        if (p > k.p) {
            const double A = 2 / ((g + 1) * k.rho), B = (g - 1) / (g + 1) * k.p;
            const double q = std::sqrt(A / (B + p));
            slope = q * (1 - (p - k.p) / (2 * (B + p)));
            return (p - k.p) * q;
        }
        slope = 1 / (k.rho * a) * std::pow(p / k.p, -(g + 1) / (2 * g));
        return 2 * a / (g - 1) * (std::pow(p / k.p, (g - 1) / (2 * g)) - 1);
    }

    // One side of the contact: `dir` -1 for the left wave, +1 for the right.
    State wing(const State &k, double a, double s, int dir) const
    {
        const double rhoStar = starDensity(dir < 0);
        if (pStar > k.p) { // shock
            const double speed =
                k.u + dir * a * std::sqrt((g + 1) / (2 * g) * pStar / k.p + (g - 1) / (2 * g));
            return dir * (s - speed) >= 0 ? k : State{rhoStar, uStar, pStar};
        }
        const double aStar = a * std::pow(pStar / k.p, (g - 1) / (2 * g));
        const double head = k.u + dir * a, tail = uStar + dir * aStar;
        if (dir * (s - head) >= 0)
            return k;
        if (dir * (s - tail) <= 0)
            return State{rhoStar, uStar, pStar};
        // Inside the fan.
        const double c = 2 / (g + 1) - dir * (g - 1) / ((g + 1) * a) * (k.u - s);
        const double rho = k.rho * std::pow(c, 2 / (g - 1));
        const double u = 2 / (g + 1) * (-dir * a + (g - 1) / 2 * k.u + s);
        return State{rho, u, k.p * std::pow(c, 2 * g / (g - 1))};
    }

    State l, r;
    double g, al = 0, ar = 0;
};

} // namespace exact
