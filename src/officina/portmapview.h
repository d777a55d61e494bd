#pragma once

// The cylinder's wall unrolled, as a tuner's port map: the exhaust in the middle with its
// auxiliaries beside it, the transfers in pairs round the sides and a single one at the back,
// each window drawn to its timing, width and corners, and the piston's crown at the crank
// angle chosen, the windows' open parts filled above it.
#include "portstudy.h"

#include <QLocale>
#include <QPainter>
#include <QWidget>

namespace velmorant {

class PortMapView : public QWidget
{
    Q_OBJECT

public:
    explicit PortMapView(const QLocale &locale, QWidget *parent = nullptr);
    // The ports on the crank-slider of a `boreMm` bore; none: nothing to draw.
    void setPorts(const std::optional<waves::PortGeometry> &ports, const engine::Crank &crank,
                  double boreMm);
    void setAngle(double degrees);
    // The design speed the time-areas are drawn at (0: not known, none drawn).
    void setRpm(double rpm);
    // The specific time-areas drawn as bars, s mm²/cm³: the exhaust's, the blowdown's, the
    // transfers', and the piston intake's or the disc's; empty without the speed or the ports.
    QList<std::pair<QString, double>> specificTimeAreas() const;
    double angle() const { return m_angle; }
    // What the crown has uncovered at the angle, mm², as the model reads it.
    engine::PortAreaTable::Areas openAreas() const;
    QSize sizeHint() const override { return {560, 330}; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    // Each window drawn: its centre round the bore (mm of arc from the exhaust's centre), its
    // top below the crown's highest place, its outline, and whether it is an exhaust.
    struct Drawn
    {
        double centreMm, topMm;
        engine::Window outline;
        bool exhaust;
    };
    QList<Drawn> layout() const;
    void drawBars(QPainter &p, const QRectF &box,
                  const QList<std::pair<QString, double>> &bars) const;

    std::optional<waves::PortGeometry> m_ports;
    engine::Crank m_crank;
    double m_bore = 0, m_angle = 180, m_rpm = 0;
    QLocale m_locale;
};

} // namespace velmorant
