#include "projectpaths.h"

#include "pipefile.h"
#include "safefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace velmorant::projectjson {

namespace {

QString tr(const char *s)
{
    return QCoreApplication::translate("velmorant", s);
}

const char *const Keys[2] = {"exhaust-system", "intake-system"};

} // namespace

void writePaths(const EnginePaths &paths, QJsonObject &waves)
{
    const std::optional<waves::PathFile> *files[2] = {&paths.exhaust, &paths.intake};
    for (int k = 0; k < 2; ++k) {
        if (!*files[k])
            continue;
        const QJsonObject system =
            QJsonDocument::fromJson(waves::gasPathJson((*files[k])->path)).object();
        waves.insert(QLatin1String(Keys[k]),
                     QJsonObject{{"file", (*files[k])->source}, {"system", system}});
    }
    if (const auto &d = paths.transferDuct)
        waves.insert(QStringLiteral("transfer-duct"), QJsonArray{d->lengthMm, d->d1Mm, d->d2Mm});
    waves.insert(QStringLiteral("gas"), paths.variableGas ? "variabile" : "costante");
    if (const auto &p = paths.ports)
        waves.insert(QStringLiteral("ports"),
                     QJsonObject{{"file", p->source},
                                 {"ports", QJsonDocument::fromJson(
                                               waves::portGeometryJson(p->ports))
                                               .object()}});
}

std::optional<QString> readPaths(const QJsonObject &waves, EnginePaths &into)
{
    std::optional<waves::PathFile> *files[2] = {&into.exhaust, &into.intake};
    const QString names[2] = {tr("impianto di scarico"), tr("impianto di aspirazione")};
    for (int k = 0; k < 2; ++k) {
        const QJsonValue v = waves.value(QLatin1String(Keys[k]));
        if (v.isUndefined())
            continue;
        const QJsonObject o = v.toObject();
        const waves::GasPathRead read = waves::readGasPath(
            QJsonDocument(o.value(QStringLiteral("system")).toObject()).toJson(),
            [](const QString &name) {
                PipeRead r;
                r.error = tr("il tubo %1 va scritto nel progetto con le sue stazioni").arg(name);
                return r;
            });
        if (!v.isObject() || !read.ok())
            return tr("%1: %2").arg(names[k], read.ok() ? tr("non \u00e8 un oggetto") : read.error);
        *files[k] = waves::PathFile{o.value(QStringLiteral("file")).toString(), read.path};
    }
    const QJsonValue duct = waves.value(QStringLiteral("transfer-duct"));
    if (!duct.isUndefined()) {
        const QJsonArray a = duct.toArray();
        bool ok = duct.isArray() && a.size() == 3;
        for (int k = 0; ok && k < 3; ++k) {
            const auto [low, high] = waves::WaveOptions::TransferDuct::range(k);
            ok = a[k].isDouble() && a[k].toDouble() >= low && a[k].toDouble() <= high;
        }
        if (!ok)
            return tr("condotto di travaso: servono tre misure in mm (lunghezza, diametri)");
        into.transferDuct = waves::WaveOptions::TransferDuct{a[0].toDouble(), a[1].toDouble(),
                                                             a[2].toDouble()};
    }
    // A project from before the gas could vary ran the constant one, and keeps it.
    const QJsonValue gas = waves.value(QStringLiteral("gas"));
    into.variableGas = false;
    if (!gas.isUndefined()) {
        if (gas != QJsonValue("costante") && gas != QJsonValue("variabile"))
            return tr("gas: dev'essere \"costante\" o \"variabile\"");
        into.variableGas = gas == QJsonValue("variabile");
    }
    const QJsonValue ports = waves.value(QStringLiteral("ports"));
    if (!ports.isUndefined()) {
        const waves::PortGeometryRead read = waves::readPortGeometry(
            QJsonDocument(ports.toObject().value(QStringLiteral("ports")).toObject()).toJson());
        if (!ports.isObject() || !read.ok())
            return tr("luci per geometria: %1")
                .arg(read.ok() ? tr("non \u00e8 un oggetto") : read.error);
        into.ports = waves::PortsFile{ports.toObject().value(QStringLiteral("file")).toString(),
                                      read.ports};
    }
    return std::nullopt;
}

} // namespace velmorant::projectjson

namespace velmorant {

waves::GasPathRead readGasPathFile(const QString &path)
{
    const QDir folder = QFileInfo(path).absoluteDir();
    return readFileWith(path, waves::MaxPathFileBytes, [&](const QByteArray &bytes) {
        return waves::readGasPath(bytes, [&](const QString &name) {
            return readPipeFile(QDir::isAbsolutePath(name) ? name : folder.filePath(name));
        });
    });
}

} // namespace velmorant
