#include "qtplatform.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace velmorant {

QString qtFileFilters(const QString &filters)
{
    // Pairs of description and pattern; the descriptions already name their patterns.
    const QStringList parts = filters.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i];
    return out.join(QStringLiteral(";;"));
}

void QtPlatform::showMessage(QWidget *parent, const QString &title, const QString &text,
                             MessageIcon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(icon == MessageIcon::Critical      ? QMessageBox::Critical
                : icon == MessageIcon::Information ? QMessageBox::Information
                                                   : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QString QtPlatform::openFileName(QWidget *parent, const QString &title, const QString &filters)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), qtFileFilters(filters));
}

QString QtPlatform::saveFileName(QWidget *parent, const QString &title, const QString &filters)
{
    // Replacing an existing file is the user's choice in the dialog; no extra question.
    return QFileDialog::getSaveFileName(parent, title, QString(), qtFileFilters(filters), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtPlatform::exportFileName(QWidget *parent, const QString &title, const QString &filters)
{
    return QFileDialog::getSaveFileName(parent, title, QString(), qtFileFilters(filters));
}

bool QtPlatform::choosePrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtPlatform::openAddress(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

} // namespace velmorant
