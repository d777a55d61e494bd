#pragma once

#include "band.h"

#include <QWidget>

#include <optional>

namespace velmorant {

// The pipe's rpm band: the crank angle at which the suction and the plugging waves are back at
// the port, against the engine speed, with their targets (transfers opening and closing), the
// band shaded and the design speed marked. Drawn with QPainter: two straight lines and a few
// marks need no chart library.
class BandView : public QWidget
{
    Q_OBJECT

public:
    explicit BandView(QWidget *parent = nullptr);

    // Nothing to show when the pipe has no diverging cone followed by a converging one.
    void setBand(const std::optional<WaveLengths> &lengths, double sc, double asp, double temp1,
                 double designRpm, double width = 10);
    const std::optional<Band> &band() const { return m_band; }

    // Where the speed `rpm` and the angle `degrees` fall in the widget.
    QPointF at(double rpm, double degrees) const;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QRectF plotArea() const;

    bool m_calculated = false;
    std::optional<WaveLengths> m_lengths;
    std::optional<Band> m_band;
    double m_sc = 0, m_asp = 0, m_temp = 0, m_rpm = 0;
    double m_rpmFrom = 0, m_rpmTo = 1, m_degFrom = 0, m_degTo = 360;
};

} // namespace velmorant
