#include "statusbar.h"

#include "fonts.h"
#include "twips.h"

#include <QLabel>
#include <QLocale>

namespace velmorant {

StatusBar::StatusBar(QWidget *parent, Clock clock)
    : QStatusBar(parent),
      m_clock(clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("sbStatusBar"));
    setSizeGripEnabled(false);
    setFont(sansSerifFont());

    // Panels 1 and 2 share what 3 and 4 leave, above their minimums.
    const int minimum[4] = {4800, 1440, 2400, 1440};
    const int stretch[4] = {1, 1, 0, 0};
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("sbPanel%1").arg(i + 1));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(px(minimum[i]));
        if (i == 2)
            label->setFixedWidth(px(2400));
        addWidget(label, stretch[i]);
        m_panels[i] = label;
    }

    m_midnight.setSingleShot(true);
    connect(&m_midnight, &QTimer::timeout, this, &StatusBar::refreshDate);
    refreshDate();
}

void StatusBar::setPanelText(int panel, const QString &text)
{
    m_panels.at(panel - 1)->setText(text);
}

QString StatusBar::panelText(int panel) const
{
    return m_panels.at(panel - 1)->text();
}

void StatusBar::refreshDate()
{
    const QDateTime now = m_clock();
    // Dates are words: Italian whatever the system's language.
    m_panels[3]->setText(
        QLocale(QLocale::Italian, QLocale::Italy).toString(now.date(), QLocale::ShortFormat));
    // Wake just after the next midnight; a clock change only delays the update to the next.
    const QDateTime next(now.date().addDays(1), QTime(0, 0));
    const qint64 ms = now.msecsTo(next);
    m_midnight.start(int(qBound(qint64(1), ms + 50, qint64(24 * 3600 * 1000))));
}

} // namespace velmorant
