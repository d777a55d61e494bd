#pragma once

#include <QDateTime>
#include <QStatusBar>
#include <QTimer>

#include <array>
#include <functional>

class QLabel;

namespace velmorant {

// The four-panel status bar: 1 calculator state, 2 design file, 3 input origin, 4 today's
// date, which the bar keeps current itself (also across midnight).
class StatusBar : public QStatusBar
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    explicit StatusBar(QWidget *parent = nullptr, Clock clock = {});

    // Panels are numbered from 1; only 1 to 3 are written by the program.
    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;

private:
    void refreshDate();

    std::array<QLabel *, 4> m_panels{};
    Clock m_clock;
    QTimer m_midnight;
};

} // namespace velmorant
