#include "bandview.h"

#include <algorithm>
#include <cmath>

namespace velmorant {

namespace {

const QColor Suction(0x15, 0x65, 0xC0), Plugging(0xC6, 0x28, 0x28);

} // namespace

BandView::BandView(const QLocale &locale, QWidget *parent)
    : plot::View(locale, parent), m_locale(locale)
{
    setObjectName(QStringLiteral("viewFascia"));
    plot::Data d;
    d.note = tr("Premere Calcola per vedere la fascia di giri");
    setData(d);
}

void BandView::setBand(const std::optional<WaveLengths> &lengths, double sc, double asp,
                       double temp1, double designRpm, double width)
{
    m_band.reset();
    plot::Data d;
    if (!lengths) {
        d.note = tr("Nessuna fascia: il tubo non ha un cono divergente seguito da uno "
                    "convergente");
        setData(d);
        return;
    }
    const Band band = bandOf(*lengths, sc, asp, temp1, width);
    m_band = band;
    // From 60 % to 140 % of the tuned speed, or wider to hold the design speed.
    const double from = std::min(0.6 * band.tunedRpm, 0.9 * designRpm);
    const double to = std::max(1.4 * band.tunedRpm, 1.1 * designRpm);
    const PortTiming t = portTiming(sc, asp);
    const ReturnAngles lo = returnAngles(*lengths, sc, temp1, from);
    const ReturnAngles hi = returnAngles(*lengths, sc, temp1, to);
    QLocale l = m_locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    d.x.title = tr("Giri al minuto");
    d.x.unit = tr("giri/min");
    d.x.from = from;
    d.x.to = to;
    d.y.title = tr("Ritorno alla luce (gradi di manovella)");
    d.y.suffix = QStringLiteral("\u00b0");
    d.y.step = 30;
    d.y.from = std::floor(std::min({t.eo, lo.suction, t.to}) / 30) * 30;
    d.y.to = std::ceil(std::max({hi.plugging, t.ec, t.tc}) / 30) * 30;
    plot::Series suction;
    suction.name = tr("onda di aspirazione");
    suction.color = Suction;
    suction.points = {{from, lo.suction}, {to, hi.suction}};
    plot::Series plugging;
    plugging.name = tr("onda di tappo");
    plugging.color = Plugging;
    plugging.points = {{from, lo.plugging}, {to, hi.plugging}};
    d.series = {suction, plugging};
    d.levels = {{t.to, tr("obiettivo dell'aspirazione: TO %1\u00b0").arg(l.toString(t.to)), Suction,
                 Qt::DashLine},
                {t.tc, tr("obiettivo del tappo: TC %1\u00b0").arg(l.toString(t.tc)), Plugging,
                 Qt::DashLine}};
    d.shades = {{band.lowRpm, band.highRpm,
                 tr("fascia \u00b1%1\u00b0: %2 - %3 giri/min, accordato a %4")
                     .arg(l.toString(band.widthDegrees), l.toString(qRound(band.lowRpm)),
                          l.toString(qRound(band.highRpm)), l.toString(qRound(band.tunedRpm)))}};
    d.current = designRpm;
    d.currentName = tr("regime di progetto %1 giri/min").arg(l.toString(qRound(designRpm)));
    setData(d);
}

} // namespace velmorant
