#pragma once

#include "placementstore.h"

#include <QPoint>
#include <QSize>
#include <QString>

class QSettings;

namespace velmorant {

// The four remembered values, in twips.
struct Placement
{
    double left = 1000, top = 1000, width = 6500, height = 6500;
};

// Reads "MainLeft", "MainTop", "MainWidth" and "MainHeight" from group "Settings"; a value
// that is absent or not a number takes its default.
Placement readPlacement(QSettings &settings);
void writePlacement(QSettings &settings, const Placement &placement);

// Where a window `outerWidthPx` wide goes for a stored placement: the stored position, unless
// its top edge would be on no available screen (a screen removed since), then centred on the
// primary screen. `windowSizePx` is the window's outer size.
QPoint windowPosition(const Placement &placement, const QSize &windowSizePx);

// The placement kept in the user's settings (organisation and application "Velmorant").
class SettingsPlacementStore : public PlacementStore
{
public:
    void load(QWidget &window) override;
    void save(const QWidget &window) override;
};

} // namespace velmorant
