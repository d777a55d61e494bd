#pragma once

#include "platform.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace velmorant {

// A scripted platform for tests: records every request and answers from queues.
class FakePlatform : public Platform
{
public:
    struct Message
    {
        QString title;
        QString text;
        MessageIcon icon;
    };
    struct FileRequest
    {
        QString title;
        QString filters;
        bool save;
        QString proposed; // the name a save dialog started with
    };

    QList<Message> messages;
    QList<FileRequest> fileRequests;
    QStringList fileAnswers; // taken in order; empty queue answers "" (cancel)
    // The type chosen in the next export dialogs ("*.dxf"), in order; the first type otherwise.
    QStringList chosenTypes;
    // Answers to "save the changes?", in order; Cancel when none is left.
    QList<SaveChoice> saveAnswers;
    QStringList saveQuestions;
    QList<QUrl> openedAddresses;
    int printerRequests = 0;
    // Sets up the printer as a user would in the dialog; returns false to cancel. When unset
    // the dialog is cancelled.
    std::function<bool(QPrinter &)> printerAnswer;
    // Runs while a message box would be open (for checks on modality).
    std::function<void(const Message &)> onMessage;

    void showMessage(QWidget *parent, const QString &title, const QString &text,
                     MessageIcon icon) override;
    SaveChoice askToSave(QWidget *parent, const QString &title, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &filters) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &filters,
                         const QString &proposed = QString()) override;
    QString exportFileName(QWidget *parent, const QString &title, const QString &filters,
                           const QString &proposed = QString()) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    void openAddress(const QUrl &url) override;

private:
    QString nextFileAnswer();
};

} // namespace velmorant
