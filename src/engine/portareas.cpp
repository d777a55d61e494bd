#include "portareas.h"

#include "csvtable.h"

#include <algorithm>
#include <cmath>

namespace velmorant::engine {

namespace {

constexpr double LargestArea = 1e5; // mm²: a port of over 350 mm square

double wrapped(double degrees)
{
    return degrees - 360 * std::floor(degrees / 360);
}

// The angle at which `open(angle)` turns true and then false again, the first opening at or
// after top dead centre; searched every tenth of a degree.
template <class F> std::pair<double, double> span(F open)
{
    double opens = 0, closes = 0;
    bool was = open(-0.1), found = false;
    for (int k = 0; k <= 7200 && !(found && closes > 0); ++k) {
        const double a = k * 0.1;
        const bool now = open(a);
        if (now && !was && !found) {
            opens = a;
            found = true;
        } else if (!now && was && found) {
            closes = a;
        }
        was = now;
    }
    if (closes < opens)
        closes += 360;
    return {opens, closes};
}

} // namespace

PortAreaTable::Areas PortAreaTable::at(double degrees) const
{
    Areas out;
    if (angle.empty())
        return out;
    const double a0 = angle.front();
    const double a = a0 + wrapped(degrees - a0);
    // The row at or before `a`; past the last row, the way back to the first a turn later.
    const auto it = std::upper_bound(angle.begin(), angle.end(), a);
    const std::size_t i = std::size_t(it - angle.begin()) - 1;
    const std::size_t j = i + 1 < angle.size() ? i + 1 : 0;
    const double b = j > i ? angle[j] : angle[0] + 360;
    const double t = b > angle[i] ? (a - angle[i]) / (b - angle[i]) : 0;
    auto lerp = [&](const std::vector<double> &v) { return v[i] + t * (v[j] - v[i]); };
    out.exhaust = lerp(exhaust);
    out.transfer = lerp(transfer);
    if (hasIntake())
        out.intake = lerp(intake);
    return out;
}

PortTiming PortAreaTable::timing() const
{
    const auto [eo, ec] = span([&](double a) { return at(a).exhaust > 0; });
    const auto [to, tc] = span([&](double a) { return at(a).transfer > 0; });
    return {eo, ec, to, tc};
}

std::optional<std::pair<double, double>> PortAreaTable::intakeTiming() const
{
    if (!hasIntake())
        return std::nullopt;
    return span([&](double a) { return at(a).intake > 0; });
}

PortAreasRead readPortAreas(const QByteArray &bytes)
{
    PortAreasRead r;
    const CsvTable t = readCsvTable(bytes, 3, 4, MaxPortAreaRows);
    const QString header = t.header.join(QLatin1Char(','));
    const bool three = header == QLatin1String("angle_deg,exhaust_mm2,transfer_mm2");
    const bool four = header == QLatin1String("angle_deg,exhaust_mm2,transfer_mm2,intake_mm2");
    if (!three && !four) {
        r.error = csvLineError(std::max(1, t.headerLine),
                               QStringLiteral("serve l'intestazione angle_deg,exhaust_mm2,"
                                              "transfer_mm2 (e facoltativa ,intake_mm2)"));
        return r;
    }
    if (!t.ok()) {
        r.error = t.error;
        return r;
    }
    const int columns = four ? 4 : 3;
    PortAreaTable &p = r.table;
    for (int k = 0; k < t.rows.size(); ++k) {
        const QList<double> &v = t.rows[k];
        if (v.size() != columns) {
            r.error = csvLineError(t.lines[k], csvRowShape(columns, columns));
            return r;
        }
        // A last row a whole turn after the first closes the turn: it must say the first row
        // again, and adds nothing.
        if (!p.angle.empty() && v[0] == p.angle.front() + 360 && k + 1 == t.rows.size()) {
            bool same = true;
            for (int c = 1; c < columns; ++c) {
                const double first = c == 1 ? p.exhaust.front()
                                   : c == 2 ? p.transfer.front()
                                            : p.intake.front();
                same = same && std::abs(v[c] - first) <= 1e-6 * std::max(1.0, first);
            }
            if (!same) {
                r.error = csvLineError(t.lines[k],
                                       QStringLiteral("un giro dopo la prima riga le aree devono "
                                                      "essere quelle della prima"));
                return r;
            }
            break;
        }
        const bool rising = p.angle.empty() || v[0] > p.angle.back();
        const bool withinTurn = p.angle.empty() || v[0] < p.angle.front() + 360;
        bool areas = true;
        for (int c = 1; c < columns; ++c)
            areas = areas && v[c] >= 0 && v[c] <= LargestArea;
        if (!rising || !withinTurn || !areas) {
            r.error = csvLineError(t.lines[k],
                                   QStringLiteral("angoli crescenti entro un giro, aree tra 0 e "
                                                  "%1 mm\u00b2")
                                       .arg(LargestArea, 0, 'f', 0));
            return r;
        }
        p.angle.push_back(v[0]);
        p.exhaust.push_back(v[1]);
        p.transfer.push_back(v[2]);
        if (four)
            p.intake.push_back(v[3]);
    }
    const auto some = [](const std::vector<double> &v) {
        return std::any_of(v.begin(), v.end(), [](double a) { return a > 0; });
    };
    if (p.angle.size() < 4 || !some(p.exhaust) || !some(p.transfer)) {
        r.error = QStringLiteral("servono almeno quattro righe, con lo scarico e i travasi aperti "
                                 "in qualche punto del giro");
        return r;
    }
    if (const std::optional<QString> problem = engineProblem(p))
        r.error = *problem;
    return r;
}

std::optional<QString> engineProblem(const PortAreaTable &p)
{
    // Every half degree of a turn: how often each port opens, and whether it is open at top
    // dead centre.
    struct Port
    {
        const char *name;
        double PortAreaTable::Areas::*area;
        bool shutAtTdc;
    };
    const Port ports[] = {{"lo scarico", &PortAreaTable::Areas::exhaust, true},
                          {"i travasi", &PortAreaTable::Areas::transfer, true},
                          {"l'aspirazione", &PortAreaTable::Areas::intake, false}};
    for (const Port &port : ports) {
        if (port.area == &PortAreaTable::Areas::intake && !p.hasIntake())
            continue;
        int openings = 0;
        bool was = p.at(359.5).*port.area > 0;
        for (int k = 0; k < 720; ++k) {
            const bool open = p.at(k * 0.5).*port.area > 0;
            openings += open && !was;
            was = open;
        }
        const QString name = QString::fromUtf8(port.name);
        if (openings == 0 && p.at(0).*port.area > 0)
            return QStringLiteral("%1 non si chiude mai: in un motore si apre e si chiude una volta "
                                  "per giro")
                .arg(name);
        if (openings != 1)
            return QStringLiteral("%1 si apre %2 volte per giro: in un motore si apre e si chiude "
                                  "una volta")
                .arg(name)
                .arg(openings);
        if (port.shutAtTdc && p.at(0).*port.area > 0)
            return QStringLiteral("%1 \u00e8 aperto al punto morto superiore: le luci del "
                                  "cilindro si aprono e si chiudono tra i due punti morti")
                .arg(name);
    }
    const PortTiming t = p.timing();
    if (t.eo > t.to)
        return QStringLiteral("lo scarico si apre a %1\u00b0, dopo i travasi (%2\u00b0): in un "
                              "motore si apre prima")
            .arg(t.eo, 0, 'f', 1)
            .arg(t.to, 0, 'f', 1);
    return std::nullopt;
}

QByteArray portAreasCsv(const PortAreaTable &t)
{
    QByteArray out = t.hasIntake() ? "angle_deg,exhaust_mm2,transfer_mm2,intake_mm2\n"
                                   : "angle_deg,exhaust_mm2,transfer_mm2\n";
    for (std::size_t i = 0; i < t.angle.size(); ++i) {
        out += QByteArray::number(t.angle[i], 'g', 17) + ',' +
               QByteArray::number(t.exhaust[i], 'g', 17) + ',' +
               QByteArray::number(t.transfer[i], 'g', 17);
        if (t.hasIntake())
            out += ',' + QByteArray::number(t.intake[i], 'g', 17);
        out += '\n';
    }
    return out;
}

} // namespace velmorant::engine
