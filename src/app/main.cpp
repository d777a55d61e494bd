#include "placement.h"
#include "qtplatform.h"
#include "splash.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    velmorant::prepareApplication();
    velmorant::QtPlatform platform;
    velmorant::SettingsPlacementStore placement;
    velmorant::startVelmorant(platform, &placement, velmorant::Splash::DefaultDelayMs);
    return app.exec();
}
