// Run by tst_officinadocument on a real X server: the window's shortcuts against the keys a
// text box keeps for itself there (X11's Emacs keys: Ctrl+E is the end of the line). Prints
// how many export dialogs Ctrl+E in the name box asked for.
#include "fakeplatform.h"
#include "officinawindow.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    velmorant::test::prepareWindowTests();
    velmorant::FakePlatform platform;
    velmorant::OfficinaWindow w(platform, QLocale(QStringLiteral("it_IT")));
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w, 10000)) {
        std::puts("inactive");
        return 1;
    }
    w.action("mnuCalcola")->trigger();
    for (int i = 0; i < 600 && w.calculating(); ++i)
        QTest::qWait(50);
    auto *name = w.findChild<QLineEdit *>(QStringLiteral("txtNome"));
    name->setFocus();
    QTest::keyClick(name, Qt::Key_E, Qt::ControlModifier);
    std::printf("%s %lld\n", qPrintable(QGuiApplication::platformName()),
                static_cast<long long>(platform.fileRequests.size()));
    return 0;
}
