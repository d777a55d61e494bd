#include "portmapview.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace velmorant {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double BridgeMm = 3;

// The outline of a window with rounded corners, its top-left at (x, y), in mm.
QPainterPath outlinePath(double x, double y, const engine::Window &w)
{
    QPainterPath p;
    const double rt = w.topRadius, rb = w.bottomRadius, r = x + w.width, b = y + w.height;
    p.moveTo(x + rt, y);
    p.lineTo(r - rt, y);
    p.arcTo(r - 2 * rt, y, 2 * rt, 2 * rt, 90, -90);
    p.lineTo(r, b - rb);
    p.arcTo(r - 2 * rb, b - 2 * rb, 2 * rb, 2 * rb, 0, -90);
    p.lineTo(x + rb, b);
    p.arcTo(x, b - 2 * rb, 2 * rb, 2 * rb, 270, -90);
    p.lineTo(x, y + rt);
    p.arcTo(x, y, 2 * rt, 2 * rt, 180, -90);
    p.closeSubpath();
    return p;
}

// The arc a chord spans on the bore, mm.
double arcOf(double chord, double bore)
{
    return bore * std::asin(std::min(1.0, chord / bore));
}

} // namespace

void PortMapView::drawBars(QPainter &p, const QRectF &box,
                           const QList<std::pair<QString, double>> &bars) const
{
    if (bars.isEmpty())
        return;
    double most = 0;
    for (const auto &b : bars)
        most = std::max(most, b.second);
    const double row = box.height() / (bars.size() + 1), label = 110, value = 80;
    p.drawText(QRectF(box.left(), box.top(), box.width(), row), Qt::AlignLeft | Qt::AlignVCenter,
               tr("Area-tempo specifica a %1 giri/min (s mm\u00b2/cm\u00b3)")
                   .arg(m_locale.toString(m_rpm, 'f', 0)));
    for (int k = 0; k < bars.size(); ++k) {
        const double y = box.top() + (k + 1) * row;
        p.drawText(QRectF(box.left(), y, label, row), Qt::AlignLeft | Qt::AlignVCenter,
                   bars[k].first);
        const double length = most > 0 ? (box.width() - label - value) * bars[k].second / most : 0;
        p.fillRect(QRectF(box.left() + label, y + row * 0.2, length, row * 0.6),
                   k < 2 ? QColor(200, 80, 60) : QColor(60, 120, 200));
        p.drawText(QRectF(box.left() + label + length + 6, y, value, row),
                   Qt::AlignLeft | Qt::AlignVCenter, m_locale.toString(bars[k].second, 'f', 5));
    }
}

PortMapView::PortMapView(const QLocale &locale, QWidget *parent) : QWidget(parent), m_locale(locale)
{
    setObjectName(QStringLiteral("vistaLuci"));
    setMinimumSize(320, 180);
}

void PortMapView::setPorts(const std::optional<waves::PortGeometry> &ports,
                           const engine::Crank &crank, double boreMm)
{
    m_ports = ports;
    m_crank = crank;
    m_bore = boreMm;
    update();
}

void PortMapView::setAngle(double degrees)
{
    m_angle = degrees;
    update();
}

void PortMapView::setRpm(double rpm)
{
    m_rpm = rpm;
    update();
}

QList<std::pair<QString, double>> PortMapView::specificTimeAreas() const
{
    QList<std::pair<QString, double>> out;
    if (!m_ports || !(m_bore > 0) || !(m_rpm > 0) || !(m_crank.rod > m_crank.radius))
        return out;
    const double swept = Pi / 4 * m_bore * m_bore * 2 * m_crank.radius / 1000; // cm³
    const QString names[] = {tr("scarico"), tr("scarico libero"), tr("travasi"),
                             tr("aspirazione")};
    const QList<waves::GroupTimeArea> groups =
        waves::groupTimeAreas(*m_ports, m_crank, swept, m_rpm);
    for (int k = 0; k < groups.size(); ++k)
        out << std::pair{names[k], groups[k].specific};
    return out;
}

engine::PortAreaTable::Areas PortMapView::openAreas() const
{
    return m_ports && m_bore > 0 ? waves::portAreasAt(*m_ports, m_crank, m_angle)
                                 : engine::PortAreaTable::Areas();
}

QList<PortMapView::Drawn> PortMapView::layout() const
{
    QList<Drawn> out;
    if (!m_ports)
        return out;
    const double travel = m_crank.travel();
    auto window = [&](const waves::PortWindow &w) {
        const double top = m_crank.drop(w.opensDeg);
        return std::pair{top, engine::Window{w.widthMm, w.heightMm.value_or(travel - top),
                                             w.topRadiusMm, w.bottomRadiusMm}};
    };
    // The exhaust in the middle, the auxiliaries in pairs beside it.
    const auto [primaryTop, primary] = window(m_ports->exhaust.first());
    out << Drawn{0, primaryTop, primary, true};
    double reach = arcOf(primary.width, m_bore) / 2;
    for (int k = 1; k < m_ports->exhaust.size(); ++k) {
        const auto [top, w] = window(m_ports->exhaust[k]);
        const double half = arcOf(w.width, m_bore) / 2;
        for (int n = 0; n < m_ports->exhaust[k].count; n += 2) {
            reach += BridgeMm + half;
            out << Drawn{reach, top, w, true};
            if (n + 1 < m_ports->exhaust[k].count)
                out << Drawn{-reach, top, w, true};
            reach += half;
        }
    }
    // The transfers in pairs from a quarter turn on, a single one at the back.
    double side = std::max(reach + BridgeMm, Pi * m_bore / 4 - 10);
    for (const waves::PortWindow &t : m_ports->transfers) {
        const auto [top, w] = window(t);
        const double half = arcOf(w.width, m_bore) / 2;
        int left = t.count;
        for (; left >= 2; left -= 2) {
            out << Drawn{side + half, top, w, false} << Drawn{-(side + half), top, w, false};
            side += 2 * half + BridgeMm;
        }
        if (left == 1) // at the back: half at each edge of the map
            out << Drawn{Pi * m_bore / 2, top, w, false} << Drawn{-Pi * m_bore / 2, top, w, false};
    }
    return out;
}

void PortMapView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    if (!m_ports || !(m_bore > 0 && m_crank.rod > m_crank.radius)) {
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                   m_ports ? tr("La mappa vuole l'alesaggio e la corsa: premere Calcola per la "
                                "cilindrata del progetto, o scriverli nella prima pagina")
                           : tr("Nessuna luce per geometria"));
        return;
    }
    // mm to pixels: the whole circumference across, the whole travel down.
    const double around = Pi * m_bore, travel = m_crank.travel();
    const double margin = 24;
    const QList<std::pair<QString, double>> bars = specificTimeAreas();
    const double barsHeight = bars.isEmpty() ? 0 : 90;
    const double scale = std::min((width() - 2 * margin) / around,
                                  (height() - 2 * margin - 20 - barsHeight) / (travel * 1.05));
    const QPointF origin(width() / 2.0, margin);
    p.translate(origin);
    p.scale(scale, scale);
    QPen thin(palette().text().color(), 0);
    p.setPen(thin);
    p.drawRect(QRectF(-around / 2, 0, around, travel));
    p.setClipRect(QRectF(-around / 2, 0, around, travel * 1.05));
    const double crown = m_crank.drop(m_angle);
    for (const Drawn &d : layout()) {
        const QPainterPath outline =
            outlinePath(d.centreMm - d.outline.width / 2, d.topMm, d.outline);
        // Open above the crown: the window between its top edge and the crown.
        QPainterPath above;
        above.addRect(QRectF(-around / 2, 0, around, crown));
        p.fillPath(outline.intersected(above),
                   d.exhaust ? QColor(200, 80, 60) : QColor(60, 120, 200));
        p.drawPath(outline);
    }
    p.setPen(QPen(palette().text().color(), 0, Qt::DashLine));
    p.drawLine(QPointF(-around / 2, crown), QPointF(around / 2, crown));
    p.setClipping(false);
    p.resetTransform();
    p.setPen(palette().text().color());
    const engine::PortAreaTable::Areas a = openAreas();
    const QLocale &l = m_locale;
    drawBars(p, QRectF(margin, height() - 20 - barsHeight, width() - 2 * margin, barsHeight), bars);
    p.drawText(QRectF(0, height() - 20, width(), 20), Qt::AlignCenter,
               tr("%1\u00b0 dopo il PMS: scarico %2 mm\u00b2, travasi %3 mm\u00b2")
                   .arg(l.toString(m_angle, 'f', 0), l.toString(a.exhaust, 'f', 0),
                        l.toString(a.transfer, 'f', 0)));
}

} // namespace velmorant
