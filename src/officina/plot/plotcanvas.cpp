#include "plotcanvas.h"

#include <QPainter>
#include <QPainterPath>

namespace velmorant::plot {

PainterCanvas::PainterCanvas(QPainter &painter) : m_painter(painter) {}

void PainterCanvas::line(QPointF a, QPointF b, const QPen &pen)
{
    m_painter.setPen(pen);
    m_painter.drawLine(a, b);
}

void PainterCanvas::polyline(const QPolygonF &points, const QPen &pen)
{
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPolyline(points);
}

void PainterCanvas::fill(const QRectF &r, const QColor &colour)
{
    m_painter.fillRect(r, colour);
}

void PainterCanvas::frame(const QRectF &r, const QPen &pen)
{
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(r);
}

void PainterCanvas::circle(QPointF centre, double radius, const QPen &pen, const QBrush &brush)
{
    m_painter.setPen(pen);
    m_painter.setBrush(brush);
    m_painter.drawEllipse(centre, radius, radius);
    m_painter.setBrush(Qt::NoBrush);
}

void PainterCanvas::text(const QRectF &box, int align, const QString &s, const QColor &colour,
                         bool upwards)
{
    m_painter.setPen(colour);
    if (!upwards) {
        m_painter.drawText(box, align, s);
        return;
    }
    m_painter.save();
    m_painter.translate(box.center());
    m_painter.rotate(-90);
    m_painter.drawText(QRectF(-box.height() / 2, -box.width() / 2, box.height(), box.width()),
                       align, s);
    m_painter.restore();
}

void PainterCanvas::clip(const QRectF &r)
{
    m_painter.setClipRect(r);
}

void PainterCanvas::unclip()
{
    m_painter.setClipping(false);
}

QFont PainterCanvas::font() const
{
    return m_painter.font();
}

namespace {

QByteArray number(double v)
{
    return QByteArray::number(v, 'f', 2);
}

QByteArray colourOf(const QColor &c)
{
    return c.name(QColor::HexRgb).toLatin1();
}

QByteArray escaped(const QString &s)
{
    return s.toHtmlEscaped().toUtf8();
}

} // namespace

SvgCanvas::SvgCanvas(QSizeF size, const QFont &font) : m_size(size), m_font(font) {}

QByteArray SvgCanvas::stroke(const QPen &pen) const
{
    QByteArray s = " fill=\"none\" stroke=\"" + colourOf(pen.color()) + "\" stroke-width=\"" +
                   number(std::max(pen.widthF(), 1.0)) + '"';
    if (pen.color().alphaF() < 1)
        s += " stroke-opacity=\"" + number(pen.color().alphaF()) + '"';
    const double w = std::max(pen.widthF(), 1.0);
    switch (pen.style()) {
    case Qt::DashLine:
        s += " stroke-dasharray=\"" + number(4 * w) + ' ' + number(2 * w) + '"';
        break;
    case Qt::DotLine:
        s += " stroke-dasharray=\"" + number(w) + ' ' + number(2 * w) + '"';
        break;
    case Qt::DashDotLine:
        s += " stroke-dasharray=\"" + number(4 * w) + ' ' + number(2 * w) + ' ' + number(w) +
             ' ' + number(2 * w) + '"';
        break;
    default:
        break;
    }
    return s;
}

void SvgCanvas::element(const QByteArray &e)
{
    m_body += "  " + e + '\n';
}

void SvgCanvas::line(QPointF a, QPointF b, const QPen &pen)
{
    element("<line x1=\"" + number(a.x()) + "\" y1=\"" + number(a.y()) + "\" x2=\"" +
            number(b.x()) + "\" y2=\"" + number(b.y()) + '"' + stroke(pen) + "/>");
}

void SvgCanvas::polyline(const QPolygonF &points, const QPen &pen)
{
    QByteArray list;
    for (const QPointF &p : points)
        list += number(p.x()) + ',' + number(p.y()) + ' ';
    element("<polyline points=\"" + list.trimmed() + '"' + stroke(pen) +
            " stroke-linejoin=\"round\"/>");
}

void SvgCanvas::fill(const QRectF &r, const QColor &colour)
{
    element("<rect x=\"" + number(r.x()) + "\" y=\"" + number(r.y()) + "\" width=\"" +
            number(r.width()) + "\" height=\"" + number(r.height()) + "\" fill=\"" +
            colourOf(colour) + "\" fill-opacity=\"" + number(colour.alphaF()) + "\"/>");
}

void SvgCanvas::frame(const QRectF &r, const QPen &pen)
{
    element("<rect x=\"" + number(r.x()) + "\" y=\"" + number(r.y()) + "\" width=\"" +
            number(r.width()) + "\" height=\"" + number(r.height()) + '"' + stroke(pen) + "/>");
}

void SvgCanvas::circle(QPointF centre, double radius, const QPen &pen, const QBrush &brush)
{
    QByteArray e = "<circle cx=\"" + number(centre.x()) + "\" cy=\"" + number(centre.y()) +
                   "\" r=\"" + number(radius) + '"';
    e += pen.style() == Qt::NoPen ? QByteArray(" stroke=\"none\"") : stroke(pen);
    if (brush.style() != Qt::NoBrush)
        e.replace(" fill=\"none\"", "") += " fill=\"" + colourOf(brush.color()) + '"';
    else if (pen.style() == Qt::NoPen)
        e += " fill=\"none\"";
    element(e + "/>");
}

void SvgCanvas::text(const QRectF &box, int align, const QString &s, const QColor &colour,
                     bool upwards)
{
    const QFontMetricsF m(m_font);
    QByteArray anchor = "middle";
    double x = box.center().x();
    double along = box.width();
    if (upwards)
        along = box.height();
    if (align & Qt::AlignLeft) {
        anchor = "start";
        x = upwards ? box.center().x() : box.left();
    } else if (align & Qt::AlignRight) {
        anchor = "end";
        x = upwards ? box.center().x() : box.right();
    }
    Q_UNUSED(along)
    // The baseline so that the text stands as QPainter would put it.
    double y = box.center().y() + (m.ascent() - m.descent()) / 2;
    if (!upwards && (align & Qt::AlignTop))
        y = box.top() + m.ascent();
    else if (!upwards && (align & Qt::AlignBottom))
        y = box.bottom() - m.descent();
    QByteArray e = "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" text-anchor=\"" +
                   anchor + "\" fill=\"" + colourOf(colour) + '"';
    if (upwards) {
        const QPointF c = box.center();
        e = "<text x=\"" + number(c.x()) + "\" y=\"" + number(c.y() + (m.ascent() - m.descent()) / 2) +
            "\" text-anchor=\"middle\" fill=\"" + colourOf(colour) + "\" transform=\"rotate(-90 " +
            number(c.x()) + ' ' + number(c.y()) + ")\"";
    }
    element(e + '>' + escaped(s) + "</text>");
}

void SvgCanvas::clip(const QRectF &r)
{
    unclip();
    const QByteArray id = "c" + QByteArray::number(++m_clips);
    m_defs += "    <clipPath id=\"" + id + "\"><rect x=\"" + number(r.x()) + "\" y=\"" +
              number(r.y()) + "\" width=\"" + number(r.width()) + "\" height=\"" +
              number(r.height()) + "\"/></clipPath>\n";
    m_body += "  <g clip-path=\"url(#" + id + ")\">\n";
    m_clipped = true;
}

void SvgCanvas::unclip()
{
    if (m_clipped)
        m_body += "  </g>\n";
    m_clipped = false;
}

QByteArray SvgCanvas::document() const
{
    QByteArray family = escaped(m_font.family());
    const double size = m_font.pointSizeF() > 0 ? m_font.pointSizeF() * 96 / 72 : m_font.pixelSize();
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
                     number(m_size.width()) + "\" height=\"" + number(m_size.height()) +
                     "\" viewBox=\"0 0 " + number(m_size.width()) + ' ' +
                     number(m_size.height()) + "\" font-family=\"" + family +
                     ", sans-serif\" font-size=\"" + number(size) + "\">\n";
    if (!m_defs.isEmpty())
        out += "  <defs>\n" + m_defs + "  </defs>\n";
    out += "  <rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    out += m_body;
    if (m_clipped)
        out += "  </g>\n";
    return out + "</svg>\n";
}

} // namespace velmorant::plot
