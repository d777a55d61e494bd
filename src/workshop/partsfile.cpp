#include "partsfile.h"

#include "dxfwriter.h"
#include "safefile.h"
#include "svgwriter.h"
#include "templatebook.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace velmorant {

namespace {

QString failure(const QString &path, const QString &reason)
{
    return QCoreApplication::translate("velmorant", "Impossibile scrivere il file %1: %2")
        .arg(path, reason);
}

std::optional<QString> save(const QString &path, const QByteArray &bytes)
{
    if (const std::optional<QString> reason = writeFileAtomically(path, bytes))
        return failure(path, *reason);
    return std::nullopt;
}

} // namespace

QStringList partsFileSuffixes()
{
    return {QStringLiteral("pdf"), QStringLiteral("svg"), QStringLiteral("dxf"),
            QStringLiteral("csv")};
}

std::optional<QString> writeParts(const QString &path, const WorkshopPlan &plan,
                                  const PartsOutput &output)
{
    const QFileInfo info(path);
    const QString ext = info.suffix().toLower();
    if (ext == QLatin1String("pdf")) {
        const PdfDocument pdf = workshopPdf(plan, output.paper, output.date);
        if (!pdf.ok())
            return failure(path, pdf.failure);
        return save(path, pdf.bytes);
    }
    if (ext == QLatin1String("csv"))
        return save(path, cutListCsv(plan));
    if (ext != QLatin1String("svg") && ext != QLatin1String("dxf"))
        return QCoreApplication::translate("velmorant",
                                           "Formato non riconosciuto per %1: usare .pdf, .svg, "
                                           ".dxf o .csv")
            .arg(path);
    auto bytes = [&](const SheetLayout &layout) {
        return ext == QLatin1String("svg") ? workshopSvg(plan, layout) : workshopDxf(plan, layout);
    };
    if (output.split == PartsOutput::Split::None)
        return save(path, bytes(layoutSheets(plan)));
    // progetto.dxf: progetto-foglio1.dxf ... or progetto-2a.dxf ...
    const bool bySheet = output.split == PartsOutput::Split::BySheet;
    const QString stem = info.path() + QLatin1Char('/') + info.completeBaseName();
    const int count = bySheet ? plan.nesting.sheets : int(plan.parts.size());
    for (int i = 0; i < count; ++i) {
        const QString file =
            stem + QLatin1Char('-') +
            (bySheet ? QStringLiteral("foglio%1").arg(i + 1) : plan.parts[i].name) +
            QLatin1Char('.') + ext;
        if (std::optional<QString> error =
                save(file, bytes(bySheet ? layoutSheets(plan, i) : layoutSheets(plan, -1, i))))
            return error;
    }
    return std::nullopt;
}

} // namespace velmorant
