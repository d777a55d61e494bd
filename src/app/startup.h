#pragma once

#include <memory>

namespace velmorant {

class MainWindow;
class Platform;
class PlacementStore;
class Splash;

// What start-up leaves running: the splash on screen, the main window loaded and hidden.
struct Startup
{
    MainWindow *mainWindow = nullptr; // deleted on close
    Splash *splash = nullptr;         // deletes itself when it closes
};

// Sets the application's names, fonts and Qt's Italian texts. Call once, before any window.
void prepareApplication();

// The start-up sequence: splash first (not waited for), then the main window, hidden, with
// its placement, state, default inputs and status texts. The splash reveals it.
Startup startVelmorant(Platform &platform, PlacementStore *placement, int splashDelayMs);

} // namespace velmorant
