#include "zoomview.h"

#include <QWheelEvent>

#include <cmath>

namespace velmorant {

ZoomView::ZoomView(QWidget *parent) : QGraphicsView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setScene(new QGraphicsScene(this));
    setBackgroundBrush(QColor(0xF4, 0xF4, 0xF0));
}

void ZoomView::fit()
{
    if (scene()->items().isEmpty())
        return;
    fitInView(scene()->itemsBoundingRect().adjusted(-10, -10, 10, 10), Qt::KeepAspectRatio);
    m_fitted = true;
}

void ZoomView::zoomBy(double factor)
{
    // From a whole sheet down to a tenth of a millimetre, no further.
    const double next = zoom() * factor;
    if (next < 1e-3 || next > 200)
        return;
    scale(factor, factor);
    m_fitted = false;
}

void ZoomView::wheelEvent(QWheelEvent *event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0)
        zoomBy(std::pow(1.2, steps));
    event->accept();
}

void ZoomView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    if (m_fitted)
        fit();
}

} // namespace velmorant
