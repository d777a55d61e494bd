#pragma once

#include <QTimer>
#include <QWidget>

namespace velmorant {

// The splash window: shown first, it closes itself after its delay or on a click on its
// picture, and reveals the main window as it goes (once).
class Splash : public QWidget
{
    Q_OBJECT

public:
    static constexpr int DefaultDelayMs = 4000;

    explicit Splash(int delayMs = DefaultDelayMs);

    // The window to reveal when the splash closes; start-up sets it once the window exists.
    void setMainWindow(QWidget *mainWindow) { m_mainWindow = mainWindow; }
    void finish();

private:
    QWidget *m_mainWindow = nullptr;
    QTimer m_timer;
    bool m_finished = false;
};

} // namespace velmorant
