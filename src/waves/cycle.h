#pragma once

#include "engine.h"
#include "gaspath.h"
#include "meanpressures.h"
#include "friction.h"
#include "mitreloss.h"
#include "portfile.h"
#include "gas.h"
#include "thermo.h"
#include "pipe.h"

#include <QList>
#include <QLocale>

#include <atomic>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace velmorant::waves {

// The largest cell at which halving it moves the default design's charging efficiency by less
// than half a percent, mm (the bench records the study).
constexpr double DefaultCellMm = 10;
constexpr double SmallestCellMm = 0.5, LargestCellMm = 50;
constexpr int MaxCells = 20000;
constexpr int MaxProbes = 8;
constexpr int SamplesPerCycle = 720; // every half degree
constexpr double SlowestRpm = 500, FastestRpm = 30000;
constexpr int MaxSpeeds = 201; // in one run
constexpr double SmallestRpmStep = 1;
// The shortest pipe the model takes, and the shortest section in it, mm: below them the time
// step, which follows the cell, would shrink without end.
constexpr double ShortestPipeMm = 50, ShortestSectionMm = 0.1;
// The most work one run may ask for, in cell updates: about two minutes on one core at the
// constant gas's 60 ns per update, three with the variable gas's 90 (bench_waves).
constexpr double LargestRunWork = 2e9;

// FROM, FROM + STEP, ... up to TO, counted by whole steps; or why that is not a range of at
// most MaxSpeeds speeds between SlowestRpm and FastestRpm with a step of at least
// SmallestRpmStep (an Italian sentence, numbers under `locale`).
struct SpeedRange
{
    QList<double> rpms;
    QString refusal;
};
SpeedRange speedRange(double from, double to, double step, const QLocale &locale);

struct WaveOptions
{
    double cellMm = DefaultCellMm;
    double cfl = 0.9;
    double friction = 0.005; // Fanning factor of welded steel pipe
    QList<double> probes;    // mm from the port
    int maxCycles = 40;
    double periodicTolerance = 0.005; // of the port pressure's range, cycle to cycle
    // An intake duct from the atmosphere to the crankcase's port (its stations from the mouth),
    // solved as the exhaust is; without it the crankcase breathes through an orifice.
    std::optional<Pipe> intakePipe;
    // The exhaust from the port to the open end: the pipe run is its first pipe (the pipe the
    // run is given stands for that pipe's geometry), then volumes and pipes in turn. None: the
    // pipe alone, its end open, its wall adiabatic.
    std::optional<GasPath> exhaustPath;
    // The intake from the crankcase to the open end, instead of intakePipe.
    std::optional<GasPath> intakePath;
    // A duct from the crankcase to the transfer port (mm: length, diameters at the crankcase and
    // at the cylinder), open to the crankcase over its whole area; none, the port joins the two
    // volumes directly.
    struct TransferDuct
    {
        double lengthMm = 0, d1Mm = 0, d2Mm = 0;
        // What a transfer duct may measure, mm.
        static constexpr double ShortestMm = 10, LongestMm = 1000;
        static constexpr double NarrowestMm = 5, WidestMm = 200;
        // The range of measure k: 0 the length, 1 and 2 the diameters.
        static std::pair<double, double> range(int k)
        {
            return k == 0 ? std::pair{ShortestMm, LongestMm} : std::pair{NarrowestMm, WidestMm};
        }
        // The duct as a pipe, from the crankcase to the port.
        Pipe pipe() const
        {
            Pipe p;
            p.sections << PipeSection(lengthMm, d1Mm, d2Mm);
            return p;
        }
    };
    std::optional<TransferDuct> transferDuct;
    // Each cell's and volume's gas follows its temperature and burnt share (cp(T) of air and of
    // burnt gas, the burnt gas carried along the pipes); off, one gas of constant gamma and R.
    bool variableGas = false;
    // Volumes creeping slowly to their temperature brought to it (Chain::hastenVolumes); off,
    // they get there by themselves, cycle after cycle.
    bool hastenVolumes = true;
    // Keep where each speed ended (SpeedResult::settled), to start another run from it.
    bool keepSettled = false;
    // The exhaust pipe's mitre joints when it is bent (along its centreline, which the pipe's
    // lengths already are), each a loss of total pressure; `bendLosses` scales them, 0 for none.
    QList<MitreJoint> mitreJoints;
    double bendLosses = 1;
    // The ports by their geometry: each speed runs the area table of the ports as they are
    // there (the main exhaust cut to a power valve's timing) and reports their exact opening.
    std::optional<PortGeometry> ports;
};

// The gas of a run at exhaust opening, where its last cycle ended: every cell of the exhaust
// and intake pipes, the cylinder and the crankcase. Another run of the same engine may start
// from it (a warm start) instead of still gas, on a pipe of other lengths or cells too: the
// pipes' gas is laid along the new cells by the fraction of the length.
struct WarmStart
{
    std::vector<Primitive> exhaust, intake;
    engine::Volume cylinder, crankcase;
    // The rest of each path, taken only by a run of the same shape: every pipe after the first
    // and every volume; the transfer duct's cells.
    std::vector<std::vector<Primitive>> exhaustRest, intakeRest;
    std::vector<engine::Volume> exhaustVolumes, intakeVolumes;
    std::vector<Primitive> transfer;
};

// Pressure (Pa) and temperature (K) in a volume of a path against crank angle, as the traces.
// A pipe's wall that found its own temperature, along the pipe (mm from its start, K) where
// the run ended.
struct WallProfile
{
    bool exhaust = true; // or the intake's
    int pipe = 0;        // of its path, from 1
    std::vector<double> xMm, kelvin;
};

struct VolumeTrace
{
    bool exhaust = true; // or the intake's
    int element = 0;     // its place in its path's file, from 1
    std::vector<double> p, t;
};

// Pressure (Pa), temperature (K) and velocity (m/s) at one station against crank angle, from
// 0 to 359.5 degrees after top dead centre.
struct Trace
{
    double x = 0; // mm from the port
    std::vector<double> p, t, u;
};

// Where one cycle's fuel energy went, J, in the cylinder: released by the burn, done as work on
// the piston, given to the walls, and carried by the gas through the exhaust port and the
// transfers (each net of what flows back).
struct EnergyBalance
{
    double fuel = 0, work = 0, wallHeat = 0, exhaust = 0, intake = 0;
};

struct SpeedResult
{
    double rpm = 0;
    int cycles = 0; // run, the last one periodic unless maxCycles ran out
    bool periodic = false;
    double deliveryRatio = 0, trappingEfficiency = 0, chargingEfficiency = 0;
    double scavengingEfficiency = 0;  // fresh charge in the trapped charge
    // What the crankcase pushed back out through its intake, over the same reference mass as the
    // delivery ratio (which is net of it).
    double intakeBackflow = 0;
    double portMass = 0, endMass = 0; // kg per cycle, into the pipe and out of its end
    double suction = 0;               // bar against ambient: the lowest at the port, TO-TC
    double plug = 0;                  // bar against ambient at the port at exhaust closing
    // At the crankshaft and in the cylinder: mean effective pressures (bar), brake power,
    // torque, fuel consumption; the peak pressure (bar) and its angle; the state at exhaust
    // opening (bar, °C); the cycle's energy.
    engine::BrakeFigures brake;
    double peakPressure = 0, peakAngle = 0;
    double exhaustOpens = 0; // degrees after top dead centre, at this speed
    double eoPressure = 0, eoTemperature = 0;
    EnergyBalance energy;
    MeanPressures meanPressures; // where the cycle's mean pressure went
    QList<Trace> traces;              // the port, then the probes
    QList<VolumeTrace> volumes;       // the exhaust's volumes, then the intake's
    QList<WallProfile> walls;         // the computed walls
    std::vector<double> cylinderPressure; // Pa, every half degree as the traces
    std::vector<double> portFlow;         // kg/s into the pipe at the port, the same
    long long cellUpdates = 0;
    std::shared_ptr<const WarmStart> settled; // with WaveOptions::keepSettled
    bool cancelled = false;
    bool failed = false; // the numbers stopped being finite: nothing here is to be shown
};

// Why the model cannot run this pipe and engine with these options and speeds, as an Italian
// sentence with its numbers under `locale`: an engine input out of its range, a pipe whose
// diameters leave 2-500 mm or shorter than ShortestPipeMm (or with a section shorter than
// ShortestSectionMm), more than MaxCells cells or MaxProbes probes, a probe past the pipe's end,
// a speed outside the model's, or more work than LargestRunWork with `pipes` pipes.
std::optional<QString> waveProblem(const Pipe &pipe, const EngineInputs &engine,
                                   const WaveOptions &o, const QList<double> &rpms,
                                   const QLocale &locale = QLocale::c(), int pipes = 1);

// The cell updates a run of `pipes` such pipes may take at most: every cycle of every speed
// run, each step as short as a signal speed of 1000 m/s across a cell (or half a degree) allows.
double estimatedWork(const Pipe &pipe, const WaveOptions &o, const QList<double> &rpms);

// The model's time-step bound of a pipe's cells (its cells along `pipe` at `cellMm`), the count.
int cellCount(const Pipe &pipe, double cellMm);

// The engine running at `rpm` on the pipe, cycle after cycle until the port pressure repeats
// itself and the mass into the pipe balances the mass out of it (or maxCycles). `stop` ends
// the run early (cancelled); `cyclesDone`, when given, counts finished cycles.
// `start`, when given, is the state the first cycle starts from (a warm start).
SpeedResult simulateSpeed(const Pipe &pipe, const EngineInputs &engine, const WaveOptions &o,
                          double rpm, const std::atomic<bool> *stop = nullptr,
                          std::atomic<int> *cyclesDone = nullptr,
                          const WarmStart *start = nullptr);

// The same for many speeds, on `threads` threads (0: one per core), results in the given order,
// each from its warm start in `starts` when there is one;
// `speedsDone`, when given, counts finished speeds. `cyclesDone` counts every speed as
// maxCycles once it ends, however early it settled: against speeds times maxCycles it says how
// far the run is.
QList<SpeedResult> simulateSpeeds(const Pipe &pipe, const EngineInputs &engine,
                                  const WaveOptions &o, const QList<double> &rpms, int threads = 0,
                                  const std::atomic<bool> *stop = nullptr,
                                  std::atomic<int> *cyclesDone = nullptr,
                                  std::atomic<int> *speedsDone = nullptr,
                                  const QList<const WarmStart *> &starts = {});

} // namespace velmorant::waves
