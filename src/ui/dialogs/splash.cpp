#include "splash.h"

#include "fonts.h"
#include "panels.h"
#include "twips.h"
#include "version.h"
#include "widgets.h"

#include <QFrame>
#include <QGuiApplication>
#include <QScreen>

namespace velmorant {

Splash::Splash(int delayMs) : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(px(7680), px(4944));
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fraMainFrame"));
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setGeometry(twipsRect(144, 122, 7380, 4700));

    struct Text
    {
        const char *name;
        QString text;
        int l, t, w, h;
        Qt::Alignment align;
        QFont font;
    };
    const Text texts[] = {
        {"lblCompanyProduct", QStringLiteral("Officina Velmorant"), 1116, 240, 5436, 912,
         Qt::AlignCenter, sansSerifFont(18, true)},
        {"lblPlatform", QStringLiteral("Reparto Scarichi e Fluidodinamica"), 1206, 1200, 5256, 852,
         Qt::AlignCenter, sansSerifFont(13.8, true)},
        {"lblProductName", QStringLiteral("Velmorant"), 4440, 2640, 2544, 576,
         Qt::AlignLeft | Qt::AlignVCenter, tahomaFont(24, true, true)},
        {"lblVersion", QStringLiteral("Release %1").arg(QLatin1String(VersionText)), 5565, 3240,
         1455, 300, Qt::AlignRight | Qt::AlignVCenter, sansSerifFont(12, true)},
        {"lblCopyright", QStringLiteral("\u00a9 Team Velmorant"), 4800, 3600, 2292, 252,
         Qt::AlignRight | Qt::AlignVCenter, sansSerifFont()},
        {"Label1", webAddressText(), 4200, 3960, 2868, 300, Qt::AlignRight | Qt::AlignVCenter,
         sansSerifFont(12, true, true)},
    };
    for (const Text &t : texts) {
        QLabel *label =
            makeLabel(QString::fromLatin1(t.name), t.text, frame, t.l, t.t, t.w, t.h, t.align);
        label->setFont(t.font);
        fitToText(label);
        if (qstrcmp(t.name, "Label1") == 0) {
            QPalette pal = label->palette();
            pal.setColor(QPalette::WindowText, QColor(0, 0, 0xC0));
            label->setPalette(pal);
        }
    }

    auto *picture = new ClickableLabel(frame);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(twipsRect(600, 2160, 3048, 2100));
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/velmorant.png")));
    picture->setScaledContents(true);
    connect(picture, &ClickableLabel::clicked, this, &Splash::finish);

    m_timer.setObjectName(QStringLiteral("tmrTimerSplash"));
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Splash::finish);
    m_timer.start(delayMs);
}

void Splash::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer.stop();
    close();
    if (m_mainWindow)
        m_mainWindow->show();
}

} // namespace velmorant
