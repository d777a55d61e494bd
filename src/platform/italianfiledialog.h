#pragma once

#include <QFileDialog>
#include <QIdentityProxyModel>

namespace velmorant {

// The columns of Qt's file dialog in Italian whatever the system's language: sizes in byte,
// KB, MB; the type of a file by its suffix ("File CSV", "Cartella") where the system would say
// "plain text document"; the date as Italians write it. Debian's Italian catalogue of Qt lacks
// these, and the MIME database names types in the system's language.
class ItalianFileColumns : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role) const override;
};

// Qt's own file dialog (never the desktop's, whose language is the desktop's), with the
// columns above.
void makeItalian(QFileDialog &dialog);

} // namespace velmorant
