#include "chamberview.h"

#include "results.h"

#include <QGraphicsSimpleTextItem>
#include <QLocale>
#include <QPainterPath>

#include <algorithm>

namespace velmorant {

namespace {

QGraphicsSimpleTextItem *caption(QGraphicsScene *scene, const QString &text, QPointF at)
{
    // Readable at any zoom: the text keeps its size on screen, centred on its point.
    auto *item = scene->addSimpleText(text);
    item->setFlag(QGraphicsItem::ItemIgnoresTransformations);
    const QRectF b = item->boundingRect();
    item->setPos(at);
    item->setTransform(QTransform::fromTranslate(-b.width() / 2, -b.height() / 2));
    return item;
}

} // namespace

ChamberView::ChamberView(QWidget *parent) : ZoomView(parent)
{
    setObjectName(QStringLiteral("viewCamera"));
}

void ChamberView::setChamber(const ChamberDimensions &d, double sheet)
{
    QGraphicsScene *s = scene();
    s->clear();
    const QLocale locale;
    // Stations along the axis (y down on the scene); a segment of no length draws nothing.
    const double lengths[5] = {d.L1, d.L2, d.L3, d.L4, d.L5};
    const double ends[6] = {d.D1, d.D1, d.D2, d.D2, d.D3, d.D3};
    double x[6] = {0};
    for (int k = 0; k < 5; ++k)
        x[k + 1] = x[k] + std::max(0.0, lengths[k]);
    const double widest = std::max({d.D1, d.D2, d.D3}) / 2 + sheet;

    QPainterPath inside, outside;
    for (double side : {-1.0, 1.0}) {
        inside.moveTo(x[0], side * ends[0] / 2);
        outside.moveTo(x[0], side * (ends[0] / 2 + sheet));
        for (int k = 0; k < 5; ++k) {
            inside.lineTo(x[k + 1], side * ends[k + 1] / 2);
            outside.lineTo(x[k + 1], side * (ends[k + 1] / 2 + sheet));
        }
    }
    const QPen wall(Qt::black, 0);
    if (sheet > 0)
        s->addPath(outside, QPen(QColor(0x80, 0x80, 0x80), 0));
    s->addPath(inside, wall);
    for (int k = 0; k <= 5; ++k) {
        const double r = ends[k] / 2;
        s->addLine(x[k], -r, x[k], r, wall);
    }
    QPen axis(Qt::black, 0, Qt::DashDotLine);
    s->addLine(-20, 0, x[5] + 20, 0, axis);

    // Lengths below, diameters above: the window's captions, to the millimetre.
    const double below = widest + 25, above = -widest - 18;
    const QPen dim(QColor(0x30, 0x30, 0xA0), 0);
    for (int k = 0; k < 5; ++k) {
        s->addLine(x[k], widest + 5, x[k], below + 5, dim);
        if (lengths[k] > 0)
            caption(s, QStringLiteral("L%1 %2").arg(k + 1).arg(locale.toString(lengths[k], 'f', 1)),
                    QPointF((x[k] + x[k + 1]) / 2, below - 9));
    }
    s->addLine(x[5], widest + 5, x[5], below + 5, dim);
    s->addLine(x[0], below, x[5], below, dim);
    const std::pair<double, double> diameters[3] = {
        {(x[0] + x[1]) / 2, d.D1}, {(x[2] + x[3]) / 2, d.D2}, {(x[4] + x[5]) / 2, d.D3}};
    for (int k = 0; k < 3; ++k)
        caption(s,
                QStringLiteral("D%1 \u00d8 %2")
                    .arg(k + 1)
                    .arg(locale.toString(diameters[k].second, 'f', 1)),
                QPointF(diameters[k].first, above));
    // A 100 mm bar: the drawing is to scale, whatever the zoom.
    const double barY = below + 30;
    s->addLine(x[0], barY, x[0] + 100, barY, QPen(Qt::black, 0));
    for (int t = 0; t <= 10; ++t)
        s->addLine(x[0] + t * 10, barY - (t % 5 ? 2 : 4), x[0] + t * 10, barY, QPen(Qt::black, 0));
    caption(s, tr("100 mm"), QPointF(x[0] + 50, barY + 8));
    caption(s, tr("Lunghezza totale %1 mm").arg(locale.toString(d.LTOT, 'f', 1)),
            QPointF(x[5] / 2, barY + 22));
    fit();
}

} // namespace velmorant
