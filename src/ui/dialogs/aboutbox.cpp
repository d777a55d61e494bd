#include "aboutbox.h"

#include "fonts.h"
#include "platform.h"
#include "twips.h"
#include "version.h"
#include "widgets.h"

#include <QPushButton>
#include <QUrl>

namespace velmorant {

QString AboutBox::contactAddress()
{
    return QStringLiteral("info@velmorant.example");
}

AboutBox::AboutBox(Platform &platform, QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("Informazioni su Velmorant"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFont(sansSerifFont());
    setFixedSize(px(5376), px(2748));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setGeometry(twipsRect(3600, 2280, 1467, 345));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    QLabel *title = makeLabel(QStringLiteral("lblTitle"), QStringLiteral("Velmorant"), this, 960,
                              120, 1860, 432, Qt::AlignLeft | Qt::AlignVCenter);
    title->setFont(tahomaFont(18, true, true));
    fitToText(title);
    makeLabel(QStringLiteral("lblVersion"), tr("Versione %1").arg(QLatin1String(VersionText)), this,
              360, 600, 2412, 228, Qt::AlignRight | Qt::AlignVCenter);
    QLabel *description = makeLabel(
        QStringLiteral("lblDescription"),
        tr("Tool grafico per il primo dimensionamento dello scarico dei motori a 2 tempi"), this,
        360, 960, 2412, 564, Qt::AlignLeft | Qt::AlignTop);
    description->setWordWrap(true);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(twipsRect(3240, 240, 1800, 1224));
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/about.png")));
    picture->setScaledContents(true);

    addEtchedRule(this, QStringLiteral("Line1"), QStringLiteral("Line1b"), 240, 5170, 1800);

    QLabel *disclaimer = makeLabel(
        QStringLiteral("lblDisclaimer"),
        tr("Scritto dal Team Velmorant per l'Officina Velmorant. Per informazioni o consulenze "
           "scrivete all'indirizzo qui sotto."),
        this, 360, 1920, 4440, 468, Qt::AlignLeft | Qt::AlignTop);
    disclaimer->setWordWrap(true);

    auto *mail = new ClickableLabel(contactAddress(), this);
    mail->setObjectName(QStringLiteral("Label1"));
    mail->setGeometry(twipsRect(360, 2400, 3132, 252));
    mail->setFont(sansSerifFont(7.8, true, true));
    QPalette pal = mail->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0xFF));
    mail->setPalette(pal);
    mail->setCursor(Qt::PointingHandCursor);
    connect(mail, &ClickableLabel::clicked, this, [&platform] {
        platform.openAddress(QUrl(QStringLiteral("mailto:") + contactAddress()));
    });
}

} // namespace velmorant
