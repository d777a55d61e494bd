#pragma once

#include "platform.h"

namespace velmorant {

class QtPlatform : public Platform
{
public:
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
};

} // namespace velmorant
