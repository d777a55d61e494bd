#pragma once

#include "band.h"
#include "cycle.h"
#include "plot/plotview.h"
#include "project.h"

#include <QWidget>

#include <optional>

class QSplitter;

namespace velmorant {

class Platform;

// What the Onde tab draws: above, the pressure against crank angle at one speed at the port
// and at the probe (and in the cylinder when asked), with the ports' timing and the ambient
// pressure, the second pipe's traces and a measured trace laid over them; below, against speed,
// the dyno sheet (brake power in CV on the left, torque in N m on the right, a measured power
// curve laid over them) or the charging efficiency, the delivery ratio and the intake's
// backflow, with the first sizing's band shaded, the design speed and the speed shown marked,
// and the speeds that did not settle ringed; or where the mean pressure goes; or the walls that
// find their own temperature along their pipes at the speed shown. Each volume of the gas paths
// (a box, an airbox) has its pressure above too. The second pipe's curves are dashed.
struct WavePlot
{
    QList<waves::SpeedResult> speeds, compared;
    int shown = 0; // the speed drawn above
    PortTiming timing;
    double ambientBar = 1.013;
    std::optional<Band> band;
    double designRpm = 0;
    std::optional<TraceOverlay> measured; // at the probe, or at the port
    QString comparedName;
    std::optional<engine::BenchCurve> bench;
    bool dyno = true;      // power and torque below; else charging and delivery
    bool walls = false;    // the computed walls below, instead of either
    // Below, instead of either: the mean pressure left after each loss in turn, from the
    // fuel's reference down to the brake's.
    bool meanPressures = false;
    bool cylinder = false; // the cylinder's pressure above
};

class WavesView : public QWidget
{
    Q_OBJECT

public:
    WavesView(const QLocale &locale, QWidget *parent = nullptr);
    void setPlot(const WavePlot &plot);
    const WavePlot &plot() const { return m_plot; }
    // A note in place of the plots (before the first run, or while one runs).
    void setNote(const QString &note);
    plot::View *traces() const { return m_traces; }
    plot::View *speeds() const { return m_speeds; }
    void setExport(Platform *platform, const QString &name, plot::View::OutputCheck check = {});

signals:
    // A speed of the lower plot clicked: its index in the plot's speeds.
    void speedClicked(int index);

private:
    plot::Data traceData() const;
    plot::Data speedData() const;
    plot::Data wallData() const;

    QLocale m_locale;
    WavePlot m_plot;
    plot::View *m_traces = nullptr, *m_speeds = nullptr;
    QSplitter *m_split = nullptr;
};

} // namespace velmorant
