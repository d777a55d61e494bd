// One run of the main window on a real X display, as a user would have it: start-up placement,
// shown, framed by the window manager if there is one, then closed (the unload step stores the
// placement). Prints where the frame and the client area were.
#include "fakeplatform.h"
#include "mainwindow.h"
#include "placement.h"
#include "startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWindow>

#include <cstdio>

using namespace velmorant;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    prepareApplication();
    const bool framed = argc > 1 && qstrcmp(argv[1], "framed") == 0;

    FakePlatform platform;
    SettingsPlacementStore store;
    auto *window = new MainWindow(platform, &store);
    window->show();

    // Until the window is on screen and, under a window manager, has its frame.
    QElapsedTimer clock;
    clock.start();
    auto ready = [&] {
        return window->windowHandle() && window->windowHandle()->isExposed() &&
               (!framed || window->frameGeometry().top() < window->geometry().top());
    };
    while (!ready() && clock.elapsed() < 10000) {
        app.processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    // Let the window manager's placement arrive.
    for (clock.restart(); clock.elapsed() < 400;)
        app.processEvents(QEventLoop::AllEvents, 20);

    std::printf("ready %d frame %d %d client %d %d\n", int(ready()), window->frameGeometry().x(),
                window->frameGeometry().y(), window->geometry().x(), window->geometry().y());
    std::fflush(stdout);
    window->close();
    delete window;
    return 0;
}
