#include "startup.h"

#include "fonts.h"
#include "mainwindow.h"
#include "safefile.h"
#include "splash.h"
#include "translations.h"
#include "version.h"

#include <QCoreApplication>

namespace velmorant {

void prepareApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Velmorant"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmorant"));
    QCoreApplication::setApplicationVersion(QLatin1String(VersionText));
    installFontSubstitutions();
    installItalianTranslations(*QCoreApplication::instance());
    reportFileSizeLimitAsWriteError();
}

Startup startVelmorant(Platform &platform, PlacementStore *placement, int splashDelayMs)
{
    // The splash first, not waited for: the user sees it while the main window loads.
    Startup s;
    s.splash = new Splash(splashDelayMs);
    s.splash->show();
    s.mainWindow = new MainWindow(platform, placement);
    s.mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    s.splash->setMainWindow(s.mainWindow);
    return s;
}

} // namespace velmorant
