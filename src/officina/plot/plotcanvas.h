#pragma once

#include <QBrush>
#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QPen>
#include <QPolygonF>
#include <QRectF>

class QPainter;

namespace velmorant::plot {

// Where a plot is drawn: the screen and raster or PDF files through QPainter, SVG as text of
// its own (the suite builds without Qt's SVG module). Coordinates in pixels, y downwards.
class Canvas
{
public:
    virtual ~Canvas() = default;
    virtual void line(QPointF a, QPointF b, const QPen &pen) = 0;
    virtual void polyline(const QPolygonF &points, const QPen &pen) = 0;
    virtual void fill(const QRectF &r, const QColor &colour) = 0;
    virtual void frame(const QRectF &r, const QPen &pen) = 0;
    virtual void circle(QPointF centre, double radius, const QPen &pen, const QBrush &brush) = 0;
    // Text in `box`, aligned by `align` (Qt::Alignment flags); turned a quarter to the left
    // (reading upwards) when `upwards`, about the box's centre.
    virtual void text(const QRectF &box, int align, const QString &s, const QColor &colour,
                      bool upwards = false) = 0;
    virtual void clip(const QRectF &r) = 0;
    virtual void unclip() = 0;
    virtual QFont font() const = 0;
    QFontMetricsF metrics() const { return QFontMetricsF(font()); }
};

class PainterCanvas : public Canvas
{
public:
    explicit PainterCanvas(QPainter &painter);
    void line(QPointF a, QPointF b, const QPen &pen) override;
    void polyline(const QPolygonF &points, const QPen &pen) override;
    void fill(const QRectF &r, const QColor &colour) override;
    void frame(const QRectF &r, const QPen &pen) override;
    void circle(QPointF centre, double radius, const QPen &pen, const QBrush &brush) override;
    void text(const QRectF &box, int align, const QString &s, const QColor &colour,
              bool upwards) override;
    void clip(const QRectF &r) override;
    void unclip() override;
    QFont font() const override;

private:
    QPainter &m_painter;
};

// A standalone SVG 1.1 document of `size` pixels, text in `font`.
class SvgCanvas : public Canvas
{
public:
    SvgCanvas(QSizeF size, const QFont &font);
    void line(QPointF a, QPointF b, const QPen &pen) override;
    void polyline(const QPolygonF &points, const QPen &pen) override;
    void fill(const QRectF &r, const QColor &colour) override;
    void frame(const QRectF &r, const QPen &pen) override;
    void circle(QPointF centre, double radius, const QPen &pen, const QBrush &brush) override;
    void text(const QRectF &box, int align, const QString &s, const QColor &colour,
              bool upwards) override;
    void clip(const QRectF &r) override;
    void unclip() override;
    QFont font() const override { return m_font; }
    QByteArray document() const;

private:
    QByteArray stroke(const QPen &pen) const;
    void element(const QByteArray &e);

    QSizeF m_size;
    QFont m_font;
    QByteArray m_defs, m_body;
    int m_clips = 0;
    bool m_clipped = false;
};

} // namespace velmorant::plot
