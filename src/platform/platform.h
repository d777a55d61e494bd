#pragma once

#include "message.h"

#include <QString>
#include <QUrl>

class QPrinter;
class QWidget;

namespace velmorant {

// The answer to "save the changes?" before unsaved work would be dropped.
enum class SaveChoice { Save, Discard, Cancel };

// What the desktop provides to the program. Every modal dialog and shell request goes
// through here, so that window tests can script the answers.
class Platform
{
public:
    virtual ~Platform() = default;

    // A modal message box with one OK button; returns when it is closed.
    virtual void showMessage(QWidget *parent, const QString &title, const QString &text,
                             MessageIcon icon) = 0;
    // A modal question with the buttons Salva, Non salvare and Annulla.
    virtual SaveChoice askToSave(QWidget *parent, const QString &title, const QString &text) = 0;
    // The file dialogs; an empty path means the user cancelled. `proposed` is the name the
    // save dialogs start with.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &filters) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &filters,
                                 const QString &proposed = QString()) = 0;
    // The save dialog for exported drawings: it asks before replacing an existing file, and a
    // name typed without a known suffix takes the one of the type chosen in it.
    virtual QString exportFileName(QWidget *parent, const QString &title, const QString &filters,
                                   const QString &proposed = QString()) = 0;
    // The printer dialog over `printer`; false when the user cancelled.
    virtual bool choosePrinter(QWidget *parent, QPrinter &printer) = 0;
    // Hands a web or mailto address to the user's default programs; failures are silent.
    virtual void openAddress(const QUrl &url) = 0;
};

// Turns the "Description (*.ext)|*.ext|..." filter list of the file commands into Qt's form.
QString qtFileFilters(const QString &filters);

// The name as saved with the type chosen in a dialog (its pattern, "*.dxf"): kept when it ends
// in a suffix of one of `filters`' types, given the chosen type's suffix otherwise.
QString withChosenSuffix(const QString &path, const QString &chosenPattern,
                         const QString &filters);

} // namespace velmorant
