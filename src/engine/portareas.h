#pragma once

#include "timing.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace velmorant::engine {

constexpr int MaxPortAreaRows = 36000;

// The ports' open areas against crank angle, mm², for ports of any shape: the exhaust, the
// transfers together and, when the crankcase's intake is piston-controlled, the intake. The
// rows go round once (angles rising over less than a turn) and repeat every turn; between rows
// the areas are linear.
struct PortAreaTable
{
    QString source; // the file read
    std::vector<double> angle, exhaust, transfer, intake; // intake empty without a column
    bool hasIntake() const { return !intake.empty(); }

    struct Areas
    {
        double exhaust = 0, transfer = 0, intake = 0; // mm²
    };
    Areas at(double degrees) const;
    // When each port opens and closes over the turn (the first opening after top dead centre).
    PortTiming timing() const;
    std::optional<std::pair<double, double>> intakeTiming() const; // opens, closes
};

// The table from CSV (columns angle_deg,exhaust_mm2,transfer_mm2[,intake_mm2], read as every
// CSV of the suite is read); the error names the line.
struct PortAreasRead
{
    PortAreaTable table;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
PortAreasRead readPortAreas(const QByteArray &bytes);

// Why a table is not an engine's, or nothing: each port opens and closes once a turn, the
// exhaust and the transfers shut at top dead centre, the exhaust opening no later than the
// transfers. readPortAreas refuses such a table with this reason.
std::optional<QString> engineProblem(const PortAreaTable &p);

// The largest port-area file read: far more rows than a turn needs at any resolution.
constexpr qint64 MaxPortAreaFileBytes = 4 << 20;

// The table as CSV, as the reader reads it back.
QByteArray portAreasCsv(const PortAreaTable &t);

} // namespace velmorant::engine
