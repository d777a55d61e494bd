#pragma once

#include <QDialog>

namespace velmorant {

class Platform;

// frmAbout: product, release, what the tool does, credits and a mail link.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    AboutBox(Platform &platform, QWidget *owner);

    static QString contactAddress();
};

} // namespace velmorant
