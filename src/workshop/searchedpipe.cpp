#include "searchedpipe.h"

#include "pipecsv.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>

#include <cmath>

namespace velmorant {

QJsonObject searchedPipeJson(const MeasuredPipe &searched)
{
    QJsonArray sections, points;
    for (const PipeSection &s : searched.pipe.sections)
        sections.append(QJsonArray{s.length, s.dIn, s.dOut, s.label});
    for (const ReferencePoint &p : searched.pipe.referencePoints)
        points.append(QJsonArray{p.name, p.x});
    return {{"band", searched.source}, {"sections", sections}, {"points", points}};
}

std::optional<MeasuredPipe> searchedPipeFromJson(const QJsonObject &o, QString *error)
{
    auto refuse = [&](const QString &why) -> std::optional<MeasuredPipe> {
        if (error)
            *error = QStringLiteral("tubo ottimizzato: %1").arg(why);
        return std::nullopt;
    };
    MeasuredPipe m;
    m.source = o.value(QStringLiteral("band")).toString();
    m.pipe.method = QLatin1String(SearchedMethod);
    const QJsonArray sections = o.value(QStringLiteral("sections")).toArray();
    if (sections.isEmpty() || sections.size() > MaxPipeRows)
        return refuse(QStringLiteral("servono da 1 a %1 tratti").arg(MaxPipeRows));
    for (const QJsonValue &v : sections) {
        const QJsonArray s = v.toArray();
        const double length = s.at(0).toDouble(NAN), dIn = s.at(1).toDouble(NAN),
                     dOut = s.at(2).toDouble(NAN);
        auto diameter = [](double d) {
            return d >= SmallestPipeDiameter && d <= LargestPipeDiameter;
        };
        if (s.size() != 4 || !(length > 0 && std::isfinite(length)) || !diameter(dIn) ||
            !diameter(dOut))
            return refuse(QStringLiteral("ogni tratto \u00e8 [lunghezza, diametro d'ingresso, "
                                         "diametro d'uscita, nome], diametri tra %1 e %2 mm")
                              .arg(SmallestPipeDiameter)
                              .arg(LargestPipeDiameter));
        m.pipe.sections.append(PipeSection(length, dIn, dOut, s.at(3).toString()));
    }
    for (const QJsonValue &v : o.value(QStringLiteral("points")).toArray()) {
        const QJsonArray p = v.toArray();
        const double x = p.at(1).toDouble(NAN);
        if (p.size() != 2 || !p.at(0).isString() || !(x >= 0 && x <= m.pipe.length()))
            return refuse(QStringLiteral("ogni punto \u00e8 [nome, mm dalla luce] sul tubo"));
        m.pipe.referencePoints.append(ReferencePoint{p.at(0).toString(), x});
    }
    return m;
}

QString measuredPipeCaption(const QString &file)
{
    return QCoreApplication::translate("velmorant", "tubo misurato %1")
        .arg(QFileInfo(file).fileName());
}

QString searchedPipeCaption(const QString &band)
{
    const QString caption = QCoreApplication::translate("velmorant", "Tubo ottimizzato");
    return band.isEmpty() ? caption : QStringLiteral("%1 (%2)").arg(caption, band);
}

} // namespace velmorant
