#include "methodsview.h"

#include <QGraphicsSimpleTextItem>
#include <QLocale>
#include <QPainterPath>

#include <algorithm>

namespace velmorant {

namespace {

void caption(QGraphicsScene *scene, const QString &text, QPointF at, bool centred = true)
{
    auto *item = scene->addSimpleText(text);
    item->setFlag(QGraphicsItem::ItemIgnoresTransformations);
    item->setPos(at);
    const QRectF b = item->boundingRect();
    item->setTransform(QTransform::fromTranslate(centred ? -b.width() / 2 : 0, -b.height() / 2));
}

QString methodTitle(const QString &method)
{
    if (method == QLatin1String("own"))
        return MethodsView::tr("primo dimensionamento");
    if (method == QLatin1String("blair2"))
        return MethodsView::tr("proporzioni di Blair, 2 stadi");
    if (method == QLatin1String("blair3"))
        return MethodsView::tr("proporzioni di Blair, 3 stadi");
    if (method == QLatin1String("jennings"))
        return MethodsView::tr("Jennings, un cono");
    if (method == QLatin1String("misurato"))
        return MethodsView::tr("tubo misurato");
    if (method == QLatin1String("ottimizzato"))
        return MethodsView::tr("tubo ottimizzato");
    return method;
}

} // namespace

MethodsView::MethodsView(QWidget *parent) : ZoomView(parent)
{
    setObjectName(QStringLiteral("viewMetodi"));
}

void MethodsView::setPipes(const QList<Pipe> &pipes)
{
    m_pipes = pipes;
    QGraphicsScene *s = scene();
    s->clear();
    const QLocale locale;
    double y = 0;
    double longest = 0;
    for (const Pipe &pipe : pipes)
        longest = std::max(longest, pipe.length());
    for (const Pipe &pipe : pipes) {
        double widest = 0;
        for (const PipeSection &sec : pipe.sections)
            widest = std::max({widest, sec.dIn, sec.dOut});
        y += widest / 2 + 40;
        // The inside walls, section by section; steps drawn as they are.
        QPainterPath walls;
        for (double side : {-1.0, 1.0}) {
            double x = 0;
            walls.moveTo(0, y + side * pipe.sections.value(0).dIn / 2);
            for (const PipeSection &sec : pipe.sections) {
                walls.lineTo(x, y + side * sec.dIn / 2);
                x += sec.length;
                walls.lineTo(x, y + side * sec.dOut / 2);
            }
        }
        s->addPath(walls, QPen(Qt::black, 0));
        double x = 0;
        for (const PipeSection &sec : pipe.sections) {
            s->addLine(x, y - sec.dIn / 2, x, y + sec.dIn / 2, QPen(QColor(0xA0, 0xA0, 0xA0), 0));
            x += sec.length;
        }
        s->addLine(-10, y, longest + 10, y, QPen(Qt::black, 0, Qt::DashDotLine));
        caption(s,
                QStringLiteral("%1  %2 mm")
                    .arg(methodTitle(pipe.method), locale.toString(pipe.length(), 'f', 1)),
                QPointF(0, y - widest / 2 - 14), false);
        const QPen mark(QColor(0xC6, 0x28, 0x28), 0);
        for (const ReferencePoint &r : pipe.referencePoints) {
            s->addLine(r.x, y - widest / 2 - 4, r.x, y + widest / 2 + 4, mark);
            caption(s, QStringLiteral("%1 %2").arg(r.name, locale.toString(r.x, 'f', 0)),
                    QPointF(r.x, y + widest / 2 + 12));
        }
        y += widest / 2 + 20;
    }
    // The port: every pipe starts there.
    s->addLine(0, 0, 0, y, QPen(QColor(0x30, 0x30, 0xA0), 0, Qt::DashLine));
    caption(s, tr("luce di scarico"), QPointF(0, -8), false);
    fit();
}

} // namespace velmorant
