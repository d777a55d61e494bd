#include "startup.h"

#include "fonts.h"
#include "mainwindow.h"
#include "safefile.h"
#include "settingsfile.h"
#include "statusbar.h"
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
    protectFileWrites();
}

Startup startVelmorant(Platform &platform, PlacementStore *placement, int splashDelayMs)
{
    // The splash first, not waited for: the user sees it while the main window loads.
    Startup s;
    s.splash = new Splash(splashDelayMs);
    s.splash->show();
    // Before anything reads the settings: a settings file that is a FIFO would hang here.
    const std::optional<QString> settingsNote = guardSettingsFiles();
    s.mainWindow = new MainWindow(platform, placement);
    if (settingsNote)
        s.mainWindow->statusPanels().setPanelText(1, *settingsNote);
    s.mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    s.splash->setMainWindow(s.mainWindow);
    return s;
}

} // namespace velmorant
