#pragma once

#include "chamber.h"

#include <QList>
#include <QString>

#include <optional>

namespace velmorant {

// A pipe from the port to the open end: sections one after another, each straight (equal
// diameters) or conical, in millimetres. Where a method measures its tuned length, a named
// point at its distance from the port.
struct PipeSection
{
    PipeSection() = default;
    PipeSection(double length, double dIn, double dOut, const QString &label = QString())
        : length(length), dIn(dIn), dOut(dOut), label(label)
    {
    }

    double length = 0;
    double dIn = 0, dOut = 0; // inside diameters at its two ends
    QString label;            // how the workshop names it, "2" or "2.1"; empty: by position

    enum class Kind { Straight, Diverging, Converging };
    Kind kind() const;
    double halfAngleDegrees() const; // of the cone's wall against the axis; 0 when straight
};

struct ReferencePoint
{
    QString name;
    double x = 0; // mm from the port
};

struct Pipe
{
    QString method; // "own", "blair2", "blair3", "jennings", "misurato"
    QList<PipeSection> sections;
    QList<ReferencePoint> referencePoints;

    double length() const;
    // Where section `i` starts, mm from the port.
    double start(int i) const;
    // The diameter at `x` (inside the pipe's length; at a step, the section that starts there).
    double diameterAt(double x) const;
    // Whether each section starts with the diameter the previous one ends with, within `tol`.
    bool continuous(double tol = 1e-9) const;
    const ReferencePoint *point(const QString &name) const;
};

// How the workshop names section `i`: its label, or its place from the port ("1", "2.1").
QString sectionName(const Pipe &pipe, int i);

// Why a pipe cannot be built or cut: a section whose length is not a positive finite number,
// or a diameter that is not (a method's proportions can give a negative belly).
std::optional<QString> pipeProblem(const Pipe &pipe);

// The names of the reference points of the first sizing: where the suction wave and the
// plugging wave turn back.
inline const char *SuctionPoint = "aspirazione";
inline const char *PluggingPoint = "tappo";
inline const char *TunedPoint = "lunghezza accordata";

// The first sizing's five segments as a pipe: header, divergent cone, belly, convergent cone,
// tail pipe; the suction wave turns back at the start of the divergent cone, the plugging wave
// at the start of the convergent one.
Pipe firstSizingPipe(const ChamberDimensions &d);

// The diameter of a horn diffuser from d1 to d2 at the fraction `t` (0 to 1) of its length:
// d1 (d2/d1)^(t^kh); kh 1 is a geometric progression, 2 a trumpet that opens late.
double hornDiameter(double d1, double d2, double t, double kh);

// The pipe with its first diverging section cut into `stages` cones with the same ends and
// total length, their ends on the horn law; `fractions` (stage lengths over the section's,
// adding up to 1) when a method sets them, equal stages otherwise. The stages take the cone's
// name with .1, .2, ...; every other section keeps its name from before, so the numbering is
// the same for every method.
Pipe withStages(const Pipe &pipe, int stages, double kh, const QList<double> &fractions = {});

} // namespace velmorant
