#include "chamberview.h"

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

void ChamberView::setPipe(const Pipe &pipe, double sheet)
{
    QGraphicsScene *s = scene();
    s->clear();
    const QLocale locale;
    const int n = int(pipe.sections.size());
    // Stations along the axis (y down on the scene); a section of no length draws nothing.
    QList<double> x{0};
    double widest = 0;
    for (const PipeSection &sec : pipe.sections) {
        x << x.last() + std::max(0.0, sec.length);
        widest = std::max({widest, sec.dIn / 2 + sheet, sec.dOut / 2 + sheet});
    }
    if (n == 0)
        return;

    QPainterPath inside, outside;
    for (double side : {-1.0, 1.0}) {
        inside.moveTo(x[0], side * pipe.sections[0].dIn / 2);
        outside.moveTo(x[0], side * (pipe.sections[0].dIn / 2 + sheet));
        for (int k = 0; k < n; ++k) {
            const PipeSection &sec = pipe.sections[k];
            inside.lineTo(x[k], side * sec.dIn / 2);
            inside.lineTo(x[k + 1], side * sec.dOut / 2);
            outside.lineTo(x[k], side * (sec.dIn / 2 + sheet));
            outside.lineTo(x[k + 1], side * (sec.dOut / 2 + sheet));
        }
    }
    const QPen wall(Qt::black, 0);
    if (sheet > 0)
        s->addPath(outside, QPen(QColor(0x80, 0x80, 0x80), 0));
    s->addPath(inside, wall);
    for (int k = 0; k <= n; ++k) {
        const double r = std::max(pipe.sections[std::min(k, n - 1)].dIn,
                                  pipe.sections[std::max(k - 1, 0)].dOut) /
                         2;
        s->addLine(x[k], -r, x[k], r, wall);
    }
    s->addLine(-20, 0, x[n] + 20, 0, QPen(Qt::black, 0, Qt::DashDotLine));

    // Lengths below, diameters above: each section by its workshop name, to the millimetre.
    const double below = widest + 25, above = -widest - 18;
    const QPen dim(QColor(0x30, 0x30, 0xA0), 0);
    for (int k = 0; k < n; ++k) {
        const PipeSection &sec = pipe.sections[k];
        s->addLine(x[k], widest + 5, x[k], below + 5, dim);
        const QString name = sectionName(pipe, k);
        if (sec.length > 0)
            caption(s, QStringLiteral("L%1 %2").arg(name, locale.toString(sec.length, 'f', 1)),
                    QPointF((x[k] + x[k + 1]) / 2, k % 2 ? below + 9 : below - 9));
        // A straight section carries its diameter; a joint of two cones carries the joint's.
        if (sec.kind() == PipeSection::Kind::Straight)
            caption(s, QStringLiteral("\u00d8 %1").arg(locale.toString(sec.dIn, 'f', 1)),
                    QPointF((x[k] + x[k + 1]) / 2, above));
        else if (k > 0 && pipe.sections[k - 1].kind() != PipeSection::Kind::Straight)
            caption(s, QStringLiteral("\u00d8 %1").arg(locale.toString(sec.dIn, 'f', 1)),
                    QPointF(x[k], above - 14));
    }
    s->addLine(x[n], widest + 5, x[n], below + 5, dim);
    s->addLine(x[0], below, x[n], below, dim);
    // Where the waves turn back.
    const QPen mark(QColor(0xC6, 0x28, 0x28), 0, Qt::DashLine);
    for (const ReferencePoint &r : pipe.referencePoints) {
        s->addLine(r.x, -widest - 4, r.x, widest + 4, mark);
        caption(s, r.name, QPointF(r.x, -widest - 40));
    }
    // A 100 mm bar: the drawing is to scale, whatever the zoom.
    const double barY = below + 36;
    s->addLine(x[0], barY, x[0] + 100, barY, QPen(Qt::black, 0));
    for (int t = 0; t <= 10; ++t)
        s->addLine(x[0] + t * 10, barY - (t % 5 ? 2 : 4), x[0] + t * 10, barY, QPen(Qt::black, 0));
    caption(s, tr("100 mm"), QPointF(x[0] + 50, barY + 8));
    caption(s, tr("Lunghezza totale %1 mm").arg(locale.toString(pipe.length(), 'f', 1)),
            QPointF(x[n] / 2, barY + 22));
    fit();
}

} // namespace velmorant
