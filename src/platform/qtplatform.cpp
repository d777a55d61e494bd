#include "qtplatform.h"

#include "italianfiledialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QPushButton>
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

namespace {

// The patterns of a filter list, in order: "*.pdf", "*.svg", ...
QStringList patternsOf(const QString &filters)
{
    const QStringList parts = filters.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 1; i < parts.size(); i += 2)
        out << parts[i];
    return out;
}

QString suffixOf(const QString &pattern)
{
    return pattern.startsWith(QLatin1String("*.")) ? pattern.mid(2) : QString();
}

} // namespace

QString withChosenSuffix(const QString &path, const QString &chosenPattern,
                         const QString &filters)
{
    if (path.isEmpty())
        return path;
    const QString typed = QFileInfo(path).suffix().toLower();
    for (const QString &pattern : patternsOf(filters)) {
        if (!typed.isEmpty() && suffixOf(pattern).toLower() == typed)
            return path;
    }
    const QString suffix = suffixOf(chosenPattern);
    return suffix.isEmpty() ? path : path + QLatin1Char('.') + suffix;
}

SaveChoice QtPlatform::askToSave(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(QMessageBox::Warning);
    QPushButton *save = box.addButton(QCoreApplication::translate("velmorant", "Salva"),
                                      QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(
        QCoreApplication::translate("velmorant", "Non salvare"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QCoreApplication::translate("velmorant", "Annulla"),
                                        QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
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
    QFileDialog dialog(parent, title, QString(), qtFileFilters(filters));
    makeItalian(dialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString QtPlatform::saveFileName(QWidget *parent, const QString &title, const QString &filters,
                                 const QString &proposed)
{
    // Replacing an existing file is the user's choice in the dialog; no extra question.
    QFileDialog dialog(parent, title, QString(), qtFileFilters(filters));
    makeItalian(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString QtPlatform::exportFileName(QWidget *parent, const QString &title, const QString &filters,
                                   const QString &proposed)
{
    QFileDialog dialog(parent, title, QString(), qtFileFilters(filters));
    makeItalian(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList patterns = patternsOf(filters);
    const QStringList names = qtFileFilters(filters).split(QStringLiteral(";;"));
    // The chosen type's suffix goes on a name typed without one, before the dialog asks
    // about replacing a file of that name.
    auto follow = [&](const QString &name) {
        const int i = int(names.indexOf(name));
        dialog.setDefaultSuffix(suffixOf(patterns.value(i)));
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    if (!patterns.isEmpty())
        follow(names.value(0));
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const int chosen = int(names.indexOf(dialog.selectedNameFilter()));
    return withChosenSuffix(dialog.selectedFiles().first(), patterns.value(chosen), filters);
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
