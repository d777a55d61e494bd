#include "italianfiledialog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileSystemModel>
#include <QLocale>

namespace velmorant {

QVariant ItalianFileColumns::data(const QModelIndex &index, int role) const
{
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (role != Qt::DisplayRole || !files || index.column() < 1 || index.column() > 3)
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QFileInfo info = files->fileInfo(source);
    const QLocale it(QLocale::Italian, QLocale::Italy);
    auto tr = [](const char *text) { return QCoreApplication::translate("velmorant", text); };
    switch (index.column()) {
    case 1:
        return info.isDir() ? QString() : it.formattedDataSize(info.size());
    case 2:
        if (info.isDir())
            return tr("Cartella");
        return info.suffix().isEmpty() ? tr("File")
                                       : tr("File %1").arg(info.suffix().toUpper());
    default:
        return it.toString(info.lastModified(), QStringLiteral("dd/MM/yyyy HH:mm"));
    }
}

void makeItalian(QFileDialog &dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new ItalianFileColumns(&dialog));
}

} // namespace velmorant
