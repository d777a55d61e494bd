#pragma once

// A reed block between the intake and the crankcase: each petal a cantilever in its first mode,
// pushed open by the pressure across it, held by the stop plate, shut against backflow.

namespace velmorant::engine {

struct ReedBlock
{
    int petals = 2;
    double lengthMm = 30, widthMm = 20, thicknessMm = 0.35; // free length, clamp to tip
    double youngsGpa = 20, density = 1900;                  // glass fibre
    double damping = 0.05;                                  // share of critical
    double stopMm = 8;                                      // the stop plate's lift at the tip
    double portAreaMm2 = 800;                               // the block's windows together
    double angleDeg = 30; // the block's angle: orients the faces, no area of its own in 1D

    // The first mode, Hz: (1.8751² / 2 pi) sqrt(E I / (rho b t L^4)).
    double naturalFrequency() const;
    // The tip's static lift under a uniform pressure difference (Pa), mm, as the one-mode
    // petal takes it: 0.12667 dp b L^4 / (E I), 1.3 % over the beam's 0.125.
    double staticLift(double pascal) const;
    // The flow area at tip lift `mm`, mm²: each petal's tip and side curtains (the sides'
    // mean opening is 0.4 of the tip's), no more than the block's windows.
    double flowArea(double mm) const;
};

// One petal's tip in time: m x'' + c x' + k x = F(dp), its lift between the seat and the stop,
// its speed stopped at either.
class ReedTip
{
public:
    explicit ReedTip(const ReedBlock &block);
    // On by `dt` seconds under `pascal` of pressure pushing it open (negative: shut).
    void step(double pascal, double dt);
    double liftMm() const { return m_x * 1000; }
    double area() const { return m_block.flowArea(liftMm()); } // mm²

private:
    ReedBlock m_block;
    double m_mass, m_stiffness, m_damper, m_force; // per unit pressure for the force
    double m_x = 0, m_v = 0, m_stop;               // m, m/s
};

} // namespace velmorant::engine
