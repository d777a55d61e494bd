#include "gaspath.h"

#include "jsonfields.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <optional>

namespace velmorant::waves {

namespace {

using velmorant::json::tr;

constexpr double Kelvin = 273.15;

struct PathReader : velmorant::json::FieldReader
{
    std::optional<Pipe> stations(const QJsonArray &list, const QString &where)
    {
        if (list.size() < 2) {
            fail(tr("%1: un tubo ha almeno due stazioni [x_mm, d_mm]").arg(where));
            return std::nullopt;
        }
        if (list.size() > MaxPipeRows) {
            fail(tr("%1: al massimo %2 stazioni").arg(where).arg(MaxPipeRows));
            return std::nullopt;
        }
        // The stations as the pipe CSV has them, so both read a pipe by the same rules.
        QByteArray csv = "x_mm,d_mm\n";
        for (const QJsonValue &v : list) {
            const QJsonArray s = v.toArray();
            if (!v.isArray() || s.size() != 2 || !s[0].isDouble() || !s[1].isDouble()) {
                fail(tr("%1: ogni stazione \u00e8 una coppia di numeri [x_mm, d_mm]").arg(where));
                return std::nullopt;
            }
            csv += QByteArray::number(s[0].toDouble(), 'g', 17) + ',' +
                   QByteArray::number(s[1].toDouble(), 'g', 17) + '\n';
        }
        const PipeRead read = readPipeCsv(csv);
        if (!read.ok()) {
            fail(tr("%1: %2").arg(where, read.error));
            return std::nullopt;
        }
        return read.pipe;
    }

    bool temperature(double c, const QString &where)
    {
        if (!std::isfinite(c) || c < 0 || c > HottestWallC)
            return fail(tr("%1: la temperatura di parete deve essere tra 0 e %2 \u00b0C")
                            .arg(where)
                            .arg(HottestWallC));
        return true;
    }

    std::optional<QList<std::pair<double, double>>> wall(const QJsonValue &v, double length,
                                                         const QString &where)
    {
        QList<std::pair<double, double>> out;
        if (v.isUndefined() || v.isNull())
            return out;
        if (v.isDouble()) {
            if (!temperature(v.toDouble(), where))
                return std::nullopt;
            out.append({0.0, v.toDouble()});
            return out;
        }
        const QJsonArray list = v.toArray();
        if (!v.isArray() || list.isEmpty()) {
            fail(tr("%1: \"wall_c\" \u00e8 un numero, un elenco di coppie [x_mm, \u00b0C], "
                    "\"calcolata\" o null")
                     .arg(where));
            return std::nullopt;
        }
        double last = -1;
        for (const QJsonValue &p : list) {
            const QJsonArray pair = p.toArray();
            if (!p.isArray() || pair.size() != 2 || !pair[0].isDouble() || !pair[1].isDouble()) {
                fail(tr("%1: ogni punto di \"wall_c\" \u00e8 una coppia [x_mm, \u00b0C]").arg(where));
                return std::nullopt;
            }
            const double x = pair[0].toDouble(), c = pair[1].toDouble();
            if (!std::isfinite(x) || x < last || x < 0 || x > length + 1e-9) {
                fail(tr("%1: i punti di \"wall_c\" vanno in ordine lungo il tubo, da 0 a %2 mm")
                         .arg(where, QString::number(length)));
                return std::nullopt;
            }
            if (!temperature(c, where))
                return std::nullopt;
            last = x;
            out.append({x, c});
        }
        return out;
    }
};

void append(Pipe &to, const Pipe &more)
{
    for (const PipeSection &s : more.sections)
        to.sections << s;
}

} // namespace

GasPath GasPath::reversed() const
{
    GasPath out;
    for (auto p = pipes.crbegin(); p != pipes.crend(); ++p) {
        PathPipe turned;
        turned.computedWall = p->computedWall;
        for (auto s = p->pipe.sections.crbegin(); s != p->pipe.sections.crend(); ++s)
            turned.pipe.sections << PipeSection(s->length, s->dOut, s->dIn);
        const double length = p->pipe.length();
        for (auto w = p->wallC.crbegin(); w != p->wallC.crend(); ++w)
            turned.wallC.append({p->wallC.size() == 1 ? 0.0 : length - w->first, w->second});
        out.pipes << turned;
    }
    for (auto v = volumes.crbegin(); v != volumes.crend(); ++v)
        out.volumes << *v; // in and out are the volume's own: they do not turn
    return out;
}

GasPathRead readGasPath(const QByteArray &json,
                        const std::function<PipeRead(const QString &name)> &loadPipe)
{
    GasPathRead out;
    PathReader r;
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        out.error = tr("il sistema non \u00e8 un oggetto JSON valido");
        return out;
    }
    const QJsonObject root = doc.object();
    if (!r.onlyKeys(root, {"version", "elements"}, tr("sistema"))) {
        out.error = r.error;
        return out;
    }
    if (root.value("version") != QJsonValue(1)) {
        out.error = tr("sistema: versione non supportata (attesa 1)");
        return out;
    }
    const QJsonArray elements = root.value("elements").toArray();
    if (!root.value("elements").isArray() || elements.isEmpty()) {
        out.error = tr("sistema: \"elements\" deve essere un elenco non vuoto");
        return out;
    }
    if (elements.size() > MaxPathElements) {
        out.error = tr("sistema: al massimo %1 elementi").arg(MaxPathElements);
        return out;
    }
    bool lastWasPipe = false;
    for (int i = 0; i < elements.size(); ++i) {
        const QString where = tr("elemento %1").arg(i + 1);
        const QJsonObject e = elements[i].toObject();
        if (!elements[i].isObject()) {
            out.error = tr("%1: deve essere un oggetto").arg(where);
            return out;
        }
        if (e.contains("pipe")) {
            if (!r.onlyKeys(e, {"pipe", "wall_c"}, where)) {
                out.error = r.error;
                return out;
            }
            std::optional<Pipe> pipe;
            const QJsonValue v = e.value("pipe");
            if (v.isString()) {
                const PipeRead read = loadPipe(v.toString());
                if (read.ok())
                    pipe = read.pipe;
                else
                    r.fail(tr("%1: %2").arg(where, read.error));
            } else {
                pipe = r.stations(v.toArray(), where);
            }
            std::optional<QList<std::pair<double, double>>> wall;
            const bool computed = e.value("wall_c") == QJsonValue(QStringLiteral("calcolata"));
            if (pipe)
                wall = computed ? QList<std::pair<double, double>>()
                                : r.wall(e.value("wall_c"), pipe->length(), where);
            if (!pipe || !wall) {
                out.error = r.error;
                return out;
            }
            if (lastWasPipe) {
                // Two pipes in a row are one: the second's wall goes on from the first's end.
                PathPipe &before = out.path.pipes.last();
                const double shift = before.pipe.length();
                if (before.wallC.isEmpty() != wall->isEmpty() || before.computedWall != computed) {
                    out.error = tr("%1: due tubi di seguito sono un tubo solo: la parete "
                                   "adiabatica o con la temperatura per entrambi")
                                    .arg(where);
                    out.path = GasPath();
                    return out;
                }
                if (before.wallC.size() == 1)
                    before.wallC.append({shift, before.wallC.first().second});
                for (const auto &w : *wall)
                    before.wallC.append({w.first + shift, w.second});
                append(before.pipe, *pipe);
            } else {
                out.path.pipes << PathPipe{*pipe, *wall, computed};
            }
            lastWasPipe = true;
        } else if (e.contains("volume_l")) {
            if (!r.onlyKeys(e, {"volume_l", "wall_c", "cd_in", "cd_out"}, where)) {
                out.error = r.error;
                return out;
            }
            const auto litres = r.number(e, "volume_l", where, 0, LargestVolumeLitres);
            const auto in = r.number(e, "cd_in", where, 0.01, 1, false);
            const auto outCd = r.number(e, "cd_out", where, 0.01, 1, false);
            if (r.error.isEmpty() && !(*litres > 0))
                r.fail(tr("%1: il volume deve essere maggiore di zero").arg(where));
            const QJsonValue wall = e.value("wall_c");
            std::optional<double> wallC;
            if (r.error.isEmpty() && wall.isDouble() && r.temperature(wall.toDouble(), where))
                wallC = wall.toDouble();
            else if (r.error.isEmpty() && !wall.isNull() && !wall.isUndefined())
                r.fail(tr("%1: la parete di un volume ha una temperatura (un numero) o \u00e8 "
                          "adiabatica (null)")
                           .arg(where));
            if (r.error.isEmpty() && !lastWasPipe)
                r.fail(tr("%1: un volume sta tra due tubi").arg(where));
            if (!r.error.isEmpty()) {
                out.error = r.error;
                return out;
            }
            out.path.volumes << PathVolume{*litres, in.value_or(1), outCd.value_or(1), i + 1,
                                           wallC};
            lastWasPipe = false;
        } else {
            out.error = tr("%1: serve \"pipe\" oppure \"volume_l\"").arg(where);
            return out;
        }
    }
    if (!lastWasPipe) {
        out.error = tr("sistema: l'ultimo elemento deve essere un tubo aperto nell'aria");
        out.path = GasPath();
    }
    return out;
}

QByteArray gasPathJson(const GasPath &path)
{
    QJsonArray elements;
    for (int k = 0; k < path.pipes.size(); ++k) {
        const PathPipe &p = path.pipes[k];
        QJsonArray stations;
        double x = 0, lastD = -1;
        for (const PipeSection &s : p.pipe.sections) {
            // A station where the last one ended is not said twice; a step is two.
            if (stations.isEmpty() || s.dIn != lastD)
                stations.append(QJsonArray{x, s.dIn});
            x += s.length;
            stations.append(QJsonArray{x, s.dOut});
            lastD = s.dOut;
        }
        QJsonValue wall;
        if (p.computedWall) {
            wall = QStringLiteral("calcolata");
        } else if (!p.wallC.isEmpty()) {
            QJsonArray profile;
            for (const auto &w : p.wallC)
                profile.append(QJsonArray{w.first, w.second});
            wall = profile;
        }
        elements.append(QJsonObject{{"pipe", stations}, {"wall_c", wall}});
        if (k < path.volumes.size()) {
            const PathVolume &v = path.volumes[k];
            elements.append(QJsonObject{{"volume_l", v.litres},
                                        {"wall_c", v.wallC ? QJsonValue(*v.wallC) : QJsonValue()},
                                        {"cd_in", v.cdIn},
                                        {"cd_out", v.cdOut}});
        }
    }
    return QJsonDocument(QJsonObject{{"version", 1}, {"elements", elements}})
        .toJson(QJsonDocument::Compact);
}

double wallKelvinAt(const QList<std::pair<double, double>> &wallC, double xMm)
{
    if (wallC.isEmpty())
        return 0;
    if (xMm <= wallC.first().first)
        return wallC.first().second + Kelvin;
    for (int i = 1; i < wallC.size(); ++i) {
        const auto &a = wallC[i - 1], &b = wallC[i];
        if (xMm <= b.first) {
            const double f = b.first > a.first ? (xMm - a.first) / (b.first - a.first) : 1;
            return a.second + f * (b.second - a.second) + Kelvin;
        }
    }
    return wallC.last().second + Kelvin;
}

} // namespace velmorant::waves
