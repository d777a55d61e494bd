#include "wavesview.h"

#include <QFileInfo>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace velmorant {

namespace {

const QColor Port(0x15, 0x65, 0xC0), Probe(0x2E, 0x7D, 0x32), Measured(0xC6, 0x28, 0x28);
const QColor Charging(0x15, 0x65, 0xC0), Delivery(0xEF, 0x6C, 0x00);
const QColor Power(0xC6, 0x28, 0x28), Torque(0x45, 0x27, 0xA0), Bench(0x21, 0x21, 0x21);
const QColor Cylinder(0x6D, 0x4C, 0x41), Volume(0x00, 0x83, 0x8F);

} // namespace

WavesView::WavesView(const QLocale &locale, QWidget *parent) : QWidget(parent), m_locale(locale)
{
    setObjectName(QStringLiteral("viewOnde"));
    m_split = new QSplitter(Qt::Vertical, this);
    m_traces = new plot::View(locale, m_split);
    m_traces->setObjectName(QStringLiteral("plotTracce"));
    m_speeds = new plot::View(locale, m_split);
    m_speeds->setObjectName(QStringLiteral("plotRegimi"));
    m_split->setChildrenCollapsible(false);
    m_split->setStretchFactor(0, 1);
    m_split->setStretchFactor(1, 1);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_split);
    connect(m_speeds, &plot::View::pointClicked, this, [this](int series, int index) {
        const plot::Series &s = m_speeds->data().series.value(series);
        // The compared pipe's points stand for the same speeds as the first pipe's.
        if (s.clickable && index >= 0 && index < m_plot.speeds.size())
            emit speedClicked(index);
    });
    setNote(tr("Premere Calcola onde per simulare il tubo sul motore"));
}

void WavesView::setExport(Platform *platform, const QString &name, plot::View::OutputCheck check)
{
    m_traces->setExport(platform, name + tr("-tracce"), check);
    m_speeds->setExport(platform, name + tr("-regimi"), check);
}

void WavesView::setNote(const QString &note)
{
    plot::Data d;
    d.note = note;
    m_traces->setData(d);
    m_speeds->setData(plot::Data());
    m_speeds->hide();
}

void WavesView::setPlot(const WavePlot &p)
{
    const bool sameSpeeds = m_plot.speeds.size() == p.speeds.size() && !p.speeds.isEmpty() &&
                            m_plot.dyno == p.dyno && m_plot.walls == p.walls &&
                            m_speeds->isVisible();
    m_plot = p;
    if (p.speeds.isEmpty()) {
        setNote(tr("Premere Calcola onde per simulare il tubo sul motore"));
        return;
    }
    m_speeds->show();
    m_traces->setData(traceData());
    // Another speed shown keeps the lower plot's zoom.
    m_speeds->setData(p.walls ? wallData() : speedData(), sameSpeeds);
}

plot::Data WavesView::traceData() const
{
    QLocale l = m_locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    const waves::SpeedResult &r = m_plot.speeds.value(m_plot.shown);
    plot::Data d;
    d.x.title = tr("Angolo di manovella dal PMS, a %1 giri/min (%2 cicli)")
                    .arg(l.toString(qRound(r.rpm)))
                    .arg(r.cycles);
    d.x.suffix = QStringLiteral("\u00b0");
    d.x.from = 0;
    d.x.to = 360;
    d.x.step = 30;
    d.y.title = tr("Pressione (bar)");
    d.y.unit = QStringLiteral("bar");
    auto curve = [](const std::vector<double> &pascal) {
        QList<QPointF> points;
        for (int k = 0; k < int(pascal.size()); ++k)
            points << QPointF(k * 0.5, pascal[k] / 1e5);
        return points;
    };
    for (int s = 0; s < r.traces.size(); ++s) {
        plot::Series t;
        t.color = s == 0 ? Port : Probe;
        t.name = s == 0 ? tr("alla luce") : tr("a %1 mm dalla luce").arg(l.toString(r.traces[s].x));
        t.points = curve(r.traces[s].p);
        d.series << t;
    }
    if (m_plot.shown < m_plot.compared.size()) {
        const waves::SpeedResult &c = m_plot.compared[m_plot.shown];
        for (int s = 0; s < c.traces.size(); ++s) {
            plot::Series t;
            t.color = s == 0 ? Port : Probe;
            t.width = 1.5;
            t.style = Qt::DashLine;
            t.name = s == 0 ? tr("%1, alla luce").arg(m_plot.comparedName)
                            : tr("%1, a %2 mm").arg(m_plot.comparedName, l.toString(c.traces[s].x));
            t.points = curve(c.traces[s].p);
            d.series << t;
        }
    }
    // Each volume on the gas paths, by its place in its system's file.
    for (const waves::VolumeTrace &v : r.volumes) {
        plot::Series s;
        s.color = Volume;
        s.width = 1.5;
        s.style = v.exhaust ? Qt::SolidLine : Qt::DashDotLine;
        s.name = v.exhaust ? tr("nel volume %1 dello scarico").arg(v.element)
                           : tr("nel volume %1 dell'aspirazione").arg(v.element);
        s.points = curve(v.p);
        d.series << s;
    }
    if (m_plot.cylinder) {
        plot::Series c;
        c.color = Cylinder;
        c.width = 1.5;
        c.name = tr("nel cilindro");
        c.points = curve(r.cylinderPressure);
        d.series << c;
    }
    if (m_plot.measured) {
        plot::Series m;
        m.color = Measured;
        m.line = false;
        m.name = tr("traccia misurata a %1 giri/min (%2)")
                     .arg(l.toString(qRound(m_plot.measured->rpm)),
                          QFileInfo(m_plot.measured->source).fileName());
        for (const auto &[angle, bar] : m_plot.measured->points)
            m.points << QPointF(angle, bar);
        d.series << m;
    }
    const std::pair<double, const char *> marks[] = {{m_plot.timing.eo, "EO"},
                                                     {m_plot.timing.to, "TO"},
                                                     {m_plot.timing.tc, "TC"},
                                                     {m_plot.timing.ec, "EC"}};
    for (const auto &[angle, name] : marks)
        d.marks << plot::Mark{angle, QLatin1String(name)};
    d.levels << plot::Level{m_plot.ambientBar, tr("ambiente")};
    return d;
}

plot::Data WavesView::speedData() const
{
    QLocale l = m_locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    plot::Data d;
    d.x.title = tr("Giri al minuto");
    d.x.unit = tr("giri/min");
    if (m_plot.speeds.size() == 1) {
        d.x.from = m_plot.speeds[0].rpm - 500;
        d.x.to = m_plot.speeds[0].rpm + 500;
    }
    // One figure of every speed of a list, the unsettled ones ringed.
    auto series = [&](const QList<waves::SpeedResult> &list, const QColor &color,
                      const QString &what, bool first, double (*of)(const waves::SpeedResult &)) {
        plot::Series s;
        s.color = color;
        s.marker = plot::Series::Marker::Dot;
        s.clickable = true;
        if (!first) {
            s.width = 1.5;
            s.style = Qt::DashLine;
        }
        s.name = first ? what : tr("%1: %2").arg(m_plot.comparedName, what);
        for (int k = 0; k < list.size(); ++k) {
            s.points << QPointF(list[k].rpm, of(list[k]));
            if (!list[k].periodic)
                s.flagged << k;
        }
        s.flaggedName = tr("non assestato");
        return s;
    };
    const bool compared = !m_plot.compared.isEmpty();
    if (m_plot.dyno) {
        d.y.title = tr("Potenza (CV)");
        d.y.unit = tr("CV");
        d.y.fromZero = true;
        d.y2.title = tr("Coppia (N m)");
        d.y2.unit = tr("N m");
        d.y2.fromZero = true;
        auto power = [](const waves::SpeedResult &r) { return r.brake.powerCv; };
        auto torque = [](const waves::SpeedResult &r) { return r.brake.torqueNm; };
        for (bool first : {true, false}) {
            if (!first && !compared)
                break;
            const QList<waves::SpeedResult> &list = first ? m_plot.speeds : m_plot.compared;
            d.series << series(list, Power, tr("potenza"), first, power);
            plot::Series t = series(list, Torque, tr("coppia"), first, torque);
            t.rightAxis = true;
            d.series << t;
        }
        if (m_plot.bench) {
            plot::Series b;
            b.color = Bench;
            b.marker = plot::Series::Marker::Ring;
            b.width = 1;
            b.style = Qt::DotLine;
            b.name = tr("al banco (%1)").arg(QFileInfo(m_plot.bench->source).fileName());
            for (const auto &[rpm, cv] : m_plot.bench->points)
                b.points << QPointF(rpm, cv);
            d.series << b;
        }
    } else if (m_plot.meanPressures) {
        // What is left after each loss: the gaps between the lines are the losses.
        d.y.title = tr("Pressione media (bar)");
        d.y.unit = QStringLiteral("bar");
        d.y.fromZero = true;
        // Each line the reference less the losses up to its own.
        static double (*const left[])(const waves::SpeedResult &) = {
            [](const waves::SpeedResult &r) { return r.meanPressures.reference; },
            [](const waves::SpeedResult &r) {
                const waves::MeanPressures &m = r.meanPressures;
                return m.reference - m.delivery;
            },
            [](const waves::SpeedResult &r) {
                const waves::MeanPressures &m = r.meanPressures;
                return m.reference - m.delivery - m.trapping;
            },
            [](const waves::SpeedResult &r) {
                const waves::MeanPressures &m = r.meanPressures;
                return m.reference - m.delivery - m.trapping - m.combustion;
            },
            [](const waves::SpeedResult &r) {
                const waves::MeanPressures &m = r.meanPressures;
                return m.reference - m.delivery - m.trapping - m.combustion - m.heat;
            },
            [](const waves::SpeedResult &r) { return r.meanPressures.imep; },
            [](const waves::SpeedResult &r) {
                return r.meanPressures.imep - r.meanPressures.pumping;
            },
            [](const waves::SpeedResult &r) { return r.meanPressures.bmep; },
        };
        const QString names[] = {tr("riferimento: il combustibile di una cilindrata"),
                                 tr("dopo l'erogazione"),
                                 tr("dopo l'intrappolamento"),
                                 tr("dopo la combustione"),
                                 tr("dopo le pareti"),
                                 tr("PMI, dopo lo scarico"),
                                 tr("dopo il pompaggio"),
                                 tr("PME, dopo l'attrito")};
        const QColor colors[] = {Bench, Delivery, Charging, Cylinder, Volume, Torque, Probe, Power};
        for (int k = 0; k < 8; ++k)
            d.series << series(m_plot.speeds, colors[k], names[k], true, left[k]);
        if (compared)
            d.series << series(m_plot.compared, Torque, names[5], false, left[5])
                     << series(m_plot.compared, Power, names[7], false, left[7]);
    } else {
        d.y.title = tr("Rapporto");
        d.y.fromZero = true;
        auto charging = [](const waves::SpeedResult &r) { return r.chargingEfficiency; };
        auto delivery = [](const waves::SpeedResult &r) { return r.deliveryRatio; };
        auto backflow = [](const waves::SpeedResult &r) { return r.intakeBackflow; };
        d.series << series(m_plot.speeds, Charging, tr("rendimento di carica"), true, charging)
                 << series(m_plot.speeds, Delivery, tr("rapporto di erogazione"), true, delivery)
                 << series(m_plot.speeds, Cylinder, tr("riflusso dall'aspirazione"), true,
                           backflow);
        if (compared)
            d.series << series(m_plot.compared, Charging, tr("rendimento di carica"), false,
                               charging)
                     << series(m_plot.compared, Delivery, tr("rapporto di erogazione"), false,
                               delivery);
    }
    if (m_plot.band)
        d.shades << plot::Shade{m_plot.band->lowRpm, m_plot.band->highRpm,
                                tr("fascia del dimensionamento %1-%2")
                                    .arg(l.toString(qRound(m_plot.band->lowRpm)),
                                         l.toString(qRound(m_plot.band->highRpm)))};
    d.marks << plot::Mark{m_plot.designRpm, tr("progetto"), QColor(0x42, 0x42, 0x42), Qt::DotLine};
    const waves::SpeedResult &shown = m_plot.speeds.value(m_plot.shown);
    d.current = shown.rpm;
    d.currentName = tr("mostrato sopra: %1 giri/min").arg(l.toString(qRound(shown.rpm)));
    return d;
}

plot::Data WavesView::wallData() const
{
    QLocale l = m_locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    const waves::SpeedResult &shown = m_plot.speeds.value(m_plot.shown);
    plot::Data d;
    d.x.title =
        tr("Lungo il tubo (mm dal suo inizio), a %1 giri/min").arg(l.toString(qRound(shown.rpm)));
    d.x.unit = QStringLiteral("mm");
    d.x.from = 0;
    d.y.title = tr("Temperatura di parete (\u00b0C)");
    d.y.unit = QStringLiteral("\u00b0C");
    d.y.fromZero = true;
    if (shown.walls.isEmpty())
        d.note = tr("Nessuna parete calcolata: \"wall_c\": \"calcolata\" in un tubo "
                    "dell'impianto (Motore..., Impianto)");
    const QColor colors[] = {Power, Torque, Probe, Port};
    for (int k = 0; k < shown.walls.size(); ++k) {
        const waves::WallProfile &w = shown.walls[k];
        plot::Series s;
        s.color = colors[k % 4];
        s.name = w.exhaust ? tr("tubo %1 dello scarico").arg(w.pipe)
                           : tr("tubo %1 dell'aspirazione").arg(w.pipe);
        for (std::size_t i = 0; i < w.xMm.size(); ++i)
            s.points << QPointF(w.xMm[i], w.kelvin[i] - 273.15);
        d.series << s;
    }
    return d;
}

} // namespace velmorant
