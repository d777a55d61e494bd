#include "optimizeoptions.h"

#include "optiontexts.h"
#include "pipecsv.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QJsonArray>

#include <cmath>
#include <tuple>
#include <cstdio>
#include <unistd.h>

namespace velmorant {

namespace {

// Two numbers MIN:MAX under `locale`.
std::optional<std::pair<double, double>> pairOf(const QString &text, const QLocale &locale)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return std::nullopt;
    const std::optional<double> a = parseLocaleNumber(parts[0], locale),
                                b = parseLocaleNumber(parts[1], locale);
    if (!a || !b)
        return std::nullopt;
    return std::pair{*a, *b};
}

QString objectiveCaption(tuning::Objective o, double from, double to, const QLocale &locale)
{
    auto rpm = [&](double v) { return locale.toString(qRound64(v)); };
    switch (o) {
    case tuning::Objective::Mean:
        return QStringLiteral("potenza media da %1 a %2 giri/min").arg(rpm(from), rpm(to));
    case tuning::Objective::Peak:
        return QStringLiteral("potenza massima da %1 a %2 giri/min").arg(rpm(from), rpm(to));
    case tuning::Objective::Speed:
        break;
    }
    return QStringLiteral("potenza a %1 giri/min").arg(rpm(0.5 * (from + to)));
}

QJsonObject bandJson(const Pipe &pipe, const tuning::BandRun &b)
{
    QJsonArray speeds;
    for (const waves::SpeedResult &r : b.speeds)
        speeds.append(QJsonObject{{"rpm", r.rpm},
                                  {"power_kw", r.brake.powerKw},
                                  {"power_cv", r.brake.powerCv},
                                  {"torque_nm", r.brake.torqueNm},
                                  {"periodic", r.periodic}});
    return QJsonObject{{"pipe", pipeObject(pipe)},
                       {"mean_power_kw", b.meanKw},
                       {"peak_power_kw", b.peakKw},
                       {"objective_kw", b.value},
                       {"speeds", speeds}};
}

} // namespace

QList<PipeOptionSpec> optimizeOptionSpecs()
{
    return {
        {"optimize", "DA:A",
         "cerca il tubo che d\u00e0 pi\u00f9 potenza tra DA e A giri/min (dal tubo scelto)"},
        {"objective", "OBIETTIVO",
         "media (default: la potenza media nella fascia), picco o regime (a met\u00e0 fascia)"},
        {"evaluations", "N", "tubi provati dalla ricerca, da 10 a 2000 (default 150)"},
        {"angle-limits", "MIN:MAX", "semiangolo di ogni cono, gradi (default 1:12)"},
        {"length-limit", "N", "lunghezza massima, volte quella di partenza (default 1,25)"},
        {"belly-limit", "MM", "diametro massimo del ventre (default: quello di partenza per 1,3)"},
        {"max-length-mm", "MM", "lunghezza massima in mm, quale che sia la partenza (da 100 a "
                                "10000): quanto il telaio concede"},
        {"max-diameter-mm", "MM", "diametro massimo in mm, quale che sia la partenza (da 10 a "
                                  "500)"},
        {"tail-limits", "MIN:MAX",
         "diametro della coda, frazioni di quello del collettore (default 0,45:0,75)"},
        {"write-pipe", "FILE.csv", "il tubo migliore in CSV (x_mm,d_mm), che --pipe rilegge"},
    };
}

std::optional<QString> readOptimizeOptions(const QCommandLineParser &parser,
                                           const QLocale &locale, OptimizeRequest &r)
{
    auto isSet = [&](const char *name) { return parser.isSet(QLatin1String(name)); };
    auto value = [&](const char *name) { return parser.value(QLatin1String(name)); };
    r.enabled = isSet("optimize");
    if (!r.enabled) {
        for (const PipeOptionSpec &spec : optimizeOptionSpecs())
            if (isSet(spec.name))
                return QStringLiteral("--%1 serve con --optimize").arg(QLatin1String(spec.name));
        return std::nullopt;
    }
    const std::optional<std::pair<double, double>> band = pairOf(value("optimize"), locale);
    if (!band || !(band->first >= waves::SlowestRpm && band->second <= waves::FastestRpm &&
                   band->first <= band->second))
        return badValue(QStringLiteral("--optimize"), value("optimize"),
                        QStringLiteral("DA:A in giri/min, da %1 a %2, DA non oltre A")
                            .arg(locale.toString(waves::SlowestRpm),
                                 locale.toString(waves::FastestRpm)));
    r.from = band->first;
    r.to = band->second;
    if (isSet("objective")) {
        const std::optional<tuning::Objective> o = tuning::objectiveNamed(value("objective"));
        if (!o)
            return badValue(QStringLiteral("--objective"), value("objective"),
                            QStringLiteral("media, picco o regime"));
        r.objective = *o;
    }
    if (isSet("evaluations")) {
        const std::optional<double> n = parseSettingNumber(value("evaluations"), locale);
        if (!n || *n != std::floor(*n) || *n < tuning::SmallestBudget ||
            *n > tuning::LargestBudget)
            return badValue(QStringLiteral("--evaluations"), value("evaluations"),
                            QStringLiteral("un numero intero tra %1 e %2")
                                .arg(tuning::SmallestBudget)
                                .arg(tuning::LargestBudget));
        r.evaluations = int(*n);
    }
    for (const auto &[name, low, high] :
         {std::tuple{"angle-limits", &r.limits.minAngle, &r.limits.maxAngle},
          std::tuple{"tail-limits", &r.limits.minTail, &r.limits.maxTail}}) {
        if (!isSet(name))
            continue;
        const std::optional<std::pair<double, double>> v = pairOf(value(name), locale);
        if (!v)
            return badValue(QStringLiteral("--") + QLatin1String(name), value(name),
                            QStringLiteral("MIN:MAX, due numeri"));
        *low = v->first;
        *high = v->second;
    }
    if (isSet("length-limit")) {
        const std::optional<double> v = parseSettingNumber(value("length-limit"), locale);
        if (!v)
            return badValue(QStringLiteral("--length-limit"), value("length-limit"),
                            numberRange(1, 3, locale));
        r.limits.lengthFactor = *v;
    }
    if (isSet("belly-limit")) {
        const std::optional<double> v = parseSettingNumber(value("belly-limit"), locale);
        if (!v)
            return badValue(QStringLiteral("--belly-limit"), value("belly-limit"),
                            numberRange(10, 500, locale));
        r.limits.maxBelly = *v;
    }
    for (const auto &[name, into, low, high] :
         {std::tuple{"max-length-mm", &r.limits.maxLengthMm, 100.0, 10000.0},
          std::tuple{"max-diameter-mm", &r.limits.maxDiameterMm, 10.0, 500.0}}) {
        if (!isSet(name))
            continue;
        const std::optional<double> v = parseSettingNumber(value(name), locale);
        if (!v || *v < low || *v > high)
            return badValue(QStringLiteral("--") + QLatin1String(name), value(name),
                            numberRange(low, high, locale));
        *into = v;
    }
    if (const std::optional<QString> problem = tuning::limitsProblem(r.limits, locale))
        return QStringLiteral("Limiti dell'ottimizzazione non validi: %1").arg(*problem);
    r.writePipeFile = value("write-pipe");
    return std::nullopt;
}

tuning::PipeSearchResult runOptimize(const OptimizeRequest &r, const Pipe &start,
                                     const waves::EngineInputs &engine,
                                     const waves::WaveOptions &options, QString *refusal,
                                     const QLocale &locale)
{
    tuning::PipeSearchInputs in;
    in.start = start;
    in.engine = engine;
    in.options = options;
    in.options.probes.clear();
    in.from = r.from;
    in.to = r.to;
    in.objective = r.objective;
    in.limits = r.limits;
    in.plan.evaluations = r.evaluations;
    if (const std::optional<QString> problem = tuning::searchProblem(in, locale)) {
        *refusal = QStringLiteral("Impossibile ottimizzare il tubo: %1").arg(*problem);
        return {};
    }
    QElapsedTimer clock;
    clock.start();
    qint64 shown = -1;
    const bool terminal = isatty(fileno(stderr));
    const tuning::PipeSearchResult result =
        tuning::searchPipe(in, nullptr, [&](const tuning::SearchProgress &p) {
            if (!terminal || clock.elapsed() < 1000 || (shown >= 0 && clock.elapsed() - shown < 200))
                return;
            shown = clock.elapsed();
            std::fprintf(stderr, "\rOttimizzazione: %d di %d tubi, il migliore %s kW   ",
                         p.evaluations, r.evaluations,
                         qPrintable(locale.toString(std::max(0.0, p.best), 'f', 2)));
            std::fflush(stderr);
        });
    if (terminal && shown >= 0)
        std::fprintf(stderr, "\n");
    return result;
}

QString optimizeTable(const OptimizeRequest &r, const tuning::PipeSearchResult &res,
                      const QLocale &locale)
{
    auto cv = [&](double kw) { return locale.toString(kw * 1000 / engine::WattsPerCv, 'f', 2); };
    auto mm = [&](double v) { return locale.toString(v, 'f', 1); };
    QString t = QStringLiteral("\nOttimizzazione (%1; %2 tubi provati):\n")
                    .arg(objectiveCaption(r.objective, r.from, r.to, locale))
                    .arg(res.evaluations);
    if (res.cancelled)
        t += QStringLiteral("  ricerca interrotta: il migliore trovato fin qui\n");
    if (!res.startOutside.isEmpty())
        t += QStringLiteral("  il tubo di partenza esce dai limiti: %1\n").arg(res.startOutside);
    if (res.keptStart)
        t += QStringLiteral("  nessun tubo entro i limiti fa meglio di quello di partenza\n");
    t += QStringLiteral("\nTubo di partenza: %1 tratti, lunghezza %2 mm\n")
             .arg(res.start.sections.size())
             .arg(mm(res.start.length())) +
         pipeSections(res.start, locale);
    t += QStringLiteral("\nTubo migliore: %1 tratti, lunghezza %2 mm\n")
             .arg(res.best.sections.size())
             .arg(mm(res.best.length())) +
         pipeSections(res.best, locale);
    const double gain = res.startBand.value != 0
                            ? 100 * (res.bestBand.value / res.startBand.value - 1)
                            : 0;
    t += QStringLiteral("\n                        partenza  migliore\n"
                        "  potenza media CV     %1 %2\n"
                        "  potenza massima CV   %3 %4\n"
                        "  guadagno sull'obiettivo %5 %\n")
             .arg(cv(res.startBand.meanKw), 8)
             .arg(cv(res.bestBand.meanKw), 9)
             .arg(cv(res.startBand.peakKw), 8)
             .arg(cv(res.bestBand.peakKw), 9)
             .arg(locale.toString(gain, 'f', 1));
    t += QStringLiteral("\n  giri/min  CV partenza  CV migliore\n");
    for (int k = 0; k < res.bestBand.speeds.size() && k < res.startBand.speeds.size(); ++k)
        t += QStringLiteral("  %1 %2 %3\n")
                 .arg(locale.toString(qRound64(res.bestBand.speeds[k].rpm)), 8)
                 .arg(cv(res.startBand.speeds[k].brake.powerKw), 12)
                 .arg(cv(res.bestBand.speeds[k].brake.powerKw), 12);
    return t;
}

QJsonObject optimizeJson(const OptimizeRequest &r, const tuning::PipeSearchResult &res)
{
    const tuning::Limits &l = r.limits;
    return QJsonObject{
        {"objective", tuning::objectiveName(r.objective)},
        {"band", QJsonArray{r.from, r.to}},
        {"evaluations", res.evaluations},
        {"cancelled", res.cancelled},
        {"kept_start", res.keptStart},
        {"start_outside_limits",
         res.startOutside.isEmpty() ? QJsonValue() : QJsonValue(res.startOutside)},
        {"limits", QJsonObject{{"angle", QJsonArray{l.minAngle, l.maxAngle}},
                               {"length_factor", l.lengthFactor},
                               {"belly_mm", l.maxBelly ? QJsonValue(*l.maxBelly) : QJsonValue()},
                               {"max_length_mm",
                                l.maxLengthMm ? QJsonValue(*l.maxLengthMm) : QJsonValue()},
                               {"max_diameter_mm",
                                l.maxDiameterMm ? QJsonValue(*l.maxDiameterMm) : QJsonValue()},
                               {"tail", QJsonArray{l.minTail, l.maxTail}}}},
        {"start", bandJson(res.start, res.startBand)},
        {"best", bandJson(res.best, res.bestBand)},
    };
}

} // namespace velmorant
