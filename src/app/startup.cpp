#include "startup.h"

#include "fonts.h"
#include "mainwindow.h"
#include "splash.h"

#include <QCoreApplication>

namespace velmorant {

void prepareApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Velmorant"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmorant"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.3"));
    installFontSubstitutions();
}

Startup startVelmorant(Platform &platform, PlacementStore *placement, int splashDelayMs)
{
    Startup s;
    s.mainWindow = new MainWindow(platform, placement);
    s.mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    s.splash = new Splash(s.mainWindow, splashDelayMs);
    s.splash->show();
    return s;
}

} // namespace velmorant
