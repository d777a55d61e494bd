#include "partsfile.h"

#include "dxfwriter.h"
#include "safefile.h"
#include "svgwriter.h"
#include "templatebook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace velmorant {

namespace {

QString failure(const QString &path, const QString &reason)
{
    return QCoreApplication::translate("velmorant", "Impossibile scrivere il file %1: %2")
        .arg(path, reason);
}

// Each file of a split export names itself and its export in a comment at its head, so that a
// later export of the same name removes only files it wrote itself: never a user's
// "progetto-2023.dxf" beside them, nor a member copied under another name. Names are
// percent-encoded, so that no name can end the comment.
QByteArray memberMark(const QString &exportName, const QString &memberName)
{
    return "Velmorant: esportazione " + QUrl::toPercentEncoding(exportName) + " file " +
           QUrl::toPercentEncoding(memberName);
}

QByteArray marked(const QByteArray &bytes, bool svg, const QByteArray &mark)
{
    if (!svg)
        return "999\r\n" + mark + "\r\n" + bytes; // a DXF comment
    const int afterDeclaration = int(bytes.indexOf('\n')) + 1;
    return bytes.left(afterDeclaration) + "<!-- " + mark + " -->\n" + bytes.mid(afterDeclaration);
}

// Whether the file is a member of this export that an earlier run wrote under this very name:
// a regular file (not a link) whose head carries the mark.
bool writtenAsMember(const QString &path, const QString &exportName)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray mark = memberMark(exportName, info.fileName());
    return f.read(mark.size() + 256).contains(mark);
}

// Files of the folder that follow a set's naming (`pattern`, a whole-name regular expression),
// were written by an earlier export of the same name, and are not in the new set.
QStringList obsoleteMembers(const QString &dir, const QString &exportName,
                            const QStringList &patterns, const QStringList &keep)
{
    QStringList out;
    const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QString path = QDir(dir).filePath(name);
        if (keep.contains(QFileInfo(path).absoluteFilePath()))
            continue;
        for (const QString &pattern : patterns) {
            if (QRegularExpression(QRegularExpression::anchoredPattern(pattern))
                    .match(name)
                    .hasMatch()) {
                if (writtenAsMember(path, exportName))
                    out << path;
                break;
            }
        }
    }
    return out;
}

} // namespace

QStringList partsFileSuffixes()
{
    return {QStringLiteral("pdf"), QStringLiteral("svg"), QStringLiteral("dxf"),
            QStringLiteral("csv")};
}

PartsWritten writeParts(const QString &path, const WorkshopPlan &plan, const PartsOutput &output)
{
    PartsWritten result;
    auto save = [&](const QString &file, const QByteArray &bytes) {
        if (const std::optional<QString> reason = writeFileAtomically(file, bytes))
            result.failure = failure(file, *reason);
        else
            result.files << file;
        return result;
    };
    const QFileInfo info(path);
    const QString ext = info.suffix().toLower();
    if (plan.parts.isEmpty()) {
        result.failure =
            QCoreApplication::translate("velmorant", "Nessun pezzo da scrivere in %1").arg(path);
        return result;
    }
    if (ext == QLatin1String("pdf")) {
        const PdfDocument pdf = workshopPdf(plan, output.paper, output.date);
        if (!pdf.ok()) {
            result.failure = failure(path, pdf.failure);
            return result;
        }
        return save(path, pdf.bytes);
    }
    if (ext == QLatin1String("csv"))
        return save(path, cutListCsv(plan));
    if (ext != QLatin1String("svg") && ext != QLatin1String("dxf")) {
        result.failure = QCoreApplication::translate("velmorant",
                                                     "Formato non riconosciuto per %1: usare "
                                                     ".pdf, .svg, .dxf o .csv")
                             .arg(path);
        return result;
    }
    const bool svg = ext == QLatin1String("svg");
    auto bytes = [&](const SheetLayout &layout) {
        return svg ? workshopSvg(plan, layout) : workshopDxf(plan, layout);
    };
    if (output.split == PartsOutput::Split::None)
        return save(path, bytes(layoutSheets(plan)));

    // progetto.dxf: progetto-foglio1.dxf ... progetto-fuori-3.dxf, or progetto-2a.dxf ...
    const QString stem = info.completeBaseName();
    const QString dir = info.path();
    auto member = [&](const QString &tail) {
        return QDir(dir).filePath(stem + QLatin1Char('-') + tail + QLatin1Char('.') + ext);
    };
    QList<FileToWrite> set;
    const QString partName = QStringLiteral("[0-9]+(\\.[0-9]+)?[a-z]*");
    QStringList patterns;
    const QString quotedStem = QRegularExpression::escape(stem);
    const QString quotedExt = QLatin1String("\\.") + QRegularExpression::escape(info.suffix());
    if (output.split == PartsOutput::Split::BySheet) {
        for (int s = 0; s < plan.nesting.sheets; ++s)
            set << FileToWrite{member(QStringLiteral("foglio%1").arg(s + 1)),
                               bytes(layoutSheets(plan, s))};
        for (int i : plan.nesting.unplaced) {
            const QString file = member(QStringLiteral("fuori-") + plan.parts[i].name);
            set << FileToWrite{file, bytes(layoutSheets(plan, -1, i))};
            result.offSheetParts << i;
            result.offSheetFiles << file;
        }
        patterns << quotedStem + QStringLiteral("-foglio[0-9]+") + quotedExt
                 << quotedStem + QStringLiteral("-fuori-") + partName + quotedExt;
    } else {
        for (int i = 0; i < plan.parts.size(); ++i)
            set << FileToWrite{member(plan.parts[i].name), bytes(layoutSheets(plan, -1, i))};
        patterns << quotedStem + QLatin1Char('-') + partName + quotedExt;
    }
    QStringList keep;
    for (FileToWrite &f : set) {
        keep << QFileInfo(f.path).absoluteFilePath();
        f.bytes = marked(f.bytes, svg, memberMark(info.fileName(), QFileInfo(f.path).fileName()));
    }
    if (const std::optional<SetFailure> failed =
            writeFileSet(set, obsoleteMembers(dir, info.fileName(), patterns, keep))) {
        result.failure = failure(failed->path, failed->reason);
        result.offSheetParts.clear();
        result.offSheetFiles.clear();
        return result;
    }
    for (const FileToWrite &f : set)
        result.files << f.path;
    return result;
}

} // namespace velmorant
