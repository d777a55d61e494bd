#pragma once

#include "band.h"
#include "cycle.h"

#include <QWidget>

#include <optional>

namespace velmorant {

// What the Onde tab draws: above, the pressure against crank angle at one speed at the port
// and at the probe, with the ports' timing and the ambient pressure, the second pipe's traces
// and a measured trace laid over them; below, the charging efficiency and the delivery ratio
// against speed, with the first sizing's band shaded and the design speed marked.
struct WavePlot
{
    QList<waves::SpeedResult> speeds, compared;
    int shown = 0; // the speed drawn above
    PortTiming timing;
    double ambientBar = 1.013;
    std::optional<Band> band;
    double designRpm = 0;
    QList<std::pair<double, double>> measured; // degrees, bar: at the probe, or at the port
    QString comparedName;
};

class WavesView : public QWidget
{
    Q_OBJECT

public:
    explicit WavesView(QWidget *parent = nullptr);
    void setPlot(const WavePlot &plot);
    const WavePlot &plot() const { return m_plot; }
    // A note in place of the plots (before the first run, or while one runs).
    void setNote(const QString &note);

    // Where an angle and a pressure (bar) fall above, and a speed and a ratio below.
    QPointF traceAt(double degrees, double bar) const;
    QPointF speedAt(double rpm, double ratio) const;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QRectF traceArea() const;
    QRectF speedArea() const;
    void paintTraces(QPainter &p);
    void paintSpeeds(QPainter &p);

    WavePlot m_plot;
    QString m_note;
    double m_barFrom = 0, m_barTo = 2, m_rpmFrom = 0, m_rpmTo = 1, m_ratioTo = 1.2;
};

} // namespace velmorant
