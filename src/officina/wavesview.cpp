#include "wavesview.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace velmorant {

namespace {

const QColor Port(0x15, 0x65, 0xC0), Probe(0x2E, 0x7D, 0x32), Measured(0xC6, 0x28, 0x28);
const QColor Charging(0x15, 0x65, 0xC0), Delivery(0xEF, 0x6C, 0x00);
const QColor BandShade(0xC8, 0xE6, 0xC9);

} // namespace

WavesView::WavesView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("viewOnde"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMinimumHeight(420);
}

void WavesView::setNote(const QString &note)
{
    m_note = note;
    update();
}

void WavesView::setPlot(const WavePlot &plot)
{
    m_plot = plot;
    m_note.clear();
    // Pressure from the lowest to the highest of everything drawn above, to a tenth of a bar.
    double lo = plot.ambientBar, hi = plot.ambientBar;
    auto take = [&](const QList<waves::SpeedResult> &list) {
        if (plot.shown < list.size())
            for (const waves::Trace &t : list[plot.shown].traces)
                for (double v : t.p) {
                    lo = std::min(lo, v / 1e5);
                    hi = std::max(hi, v / 1e5);
                }
    };
    take(plot.speeds);
    take(plot.compared);
    for (const auto &[angle, bar] : plot.measured) {
        lo = std::min(lo, bar);
        hi = std::max(hi, bar);
    }
    m_barFrom = std::floor(lo * 10) / 10;
    m_barTo = std::ceil(hi * 10) / 10 + 0.1;
    // Speeds, with half a step of room; a single speed gets 500 rpm either side.
    m_rpmFrom = plot.speeds.isEmpty() ? 0 : plot.speeds.first().rpm;
    m_rpmTo = plot.speeds.isEmpty() ? 1 : plot.speeds.last().rpm;
    if (m_rpmTo - m_rpmFrom < 1) {
        m_rpmFrom -= 500;
        m_rpmTo += 500;
    }
    m_ratioTo = 1.2;
    for (const auto *list : {&plot.speeds, &plot.compared})
        for (const waves::SpeedResult &r : *list)
            m_ratioTo = std::max(m_ratioTo, std::ceil(r.deliveryRatio * 5 + 0.5) / 5);
    update();
}

QRectF WavesView::traceArea() const
{
    const QRectF r = QRectF(rect()).adjusted(70, 20, -20, 0);
    return QRectF(r.left(), r.top(), r.width(), r.height() * 0.55 - 45);
}

QRectF WavesView::speedArea() const
{
    const QRectF r = QRectF(rect()).adjusted(70, 0, -20, -45);
    const double top = rect().height() * 0.55 + 25;
    return QRectF(r.left(), top, r.width(), r.bottom() - top);
}

QPointF WavesView::traceAt(double degrees, double bar) const
{
    const QRectF a = traceArea();
    return {a.left() + degrees / 360 * a.width(),
            a.bottom() - (bar - m_barFrom) / (m_barTo - m_barFrom) * a.height()};
}

QPointF WavesView::speedAt(double rpm, double ratio) const
{
    const QRectF a = speedArea();
    return {a.left() + (rpm - m_rpmFrom) / (m_rpmTo - m_rpmFrom) * a.width(),
            a.bottom() - ratio / m_ratioTo * a.height()};
}

void WavesView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBackground(palette().color(QPalette::Base));
    if (m_plot.speeds.isEmpty() || !m_note.isEmpty()) {
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                   m_note.isEmpty() ? tr("Premere Calcola onde per simulare il tubo sul motore")
                                    : m_note);
        return;
    }
    paintTraces(p);
    paintSpeeds(p);
}

namespace {

// The legend in a top corner of `area`, on a veil of the background so that the curves under
// it do not hide the words.
void legend(QPainter &p, const QRectF &area, const QStringList &lines, const QList<QPen> &pens,
            bool left)
{
    const int h = p.fontMetrics().height() + 2;
    int widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, p.fontMetrics().horizontalAdvance(line));
    const double width = widest + 40;
    const double x = left ? area.left() + 6 : area.right() - width - 6;
    const QColor text = p.pen().color();
    QColor veil = p.background().color();
    veil.setAlpha(210);
    p.fillRect(QRectF(x - 3, area.top() + 3, width + 6, lines.size() * h + 6), veil);
    for (int i = 0; i < lines.size(); ++i) {
        const QPointF row(x, area.top() + 6 + i * h);
        p.setPen(pens[i]);
        p.drawLine(row + QPointF(0, h / 2.0), row + QPointF(22, h / 2.0));
        p.setPen(text);
        p.drawText(QRectF(row + QPointF(28, 0), QSizeF(widest + 8, h)), Qt::AlignVCenter, lines[i]);
    }
}

} // namespace

void WavesView::paintTraces(QPainter &p)
{
    const QLocale locale;
    const QRectF a = traceArea();
    const QColor text = palette().color(QPalette::Text);
    const waves::SpeedResult &r = m_plot.speeds.value(m_plot.shown);
    // Grid every 30 degrees and every tenth (or half) of a bar.
    const double barStep =
        m_barTo - m_barFrom > 2 ? 0.5 : 0.1 * std::ceil((m_barTo - m_barFrom) / 1.2);
    p.setPen(QPen(QColor(0xDD, 0xDD, 0xDD), 0));
    for (int g = 0; g <= 360; g += 30)
        p.drawLine(traceAt(g, m_barFrom), traceAt(g, m_barTo));
    for (double b = std::ceil(m_barFrom / barStep) * barStep; b <= m_barTo + 1e-9; b += barStep)
        p.drawLine(traceAt(0, b), traceAt(360, b));
    p.setPen(text);
    p.drawRect(a);
    for (int g = 0; g <= 360; g += 30)
        p.drawText(QRectF(traceAt(g, m_barFrom) + QPointF(-30, 2), QSizeF(60, 16)), Qt::AlignCenter,
                   QStringLiteral("%1\u00b0").arg(g));
    for (double b = std::ceil(m_barFrom / barStep) * barStep; b <= m_barTo + 1e-9; b += barStep)
        p.drawText(QRectF(traceAt(0, b) + QPointF(-64, -8), QSizeF(58, 16)),
                   Qt::AlignRight | Qt::AlignVCenter, locale.toString(b, 'f', 1));
    p.save();
    p.translate(14, a.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-a.height() / 2, -10, a.height(), 20), Qt::AlignCenter,
               tr("Pressione (bar)"));
    p.restore();
    p.drawText(QRectF(a.left(), a.bottom() + 18, a.width(), 18), Qt::AlignCenter,
               tr("Angolo di manovella dal PMS, a %1 giri/min (%2 cicli)")
                   .arg(locale.toString(qRound(r.rpm)))
                   .arg(r.cycles));

    p.setClipRect(a);
    // The ports' timing and the ambient pressure.
    const std::pair<double, const char *> marks[] = {{m_plot.timing.eo, "EO"},
                                                     {m_plot.timing.to, "TO"},
                                                     {m_plot.timing.tc, "TC"},
                                                     {m_plot.timing.ec, "EC"}};
    for (const auto &[angle, name] : marks) {
        p.setPen(QPen(QColor(0x75, 0x75, 0x75), 1, Qt::DashLine));
        p.drawLine(traceAt(angle, m_barFrom), traceAt(angle, m_barTo));
        p.setPen(text);
        p.drawText(traceAt(angle, m_barTo) + QPointF(3, 14), QLatin1String(name));
    }
    p.setPen(QPen(QColor(0x75, 0x75, 0x75), 1, Qt::DotLine));
    p.drawLine(traceAt(0, m_plot.ambientBar), traceAt(360, m_plot.ambientBar));

    auto curve = [&](const std::vector<double> &bars, const QPen &pen) {
        QPainterPath path;
        for (int k = 0; k < int(bars.size()); ++k) {
            const QPointF at = traceAt(k * 0.5, bars[k] / 1e5);
            k == 0 ? path.moveTo(at) : path.lineTo(at);
        }
        p.strokePath(path, pen);
    };
    QStringList lines;
    QList<QPen> pens;
    for (int s = 0; s < r.traces.size(); ++s) {
        const QPen pen(s == 0 ? Port : Probe, 2);
        curve(r.traces[s].p, pen);
        lines << (s == 0 ? tr("alla luce")
                         : tr("a %1 mm dalla luce").arg(locale.toString(r.traces[s].x)));
        pens << pen;
    }
    if (m_plot.shown < m_plot.compared.size()) {
        const waves::SpeedResult &c = m_plot.compared[m_plot.shown];
        for (int s = 0; s < c.traces.size(); ++s) {
            const QPen pen(s == 0 ? Port : Probe, 1.5, Qt::DashLine);
            curve(c.traces[s].p, pen);
            lines << (s == 0 ? tr("%1, alla luce") : tr("%1, a %2 mm"))
                         .arg(m_plot.comparedName, locale.toString(c.traces[s].x));
            pens << pen;
        }
    }
    if (!m_plot.measured.isEmpty()) {
        p.setPen(Qt::NoPen);
        p.setBrush(Measured);
        for (const auto &[angle, bar] : m_plot.measured)
            p.drawEllipse(traceAt(angle, bar), 2, 2);
        p.setBrush(Qt::NoBrush);
        lines << tr("traccia misurata");
        pens << QPen(Measured, 3);
    }
    lines << tr("ambiente");
    pens << QPen(QColor(0x75, 0x75, 0x75), 1, Qt::DotLine);
    p.setClipping(false);
    p.setPen(text);
    legend(p, a, lines, pens, true);
}

void WavesView::paintSpeeds(QPainter &p)
{
    const QLocale locale;
    const QRectF a = speedArea();
    const QColor text = palette().color(QPalette::Text);
    if (m_plot.band) {
        const QPointF lo = speedAt(std::max(m_plot.band->lowRpm, m_rpmFrom), m_ratioTo);
        const QPointF hi = speedAt(std::min(m_plot.band->highRpm, m_rpmTo), 0);
        if (hi.x() > lo.x())
            p.fillRect(QRectF(lo, hi), BandShade);
    }
    const double rpmStep = m_rpmTo - m_rpmFrom > 6000   ? 2000
                           : m_rpmTo - m_rpmFrom > 2500 ? 1000
                                                        : 500;
    p.setPen(QPen(QColor(0xDD, 0xDD, 0xDD), 0));
    for (double n = std::ceil(m_rpmFrom / rpmStep) * rpmStep; n <= m_rpmTo; n += rpmStep)
        p.drawLine(speedAt(n, 0), speedAt(n, m_ratioTo));
    for (double v = 0.2; v < m_ratioTo + 1e-9; v += 0.2)
        p.drawLine(speedAt(m_rpmFrom, v), speedAt(m_rpmTo, v));
    p.setPen(text);
    p.drawRect(a);
    for (double n = std::ceil(m_rpmFrom / rpmStep) * rpmStep; n <= m_rpmTo; n += rpmStep)
        p.drawText(QRectF(speedAt(n, 0) + QPointF(-40, 2), QSizeF(80, 16)), Qt::AlignCenter,
                   locale.toString(qRound(n)));
    for (double v = 0; v < m_ratioTo + 1e-9; v += 0.2)
        p.drawText(QRectF(speedAt(m_rpmFrom, v) + QPointF(-64, -8), QSizeF(58, 16)),
                   Qt::AlignRight | Qt::AlignVCenter, locale.toString(v, 'f', 1));
    p.drawText(QRectF(a.left(), a.bottom() + 18, a.width(), 18), Qt::AlignCenter,
               tr("Giri al minuto"));

    p.setClipRect(a.adjusted(-4, -4, 4, 4));
    p.setPen(QPen(text, 1, Qt::DotLine));
    p.drawLine(speedAt(m_plot.designRpm, 0), speedAt(m_plot.designRpm, m_ratioTo));
    auto curve = [&](const QList<waves::SpeedResult> &list, bool charging, const QPen &pen) {
        QPainterPath path;
        for (int k = 0; k < list.size(); ++k) {
            const QPointF at =
                speedAt(list[k].rpm, charging ? list[k].chargingEfficiency : list[k].deliveryRatio);
            k == 0 ? path.moveTo(at) : path.lineTo(at);
            path.addEllipse(at, 2.5, 2.5);
            path.moveTo(at);
        }
        p.strokePath(path, pen);
    };
    QStringList lines{tr("rendimento di carica"), tr("rapporto di erogazione")};
    QList<QPen> pens{QPen(Charging, 2), QPen(Delivery, 2)};
    curve(m_plot.speeds, true, pens[0]);
    curve(m_plot.speeds, false, pens[1]);
    if (!m_plot.compared.isEmpty()) {
        pens << QPen(Charging, 1.5, Qt::DashLine) << QPen(Delivery, 1.5, Qt::DashLine);
        lines << tr("%1: rendimento di carica").arg(m_plot.comparedName)
              << tr("%1: rapporto di erogazione").arg(m_plot.comparedName);
        curve(m_plot.compared, true, pens[2]);
        curve(m_plot.compared, false, pens[3]);
    }
    if (m_plot.band) {
        lines << tr("fascia del primo dimensionamento %1 - %2 giri/min")
                     .arg(locale.toString(qRound(m_plot.band->lowRpm)),
                          locale.toString(qRound(m_plot.band->highRpm)));
        pens << QPen(BandShade, 6);
    }
    p.setClipping(false);
    p.setPen(text);
    legend(p, a, lines, pens, false);
}

} // namespace velmorant
