#include "engine.h"

#include "band.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

namespace {

constexpr double Pi = 3.14159265358979323846;

} // namespace

const QList<EngineRange> &engineRanges()
{
    static const QList<EngineRange> ranges{
        {"con-rod", &EngineInputs::conRodStrokes, 1.5, 3, "biella in corse (default 2)",
         "Biella (corse)"},
        {"compression", &EngineInputs::compressionRatio, 5, 20,
         "rapporto di compressione geometrico (default 12)", "Rapporto di compressione"},
        {"exhaust-width", &EngineInputs::exhaustWidth, 0.3, 1,
         "larghezza della luce di scarico, frazione dell'alesaggio (default 0,65)",
         "Larghezza luce di scarico (\u00d7 alesaggio)"},
        {"transfer-width", &EngineInputs::transferWidth, 0.3, 2,
         "larghezza dei travasi insieme, frazione dell'alesaggio (default 1)",
         "Larghezza travasi (\u00d7 alesaggio)"},
        {"exhaust-cd", &EngineInputs::exhaustCd, 0.3, 1,
         "coefficiente di efflusso dello scarico (default 0,75)",
         "Coefficiente di efflusso scarico"},
        {"transfer-cd", &EngineInputs::transferCd, 0.3, 1,
         "coefficiente di efflusso dei travasi (default 0,7)", "Coefficiente di efflusso travasi"},
        {"eo-pressure", &EngineInputs::eoPressure, 1.5, 20,
         "pressione nel cilindro all'apertura dello scarico, bar (default 5)",
         "Pressione all'apertura scarico (bar)"},
        {"eo-temperature", &EngineInputs::eoTemperature, 200, 2000,
         "temperatura nel cilindro all'apertura dello scarico, \u00b0C (default 1000)",
         "Temperatura all'apertura scarico (\u00b0C)"},
        {"crankcase-ratio", &EngineInputs::crankcaseRatio, 1.1, 2,
         "rapporto di compressione del carter (default 1,4)", "Rapporto di compressione carter"},
        {"ambient-pressure", &EngineInputs::ambientPressure, 0.5, 1.2,
         "pressione ambiente, bar (default 1,013)", "Pressione ambiente (bar)"},
        {"ambient-temperature", &EngineInputs::ambientTemperature, -30, 50,
         "temperatura ambiente, \u00b0C (default 20)", "Temperatura ambiente (\u00b0C)"},
    };
    return ranges;
}

std::optional<QString> engineProblem(const EngineInputs &in, const QLocale &c)
{
    for (const EngineRange &r : engineRanges()) {
        const double v = in.*r.member;
        if (!(v >= r.low && v <= r.high))
            return QStringLiteral("Valore non valido per --%1: serve un numero tra %2 e %3")
                .arg(QLatin1String(r.option), c.toString(r.low), c.toString(r.high));
    }
    for (const auto &[value, name] : {std::pair{in.bore, "--bore"}, {in.stroke, "--stroke"}}) {
        if (value && !(*value >= SmallestBoreMm && *value <= LargestBoreMm))
            return QStringLiteral("Valore non valido per %1: serve un numero tra %2 e %3")
                .arg(QLatin1String(name), c.toString(SmallestBoreMm), c.toString(LargestBoreMm));
    }
    if (!(in.displacement >= 2 && in.displacement <= 2000))
        return QStringLiteral("Il modello delle onde prende cilindrate tra 2 e 2000 cm\u00b3");
    if (!(in.pipeTemperature >= 0 && in.pipeTemperature <= 1500))
        return QStringLiteral("Il modello delle onde prende temperature del gas nel tubo (TEMP1) "
                              "tra 0 e 1500 \u00b0C");
    if (!(in.sc > in.asp) || !(in.asp > 0) || !(in.sc < 360))
        return QStringLiteral("Le fasi devono rispettare 0 < aspirazione < scarico < 360 gradi");
    return std::nullopt;
}

EngineInputs onDesign(EngineInputs engine, const DesignParameters &p)
{
    engine.displacement = p[Field::Cil];
    engine.sc = p[Field::Sc];
    engine.asp = p[Field::Asp];
    engine.pipeTemperature = p[Field::Temp1];
    return engine;
}

double EngineGeometry::travel(double degrees) const
{
    const double r = stroke / 2;
    const double a = degrees * Pi / 180;
    const double s = std::sin(a);
    return r * (1 - std::cos(a)) + rod - std::sqrt(rod * rod - r * r * s * s);
}

double EngineGeometry::exhaustArea(double s) const
{
    return exhaustWidth * std::clamp(s - eoDrop, 0.0, stroke - eoDrop);
}

double EngineGeometry::transferArea(double s) const
{
    return transferWidth * std::clamp(s - toDrop, 0.0, stroke - toDrop);
}

EngineGeometry engineGeometry(const EngineInputs &in)
{
    EngineGeometry g;
    const double swept = in.displacement * 1e-6;
    double bore = in.bore.value_or(0) / 1000, stroke = in.stroke.value_or(0) / 1000;
    if (!in.bore && !in.stroke)
        bore = stroke = std::cbrt(4 * swept / Pi);
    else if (!in.stroke)
        stroke = swept / (Pi * bore * bore / 4);
    else if (!in.bore)
        bore = std::sqrt(4 * swept / (Pi * stroke));
    g.bore = bore;
    g.stroke = stroke;
    g.rod = in.conRodStrokes * stroke;
    g.pistonArea = Pi * bore * bore / 4;
    g.swept = g.pistonArea * stroke; // bore and stroke given: their own displacement
    g.clearance = g.swept / (in.compressionRatio - 1);
    const PortTiming timing = portTiming(in.sc, in.asp);
    g.eoDrop = g.travel(timing.eo);
    g.toDrop = g.travel(timing.to);
    g.exhaustWidth = in.exhaustWidth * bore;
    g.transferWidth = in.transferWidth * bore;
    const double intake = in.intakeDiameter * bore;
    g.intakeArea = Pi * intake * intake / 4;
    g.crankcaseMin = g.swept / (in.crankcaseRatio - 1);
    return g;
}

} // namespace velmorant::waves
