#include "placement.h"

#include "mainwindow.h"
#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <cmath>

namespace velmorant {

namespace {

const char *const Keys[4] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};

double readValue(QSettings &settings, const char *key, double fallback)
{
    const QVariant stored = settings.value(QLatin1String(key));
    if (!stored.isValid())
        return fallback;
    bool ok = false;
    const double value = stored.toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : fallback;
}

} // namespace

Placement readPlacement(QSettings &settings)
{
    settings.beginGroup(QStringLiteral("Settings"));
    const Placement defaults;
    Placement p;
    p.left = readValue(settings, Keys[0], defaults.left);
    p.top = readValue(settings, Keys[1], defaults.top);
    p.width = readValue(settings, Keys[2], defaults.width);
    p.height = readValue(settings, Keys[3], defaults.height);
    settings.endGroup();
    return p;
}

void writePlacement(QSettings &settings, const Placement &p)
{
    settings.beginGroup(QStringLiteral("Settings"));
    const double values[4] = {p.left, p.top, p.width, p.height};
    for (int i = 0; i < 4; ++i)
        settings.setValue(QLatin1String(Keys[i]), QString::number(qRound64(values[i])));
    settings.endGroup();
}

QPoint windowPosition(const Placement &placement, const QSize &windowSizePx)
{
    // px() saturates: a position no screen can hold stays off screen, whatever its size.
    const QPoint stored(px(placement.left), px(placement.top));
    const QRect topEdge(stored, QSize(windowSizePx.width(), 1));
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(topEdge))
            return stored;
    }
    QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return stored;
    const QRect area = primary->availableGeometry();
    return area.center() - QPoint(windowSizePx.width() / 2, windowSizePx.height() / 2);
}

void SettingsPlacementStore::load(QWidget &window)
{
    QSettings settings;
    const QSize outer(px(MainWindow::OuterWidth), px(MainWindow::OuterHeight));
    window.move(windowPosition(readPlacement(settings), outer));
}

void SettingsPlacementStore::save(const QWidget &window)
{
    // The window cannot be resized, so its outer size is always the one it opens at.
    QSettings settings;
    writePlacement(settings, {twips(window.x()), twips(window.y()), double(MainWindow::OuterWidth),
                              double(MainWindow::OuterHeight)});
}

} // namespace velmorant
