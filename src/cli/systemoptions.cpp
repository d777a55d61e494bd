#include "systemoptions.h"

#include "optiontexts.h"
#include "projectpaths.h"
#include "usertext.h"

#include <QCommandLineParser>
#include <QJsonObject>

#include <algorithm>
#include <numeric>

namespace velmorant {

QList<PipeOptionSpec> systemOptionSpecs()
{
    return {
        {"exhaust-system", "FILE.json",
         "lo scarico dalla luce all'aria: tubi e volumi (scatole, silenziatori) in ordine, con "
         "la temperatura di parete (vedere il README); il primo tubo \u00e8 quello delle onde"},
        {"intake-system", "FILE.json",
         "l'aspirazione dal carter all'aria, nello stesso formato (al posto di --intake-pipe)"},
        {"transfer-duct", "L:D1:D2",
         "un condotto di travaso dal carter alla luce, mm: lunghezza, diametro al carter e "
         "alla luce"},
        {"gas", "costante|variabile",
         "il gas nei tubi e nei volumi: variabile (il default) segue la temperatura (cp(T) "
         "dell'aria e dei gas combusti) e la quota di combusti; costante, un solo gamma e R"},
    };
}

std::optional<QString> readSystemOptions(const QCommandLineParser &parser, const QLocale &locale,
                                         SystemRequest &r)
{
    using Duct = waves::WaveOptions::TransferDuct;
    for (const auto &[name, into] : {std::pair{"exhaust-system", &r.exhaustFile},
                                     std::pair{"intake-system", &r.intakeFile}}) {
        if (!parser.isSet(QLatin1String(name)))
            continue;
        *into = parser.value(QLatin1String(name));
        if (into->isEmpty())
            return QStringLiteral("Manca il nome del file di --%1").arg(QLatin1String(name));
    }
    if (parser.isSet(QStringLiteral("intake-system")) && parser.isSet(QStringLiteral("intake-pipe")))
        return QStringLiteral("--intake-system e --intake-pipe sono due modi di dare "
                              "l'aspirazione: uno solo");
    if (parser.isSet(QStringLiteral("transfer-duct"))) {
        const QString text = parser.value(QStringLiteral("transfer-duct"));
        const QStringList parts = text.split(QLatin1Char(':'));
        const QString valid =
            QStringLiteral("L:D1:D2 in mm, la lunghezza tra %1 e %2, i diametri tra %3 e %4")
                .arg(formatBoxNumber(Duct::ShortestMm, locale), formatBoxNumber(Duct::LongestMm, locale),
                     formatBoxNumber(Duct::NarrowestMm, locale), formatBoxNumber(Duct::WidestMm, locale));
        if (parts.size() != 3)
            return badValue(QStringLiteral("--transfer-duct"), text, valid);
        double v[3];
        for (int k = 0; k < 3; ++k) {
            const std::optional<double> x = parseSettingNumber(parts[k], locale);
            const auto [low, high] = Duct::range(k);
            if (!x || *x < low || *x > high)
                return badValue(QStringLiteral("--transfer-duct"), text, valid);
            v[k] = *x;
        }
        r.transferDuct = Duct{v[0], v[1], v[2]};
    }
    if (parser.isSet(QStringLiteral("gas"))) {
        const QString text = parser.value(QStringLiteral("gas"));
        if (text != QLatin1String("costante") && text != QLatin1String("variabile"))
            return badValue(QStringLiteral("--gas"), text, QStringLiteral("costante o variabile"));
        r.variableGas = text == QLatin1String("variabile");
        r.gasGiven = true;
    }
    return std::nullopt;
}

std::optional<QString> readSystemFiles(SystemRequest &r)
{
    for (const auto &[option, file, into] :
         {std::tuple{"--exhaust-system", &r.exhaustFile, &r.exhaust},
          std::tuple{"--intake-system", &r.intakeFile, &r.intake}}) {
        if (file->isEmpty())
            continue;
        const waves::GasPathRead read = readGasPathFile(*file);
        if (!read.ok())
            return QStringLiteral("%1: %2").arg(QLatin1String(option), read.error);
        *into = read.path;
    }
    return std::nullopt;
}

void applySystems(const SystemRequest &r, waves::WaveOptions &into)
{
    into.exhaustPath = r.exhaust;
    into.intakePath = r.intake;
    into.transferDuct = r.transferDuct;
    into.variableGas = r.variableGas;
}

QJsonArray volumesJson(const waves::SpeedResult &r)
{
    QJsonArray out;
    for (const waves::VolumeTrace &v : r.volumes) {
        const auto [lo, hi] = std::minmax_element(v.p.begin(), v.p.end());
        const double n = double(v.p.size());
        out.append(QJsonObject{
            {"system", v.exhaust ? "scarico" : "aspirazione"},
            {"element", v.element},
            {"p_mean_bar", std::accumulate(v.p.begin(), v.p.end(), 0.0) / n / 1e5},
            {"p_min_bar", *lo / 1e5},
            {"p_max_bar", *hi / 1e5},
            {"t_mean_c", std::accumulate(v.t.begin(), v.t.end(), 0.0) / n - 273.15}});
    }
    return out;
}

QJsonArray wallsJson(const waves::SpeedResult &r)
{
    QJsonArray out;
    for (const waves::WallProfile &w : r.walls) {
        QJsonArray x, c;
        for (std::size_t i = 0; i < w.xMm.size(); ++i) {
            x.append(w.xMm[i]);
            c.append(w.kelvin[i] - 273.15);
        }
        out.append(QJsonObject{{"system", w.exhaust ? "scarico" : "aspirazione"},
                               {"pipe", w.pipe},
                               {"x_mm", x},
                               {"wall_c", c}});
    }
    return out;
}

} // namespace velmorant
