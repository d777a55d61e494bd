#pragma once

// The cylinder's wall unrolled, as a tuner's port map: the exhaust in the middle with its
// auxiliaries beside it, the transfers in pairs round the sides and a single one at the back,
// each window drawn to its timing, width and corners, and the piston's crown at the crank
// angle chosen, the windows' open parts filled above it.
#include "portstudy.h"

#include <QLocale>
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
    double angle() const { return m_angle; }
    // What the crown has uncovered at the angle, mm², as the model reads it.
    engine::PortAreaTable::Areas openAreas() const;
    QSize sizeHint() const override { return {560, 260}; }

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

    std::optional<waves::PortGeometry> m_ports;
    engine::Crank m_crank;
    double m_bore = 0, m_angle = 180;
    QLocale m_locale;
};

} // namespace velmorant
