#pragma once

// One speed of the engine on its gas paths, cycle after cycle; used by simulateSpeed alone.
#include "chain.h"
#include "closedcycle.h"
#include "combustion.h"
#include "cycle.h"
#include "heattransfer.h"
#include "scavenging.h"

#include <memory>
#include <vector>

namespace velmorant::waves {

// What one cycle adds up, from exhaust opening to exhaust opening.
struct CycleTally
{
    double portMass = 0, endMass = 0, intakeMass = 0, trappedFresh = 0, trappedMass = 0;
    double lostFresh = 0, transferredFresh = 0, sr = 0;
    double intakeBackflow = 0; // kg pushed back out through the intake
    double crankcaseWork = 0, peak = 0, peakAngle = 0;
    double eoPressure = 0, eoTemperature = 0;
    EnergyBalance energy;
};

class SpeedRun
{
public:
    SpeedRun(const Pipe &pipe, const EngineInputs &in, const WaveOptions &o, double rpm,
             const WarmStart *start);

    // One cycle from exhaust opening; false when `stop` ended it.
    bool cycle(CycleTally &tally, const std::atomic<bool> *stop);
    // The cycle's figures into the result; true when the run has settled (periodic, balanced,
    // charge steady). Sets the result's failure when a figure is not finite.
    bool settle(int cycle, const CycleTally &tally);
    // The state to start another run from, and the port's figures; when the run is over.
    void finish();

    SpeedResult result;

private:
    const EngineInputs &in;
    const WaveOptions &o;
    const Gas gas;
    const EngineGeometry geo;
    const double rpm, pAmb, tAmb, degreesPerSecond;
    const bool fired, pistonIntake, mixing;
    const engine::Scavenging model;
    Chain exhaust;
    std::unique_ptr<Chain> intake, transfer;
    std::optional<engine::ReedTip> reed; // the crankcase's intake through a reed block
    engine::Volume cylinder, crankcase;
    engine::Burn burn;
    engine::Walls walls;
    double trappedVolume = 0, meanPistonSpeed = 0, referenceMass = 0;
    std::vector<int> stations;
    std::vector<Primitive> before, after;
    std::vector<std::pair<double, double>> volumesBefore, volumesAfter; // p, T
    std::vector<double> previousPort;
    double previousTrapped = -1;

    void fill(const WarmStart *start);
    // The flows of one step from `theta` to `thetaNext`, every volume and pipe moved on.
    // Returns the mass flow into the exhaust at the port, kg/s.
    double step(double theta, double thetaNext, double dt, bool &wasOpen, CycleTally &tally);
    // Each volume's pressure and temperature, into `into` (kept between steps: no allocation).
    void volumeStates(std::vector<std::pair<double, double>> &into) const;
    void sample(double theta, double thetaNext, double end, int &nextSample,
                double cylinderBefore, double cylinderAfter, double portFlow);
};

} // namespace velmorant::waves
