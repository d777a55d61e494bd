#include "bandview.h"

#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velmorant {

BandView::BandView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("viewFascia"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void BandView::setBand(const std::optional<WaveLengths> &lengths, double sc, double asp,
                       double temp1, double designRpm, double width)
{
    m_calculated = true;
    m_lengths = lengths;
    m_sc = sc;
    m_asp = asp;
    m_temp = temp1;
    m_rpm = designRpm;
    m_band.reset();
    if (lengths) {
        m_band = bandOf(*lengths, sc, asp, temp1, width);
        // From 60 % to 140 % of the tuned speed, or wider to hold the design speed.
        m_rpmFrom = std::min(0.6 * m_band->tunedRpm, 0.9 * designRpm);
        m_rpmTo = std::max(1.4 * m_band->tunedRpm, 1.1 * designRpm);
        const PortTiming t = portTiming(sc, asp);
        const ReturnAngles lo = returnAngles(*lengths, sc, temp1, m_rpmFrom);
        const ReturnAngles hi = returnAngles(*lengths, sc, temp1, m_rpmTo);
        m_degFrom = std::floor(std::min({t.eo, lo.suction, t.to}) / 30) * 30;
        m_degTo = std::ceil(std::max({hi.plugging, t.ec, t.tc}) / 30) * 30;
    }
    update();
}

QRectF BandView::plotArea() const
{
    return QRectF(rect()).adjusted(70, 30, -30, -60);
}

QPointF BandView::at(double rpm, double degrees) const
{
    const QRectF a = plotArea();
    return {a.left() + (rpm - m_rpmFrom) / (m_rpmTo - m_rpmFrom) * a.width(),
            a.bottom() - (degrees - m_degFrom) / (m_degTo - m_degFrom) * a.height()};
}

void BandView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QLocale locale;
    if (!m_band) {
        p.drawText(rect(), Qt::AlignCenter,
                   m_calculated ? tr("Nessuna fascia: il tubo non ha un cono divergente seguito "
                                     "da uno convergente")
                                : tr("Premere Calcola per vedere la fascia di giri"));
        return;
    }
    const QRectF a = plotArea();
    const PortTiming t = portTiming(m_sc, m_asp);
    // The band: the speeds where the plugging wave is back within the width of its target.
    const QPointF bandLow = at(m_band->lowRpm, m_degTo), bandHigh = at(m_band->highRpm, m_degFrom);
    p.fillRect(QRectF(bandLow, bandHigh), QColor(0xC8, 0xE6, 0xC9));

    // Grid and axes: every 1000 rpm, every 30 degrees.
    p.setPen(QPen(QColor(0xDD, 0xDD, 0xDD), 0));
    for (double n = std::ceil(m_rpmFrom / 1000) * 1000; n <= m_rpmTo; n += 1000)
        p.drawLine(at(n, m_degFrom), at(n, m_degTo));
    for (double g = m_degFrom; g <= m_degTo; g += 30)
        p.drawLine(at(m_rpmFrom, g), at(m_rpmTo, g));
    p.setPen(palette().color(QPalette::Text));
    p.drawRect(a);
    for (double n = std::ceil(m_rpmFrom / 1000) * 1000; n <= m_rpmTo; n += 1000)
        p.drawText(QRectF(at(n, m_degFrom) + QPointF(-40, 4), QSizeF(80, 18)), Qt::AlignCenter,
                   locale.toString(qRound(n)));
    for (double g = m_degFrom; g <= m_degTo; g += 30)
        p.drawText(QRectF(at(m_rpmFrom, g) + QPointF(-60, -9), QSizeF(54, 18)),
                   Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1\u00b0").arg(g));
    p.drawText(QRectF(a.left(), a.bottom() + 24, a.width(), 20), Qt::AlignCenter,
               tr("Giri al minuto"));
    p.save();
    p.translate(14, a.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-a.height() / 2, -10, a.height(), 20), Qt::AlignCenter,
               tr("Ritorno alla luce (gradi di manovella)"));
    p.restore();

    // The targets, the two waves, the design speed.
    const QColor suction(0x15, 0x65, 0xC0), plugging(0xC6, 0x28, 0x28);
    p.setClipRect(a);
    p.setPen(QPen(suction, 1, Qt::DashLine));
    p.drawLine(at(m_rpmFrom, t.to), at(m_rpmTo, t.to));
    p.setPen(QPen(plugging, 1, Qt::DashLine));
    p.drawLine(at(m_rpmFrom, t.tc), at(m_rpmTo, t.tc));
    const ReturnAngles lo = returnAngles(*m_lengths, m_sc, m_temp, m_rpmFrom);
    const ReturnAngles hi = returnAngles(*m_lengths, m_sc, m_temp, m_rpmTo);
    p.setPen(QPen(suction, 2));
    p.drawLine(at(m_rpmFrom, lo.suction), at(m_rpmTo, hi.suction));
    p.setPen(QPen(plugging, 2));
    p.drawLine(at(m_rpmFrom, lo.plugging), at(m_rpmTo, hi.plugging));
    p.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
    p.drawLine(at(m_rpm, m_degFrom), at(m_rpm, m_degTo));
    p.setClipping(false);

    // The legend, top left inside the plot.
    const QString lines[] = {
        tr("onda di aspirazione: ritorno e obiettivo TO %1\u00b0").arg(locale.toString(t.to)),
        tr("onda di tappo: ritorno e obiettivo TC %1\u00b0").arg(locale.toString(t.tc)),
        tr("fascia \u00b1%1\u00b0: %2 - %3 giri/min, accordato a %4")
            .arg(locale.toString(m_band->widthDegrees), locale.toString(qRound(m_band->lowRpm)),
                 locale.toString(qRound(m_band->highRpm)),
                 locale.toString(qRound(m_band->tunedRpm))),
        tr("regime di progetto %1 giri/min").arg(locale.toString(qRound(m_rpm)))};
    const QColor colours[] = {suction, plugging, QColor(0x2E, 0x7D, 0x32),
                              palette().color(QPalette::Text)};
    const int h = fontMetrics().height() + 2;
    for (int i = 0; i < 4; ++i) {
        const QPointF row(a.left() + 10, a.top() + 8 + i * h);
        p.fillRect(QRectF(row + QPointF(0, h / 2 - 2), QSizeF(18, 4)), colours[i]);
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QRectF(row + QPointF(26, 0), QSizeF(a.width() - 40, h)), Qt::AlignVCenter,
                   lines[i]);
    }
}

} // namespace velmorant
