#pragma once

#include "pipe.h"

#include <QLocale>
#include <QString>

#include <optional>
#include <vector>

namespace velmorant::tuning {

// What a builder allows the search: every cone's half-angle (degrees), the total length against
// the start's, the largest belly (mm; the start's times 1.3 when not given) and the tail's
// diameter against the header's.
struct Limits
{
    double minAngle = 1, maxAngle = 12;
    double lengthFactor = 1.25;
    std::optional<double> maxBelly;
    double minTail = 0.45, maxTail = 0.75;
    // What the chassis allows whatever the start: the longest pipe and the widest diameter, mm.
    // With them a search started again from its best cannot grow the pipe on and on.
    std::optional<double> maxLengthMm, maxDiameterMm;
};

// Why the limits cannot hold (an Italian sentence, numbers under `locale`), or nothing.
std::optional<QString> limitsProblem(const Limits &l, const QLocale &locale = QLocale::c());

// The free dimensions of a pipe made of a straight header, diffuser cones, a straight belly,
// converging cones and a straight tail. The variables, in this order: the header's length; each
// diffuser cone's half-angle; the belly's diameter and length; each converging cone's
// half-angle; the tail's diameter and length (mm and degrees). The header keeps the port's
// diameter; the diameters between cones keep the start's law (each at the same fraction of the
// way from one end diameter to the other, on a logarithmic scale), so a staged diffuser keeps
// its number of stages and its horn law.
class PipeShape
{
public:
    // The shape of `start`, or why it has none the search can vary.
    static std::optional<PipeShape> of(const Pipe &start, const Limits &limits,
                                       QString *refusal = nullptr);

    int size() const { return int(m_lower.size()); }
    const std::vector<double> &lower() const { return m_lower; }
    const std::vector<double> &upper() const { return m_upper; }
    // The start's variables (which may lie outside the bounds when the start breaks a limit).
    const std::vector<double> &start() const { return m_start; }
    double maxLength() const { return m_maxLength; }
    int diffuserCones() const { return int(m_diffuser.size()); }
    int convergingCones() const { return int(m_converging.size()); }

    // The pipe of variables `x`.
    Pipe pipe(const std::vector<double> &x) const;
    // The variables of a pipe of this shape.
    std::vector<double> variables(const Pipe &pipe) const;
    // How far `x` breaks the limits: 0 inside them, else the largest excess as a share of its
    // limit (the total length's, or a variable's bound).
    double violation(const std::vector<double> &x) const;
    // The limits a pipe breaks, as an Italian sentence (numbers under `locale`); empty if none.
    QString brokenLimits(const Pipe &pipe, const QLocale &locale = QLocale::c()) const;

private:
    double m_headerDiameter = 0;
    std::vector<double> m_diffuser, m_converging; // fractions of the way at each cone's end
    std::vector<QString> m_labels;
    std::vector<double> m_lower, m_upper, m_start;
    double m_maxLength = 0;
    Limits m_limits;
    double m_maxBelly = 0;
    bool m_points = false; // the start marks where the waves turn back
};

} // namespace velmorant::tuning
