#pragma once

#include "band.h"
#include "plot/plotview.h"

#include <optional>

namespace velmorant {

// The pipe's rpm band: the crank angle at which the suction and the plugging waves are back at
// the port, against the engine speed, with their targets (transfers opening and closing), the
// band shaded and the design speed marked.
class BandView : public plot::View
{
    Q_OBJECT

public:
    explicit BandView(const QLocale &locale, QWidget *parent = nullptr);

    // Nothing to show when the pipe has no diverging cone followed by a converging one.
    void setBand(const std::optional<WaveLengths> &lengths, double sc, double asp, double temp1,
                 double designRpm, double width = 10);
    const std::optional<Band> &band() const { return m_band; }

    // Where the speed `rpm` and the angle `degrees` fall in the widget.
    QPointF at(double rpm, double degrees) const { return toPixel(rpm, degrees); }

private:
    std::optional<Band> m_band;
    QLocale m_locale;
};

} // namespace velmorant
