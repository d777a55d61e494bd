#include "routeoptions.h"

#include "optiontexts.h"
#include "fit.h"
#include "layout.h"
#include "mesh.h"
#include "pipefile.h"
#include "safefile.h"

#include <QCommandLineParser>

namespace velmorant {

namespace {

constexpr double LargestJointDeg = 90;

} // namespace

QList<PipeOptionSpec> routeOptionSpecs()
{
    return {
        {"route", "FILE.json",
         "il percorso del tubo: partenza e curve in ordine dalla luce; le curve si tagliano "
         "in spicchi obliqui (vedere il README)"},
        {"obstacles", "FILE.json",
         "gli ostacoli attorno al tubo (scatole e cilindri), il margine e l'arrivo della coda: "
         "le distanze nel JSON, ogni contatto un avviso (vedere il README)"},
        {"bend-losses", "N",
         "con --waves, le perdite delle giunzioni (Idelchik) per N, da 0 a 10 (default 1; 0: "
         "le cifre del tubo diritto)"},
        {"fit", nullptr,
         "cerca le curve che fanno stare il tubo sulla moto (con --obstacles): ostacoli "
         "evitati col margine, coda nell'arrivo, la minima piegatura totale"},
        {"fit-bends", "N", "curve al massimo per --fit, da 1 a 8 (default 4)"},
        {"fit-segment", "MM",
         "lo spicchio pi\u00f9 corto per --fit, da 0 a 500 (default 0: il raggio di due "
         "diametri)"},
        {"write-route", "FILE.json", "il percorso usato (trovato da --fit o letto), che --route rilegge"},
        {"seam-side", "LATO", "la saldatura degli spicchi: interno, esterno o alternato (default)"},
        {"stl", "FILE.stl",
         "il corpo del tubo in STL binario (mm): la superficie esterna, chiusa, lungo il "
         "percorso (diritto senza --route)"},
        {"halves-margin", "MM",
         "curve a semigusci (\"halves\" nel percorso): la lamiera oltre ogni saldatura, da 0 "
         "a 50 (default 5)"},
        {"halves-stretch", "PERCENTO",
         "curve a semigusci: quanto la lamiera si allunga attorno al semiguscio nella "
         "formatura, da 0 a 20 (default 0; i costruttori parlano di circa 2)"},
        {"max-joint-deg", "GRADI",
         "rotazione massima di una giunzione, da 1 a 90 (default: 30 nel collettore, 25 nel "
         "divergente, 20 nel ventre e nel convergente, 15 nella coda)"},
    };
}

std::optional<QString> readRouteOptions(const QCommandLineParser &parser, const QLocale &locale,
                                        bool drawsParts, RouteRequest &r)
{
    if (parser.isSet(QStringLiteral("stl"))) {
        r.stlFile = parser.value(QStringLiteral("stl"));
        if (r.stlFile.isEmpty())
            return QStringLiteral("Manca il nome del file di --stl");
    }
    if (parser.isSet(QStringLiteral("route"))) {
        r.routeFile = parser.value(QStringLiteral("route"));
        if (r.routeFile.isEmpty())
            return QStringLiteral("Manca il nome del file di --route");
    }
    if (parser.isSet(QStringLiteral("obstacles"))) {
        r.obstaclesFile = parser.value(QStringLiteral("obstacles"));
        if (r.obstaclesFile.isEmpty())
            return QStringLiteral("Manca il nome del file di --obstacles");
        if (!drawsParts)
            return QStringLiteral("--obstacles serve con --patterns, --cut-list o --json");
    }
    if (parser.isSet(QStringLiteral("seam-side"))) {
        const QString side = parser.value(QStringLiteral("seam-side"));
        if (side == QLatin1String("interno"))
            r.seamSide = route::SeamSide::Inside;
        else if (side == QLatin1String("esterno"))
            r.seamSide = route::SeamSide::Outside;
        else if (side == QLatin1String("alternato"))
            r.seamSide = route::SeamSide::Alternating;
        else
            return badValue(QStringLiteral("--seam-side"), side,
                            QStringLiteral("interno, esterno o alternato"));
    }
    if (parser.isSet(QStringLiteral("max-joint-deg"))) {
        const QString text = parser.value(QStringLiteral("max-joint-deg"));
        const std::optional<double> v = parseSettingNumber(text, locale);
        if (!v || *v < 1 || *v > LargestJointDeg)
            return badValue(QStringLiteral("--max-joint-deg"), text,
                            numberRange(1, LargestJointDeg, locale));
        r.maxJointDeg = v;
    }
    if (parser.isSet(QStringLiteral("bend-losses"))) {
        const QString text = parser.value(QStringLiteral("bend-losses"));
        const std::optional<double> v = parseSettingNumber(text, locale);
        if (!v || *v < 0 || *v > 10)
            return badValue(QStringLiteral("--bend-losses"), text, numberRange(0, 10, locale));
        r.bendLosses = v;
    }
    r.fit = parser.isSet(QStringLiteral("fit"));
    if (parser.isSet(QStringLiteral("fit-bends"))) {
        const QString text = parser.value(QStringLiteral("fit-bends"));
        bool whole = false;
        r.fitBends = text.toInt(&whole);
        if (!whole || r.fitBends < 1 || r.fitBends > 8)
            return badValue(QStringLiteral("--fit-bends"), text,
                            QStringLiteral("serve un numero intero tra 1 e 8"));
        if (!r.fit)
            return QStringLiteral("--fit-bends serve con --fit");
    }
    if (parser.isSet(QStringLiteral("fit-segment"))) {
        const QString text = parser.value(QStringLiteral("fit-segment"));
        const std::optional<double> v = parseSettingNumber(text, locale);
        if (!v || *v < 0 || *v > 500)
            return badValue(QStringLiteral("--fit-segment"), text, numberRange(0, 500, locale));
        if (!r.fit)
            return QStringLiteral("--fit-segment serve con --fit");
        r.fitSegmentMm = *v;
    }
    if (r.fit && r.obstaclesFile.isEmpty())
        return QStringLiteral("--fit serve con --obstacles: gli ostacoli e l'arrivo");
    if (parser.isSet(QStringLiteral("write-route"))) {
        r.writeRouteFile = parser.value(QStringLiteral("write-route"));
        if (r.writeRouteFile.isEmpty())
            return QStringLiteral("Manca il nome del file di --write-route");
        if (r.routeFile.isEmpty() && !r.fit)
            return QStringLiteral("--write-route serve con --route o --fit");
    }
    if (r.routeFile.isEmpty() && !r.fit && (r.seamSide || r.maxJointDeg || r.bendLosses))
        return QStringLiteral("--seam-side, --max-joint-deg e --bend-losses servono con --route");
    if ((!r.routeFile.isEmpty() || r.fit) && !drawsParts && r.stlFile.isEmpty() &&
        r.writeRouteFile.isEmpty())
        return QStringLiteral("--route e --fit servono con --patterns, --cut-list, --json, --stl, "
                              "--waves o --write-route");
    return std::nullopt;
}

std::optional<QString> readRouteFiles(const RouteRequest &r, WorkshopOptions &into)
{
    if (!r.routeFile.isEmpty()) {
        const route::RouteRead read = readRouteFile(r.routeFile);
        if (!read.ok())
            return QStringLiteral("--route: %1").arg(read.error);
        into.route = read.route;
        into.seamSide = r.seamSide.value_or(route::SeamSide::Alternating);
        into.maxJointDeg = r.maxJointDeg.value_or(0);
    }
    if (!r.obstaclesFile.isEmpty()) {
        const route::SurroundingsRead read = readObstaclesFile(r.obstaclesFile);
        if (!read.ok())
            return QStringLiteral("--obstacles: %1").arg(read.error);
        into.surroundings = read.surroundings;
    }
    return std::nullopt;
}

std::optional<QString> addMitreJoints(const RouteRequest &r, const WorkshopOptions &workshop,
                                      const Pipe &modelled, waves::WaveOptions &into)
{
    if (!workshop.route || workshop.route->straight())
        return std::nullopt;
    route::LayoutRules rules;
    rules.sheetMm = workshop.sheetThickness;
    rules.maxJointDeg = workshop.maxJointDeg;
    const route::RouteLayout laid = route::layRoute(modelled, *workshop.route, rules);
    if (!laid.ok())
        return QStringLiteral("--route: %1").arg(laid.problem);
    into.mitreJoints.clear();
    for (const route::Joint &j : laid.joints)
        into.mitreJoints << waves::MitreJoint{j.atMm, j.angleDeg};
    into.bendLosses = r.bendLosses.value_or(1);
    return std::nullopt;
}

std::optional<QString> fitAndWriteRoute(const RouteRequest &r, WorkshopOptions &workshop,
                                        const Pipe &pipe, QString &said)
{
    if (r.fit && workshop.surroundings) {
        route::FitLimits limits;
        limits.bends = r.fitBends;
        limits.segmentMm = r.fitSegmentMm;
        if (r.maxJointDeg)
            limits.jointDeg = *r.maxJointDeg;
        const route::FitResult f = route::fitRoute(
            pipe, workshop.route.value_or(route::Route()), *workshop.surroundings,
            workshop.sheetThickness, limits);
        workshop.route = f.route;
        const QLocale c = QLocale::c();
        said = f.fits ? QStringLiteral("Percorso trovato: %1 curve, %2 gradi in tutto (%3 percorsi provati)\n")
                            .arg(f.route.bends.size())
                            .arg(c.toString(f.totalAngleDeg, 'f', 1))
                            .arg(f.evaluations)
                      : QStringLiteral("Nessun percorso sta sulla moto: quello che ci va pi\u00f9 vicino "
                                       "entra di %1 mm negli ostacoli e finisce a %2 mm dall'arrivo\n")
                            .arg(c.toString(f.clashMm, 'f', 1), c.toString(f.tailOutsideMm, 'f', 1));
    }
    if (!r.writeRouteFile.isEmpty() && workshop.route) {
        if (const std::optional<QString> error =
                writeFileAtomically(r.writeRouteFile, route::routeJson(*workshop.route)))
            return QStringLiteral("Impossibile scrivere il file %1: %2")
                .arg(quotedPath(r.writeRouteFile), *error);
    }
    return std::nullopt;
}

std::optional<QString> writeBodyFile(const RouteRequest &r, const WorkshopOptions &workshop,
                                     const Pipe &pipe)
{
    if (r.stlFile.isEmpty())
        return std::nullopt;
    const route::BodyMesh body =
        route::pipeBody(pipe, workshop.route.value_or(route::Route()), workshop.sheetThickness);
    if (!body.problem.isEmpty())
        return QStringLiteral("--route: %1").arg(body.problem);
    if (const std::optional<QString> error = writeFileAtomically(r.stlFile, route::stlBytes(body)))
        return QStringLiteral("Impossibile scrivere il file %1: %2").arg(quotedPath(r.stlFile), *error);
    return std::nullopt;
}

} // namespace velmorant
