#pragma once

// What the workshop window's tests share: a fresh window on a scripted platform, in it_IT,
// with its own settings and a temporary folder, and the way to run its commands.
#include "enginedialog.h"
#include "fakeplatform.h"
#include "officinawindow.h"
#include "windowtest.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace velmorant::test {

// Qt's complaints about the window's own texts ("QString::arg: 1 argument(s) missing"): each one
// is a sentence the user reads with a hole in it. watchWindowTexts() collects them, once per
// test program, passing every message on as before.
inline QStringList &windowTextWarnings()
{
    static QStringList warnings;
    return warnings;
}

inline void watchWindowTexts()
{
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (text.contains(QLatin1String("QString::arg")))
                windowTextWarnings() << text;
            if (previous)
                previous(type, context, text);
        });
}

struct OfficinaFixture
{
    FakePlatform platform;
    std::unique_ptr<OfficinaWindow> w;
    std::unique_ptr<QTemporaryDir> dir;

    // A new window, shown and active; false when it would not become active.
    bool startWindow()
    {
        QSettings().clear();
        platform = FakePlatform();
        dir = std::make_unique<QTemporaryDir>();
        w = std::make_unique<OfficinaWindow>(platform, QLocale(QStringLiteral("it_IT")));
        w->show();
        w->activateWindow();
        return QTest::qWaitForWindowActive(w.get());
    }
    QLineEdit *box(const QString &name) const { return w->findChild<QLineEdit *>(name); }
    // Runs a command of the window (its action), and lets a calculation it starts end.
    void run(const char *command)
    {
        w->action(command)->trigger();
        settle();
    }
    void settle() { QTRY_VERIFY_WITH_TIMEOUT(!w->calculating(), 60000); }
    // For the test programs that hold every text of the window whole: their initTestCase and
    // their cleanup.
    void startWatchingTexts()
    {
        prepareWindowTests();
        watchWindowTexts();
    }
    void closeCheckingTexts()
    {
        w.reset();
        QVERIFY2(windowTextWarnings().isEmpty(), qPrintable(windowTextWarnings().join('\n')));
    }
};

// A box of the open engine dialog, and its OK.
inline QLineEdit *dialogBox(QWidget *w, const char *name)
{
    return w->findChild<EngineDialog *>("dlgMotore")->findChild<QLineEdit *>(name);
}

inline void pressOk(QWidget *w)
{
    w->findChild<EngineDialog *>("dlgMotore")
        ->findChild<QDialogButtonBox *>()
        ->button(QDialogButtonBox::Ok)
        ->click();
}

} // namespace velmorant::test
