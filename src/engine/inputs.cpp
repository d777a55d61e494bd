#include "inputs.h"

#include <cmath>

namespace velmorant::engine {

Scavenging EngineInputs::scavengingModel() const
{
    if (scavenging)
        return *scavenging;
    return cycle == Cycle::Fired ? Scavenging::Scre : Scavenging::Mixing;
}

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
        {"intake-cd", &EngineInputs::intakeCd, 0.3, 1,
         "coefficiente di efflusso dell'aspirazione (default 0,7)",
         "Coefficiente di efflusso aspirazione"},
        {"crankcase-ratio", &EngineInputs::crankcaseRatio, 1.1, 2,
         "rapporto di compressione del carter (default 1,4)", "Rapporto di compressione carter"},
        {"ambient-pressure", &EngineInputs::ambientPressure, 0.5, 1.2,
         "pressione ambiente, bar (default 1,013)", "Pressione ambiente (bar)"},
        {"ambient-temperature", &EngineInputs::ambientTemperature, -30, 50,
         "temperatura ambiente, \u00b0C (default 20)", "Temperatura ambiente (\u00b0C)"},
        {"ignition", &EngineInputs::ignition, -40, 60,
         "anticipo d'accensione, gradi prima del PMS (default 18)",
         "Anticipo d'accensione (\u00b0 prima del PMS)"},
        {"burn-duration", &EngineInputs::burnDuration, 10, 120,
         "durata della combustione, gradi (default 60)", "Durata della combustione (\u00b0)"},
        {"wiebe-a", &EngineInputs::wiebeA, 1, 10, "fattore a della legge di Wiebe (default 5)",
         "Wiebe, fattore a"},
        {"wiebe-m", &EngineInputs::wiebeM, 0, 5, "esponente m della legge di Wiebe (default 2)",
         "Wiebe, esponente m"},
        {"air-fuel", &EngineInputs::airFuel, 8, 20, "rapporto aria/benzina (default 12,5)",
         "Rapporto aria/benzina"},
        {"lhv", &EngineInputs::lhv, 20, 50,
         "potere calorifico inferiore del combustibile, MJ/kg (default 43)",
         "Potere calorifico inferiore (MJ/kg)"},
        {"combustion-efficiency", &EngineInputs::combustionEfficiency, 0.5, 1,
         "rendimento di combustione (default 0,9)", "Rendimento di combustione"},
        {"heat-transfer", &EngineInputs::heatTransfer, 0, 1,
         "costante a di Annand, Nu = a Re^0,7; 0 pareti adiabatiche (default 0,26)",
         "Scambio termico, costante di Annand"},
        {"wall-temperature", &EngineInputs::wallTemperature, 20, 400,
         "temperatura delle pareti del cilindro, \u00b0C (default 200)",
         "Temperatura delle pareti (\u00b0C)"},
        {"eo-pressure", &EngineInputs::eoPressure, 1.5, 20,
         "pressione nel cilindro all'apertura dello scarico, bar, con --cycle fisso (default 5)",
         "Pressione all'apertura scarico, ciclo fisso (bar)"},
        {"eo-temperature", &EngineInputs::eoTemperature, 200, 2000,
         "temperatura nel cilindro all'apertura dello scarico, \u00b0C, con --cycle fisso "
         "(default 1000)",
         "Temperatura all'apertura scarico, ciclo fisso (\u00b0C)"},
        {"friction-a", &EngineInputs::frictionA, 0, 5, "", "Attrito, A (bar)", false},
        {"friction-b", &EngineInputs::frictionB, 0, 0.05, "", "Attrito, B (per bar di picco)",
         false},
        {"friction-c", &EngineInputs::frictionC, 0, 0.5, "", "Attrito, C (bar s/m)", false},
        {"friction-d", &EngineInputs::frictionD, 0, 0.01, "", "Attrito, D (bar s\u00b2/m\u00b2)",
         false},
        {"friction-revs", &EngineInputs::frictionRevolutions, 1, 2,
         "giri del ciclo su cui sono state trovate le costanti d'attrito: 2 per quelle di un "
         "quattro tempi, 1 per quelle di un due tempi (default 2)",
         "Attrito, giri del ciclo delle costanti"},
    };
    return ranges;
}

const QStringList &scavengingNames()
{
    static const QStringList names{"miscelazione", "spostamento", "uniflow", "scre",
                                   "yam1",         "yam6",        "cd",      "qubcr"};
    return names;
}

std::optional<Scavenging> scavengingNamed(const QString &name)
{
    const int i = int(scavengingNames().indexOf(name.toLower()));
    return i >= 0 ? std::optional<Scavenging>(Scavenging(i)) : std::nullopt;
}

QString scavengingName(Scavenging s)
{
    return scavengingNames()[int(s)];
}

QString scavengingCaption(Scavenging s)
{
    static const char *const captions[] = {
        "miscelazione perfetta",
        "spostamento perfetto",
        "cilindro uniflow",
        "Schn\u00fcrle, lavaggio a ritorno (SCRE)",
        "lavaggio a ritorno, cilindro YAM1",
        "lavaggio a ritorno, cilindro YAM6",
        "lavaggio trasversale con deflettore (CD)",
        "lavaggio trasversale QUB (QUBCR)"};
    return QString::fromUtf8(captions[int(s)]);
}

QString cycleName(Cycle c)
{
    return c == Cycle::Fired ? QStringLiteral("motore") : QStringLiteral("fisso");
}

std::optional<Cycle> cycleNamed(const QString &name)
{
    if (name == QLatin1String("motore"))
        return Cycle::Fired;
    if (name == QLatin1String("fisso"))
        return Cycle::Fixed;
    return std::nullopt;
}

std::optional<QString> displacementDisagreement(const EngineInputs &in, const QLocale &locale)
{
    if (!in.bore || !in.stroke || !(in.displacement > 0))
        return std::nullopt;
    const double own = 3.14159265358979323846 / 4 * *in.bore * *in.bore * *in.stroke / 1000;
    if (std::abs(own / in.displacement - 1) <= DisplacementTolerance)
        return std::nullopt;
    QLocale c = locale;
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    auto number = [&](double v) {
        return c.toString(v, 'f', std::abs(v - std::round(v)) < 0.05 ? 0 : 1);
    };
    return QStringLiteral("Alesaggio %1 mm e corsa %2 mm fanno %3 cm\u00b3, non la cilindrata di "
                          "%4 cm\u00b3: dare uno solo dei due (l'altro segue dalla cilindrata) "
                          "o correggere la cilindrata")
        .arg(number(*in.bore), number(*in.stroke), number(own), number(in.displacement));
}

std::optional<QString> engineProblem(const EngineInputs &in, const QLocale &locale)
{
    QLocale c = locale;
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    for (const EngineRange &r : engineRanges()) {
        const double v = in.*r.member;
        if (!(v >= r.low && v <= r.high))
            return QStringLiteral("Valore non valido per --%1: serve un numero tra %2 e %3")
                .arg(QLatin1String(r.ownOption ? r.option : "friction"), c.toString(r.low),
                     c.toString(r.high));
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
    if (!in.portAreas && (!(in.sc > in.asp) || !(in.asp > 0) || !(in.sc < 360)))
        return QStringLiteral("Le fasi devono rispettare 0 < aspirazione < scarico < 360 gradi");
    return displacementDisagreement(in, locale);
}

} // namespace velmorant::engine
