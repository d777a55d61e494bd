#include "sheetsview.h"

#include "sheetlayout.h"

#include <QFontMetricsF>
#include <QGraphicsSimpleTextItem>

#include <cmath>

namespace velmorant {

SheetsView::SheetsView(QWidget *parent) : ZoomView(parent)
{
    setObjectName(QStringLiteral("viewLamiere"));
}

void SheetsView::setPlan(const WorkshopPlan &plan)
{
    QGraphicsScene *s = scene();
    s->clear();
    const SheetLayout layout = layoutSheets(plan);
    // Drawing coordinates have y up; the scene's run down.
    const QTransform flip(1, 0, 0, -1, 0, 0);
    for (int i = 0; i < layout.sheets.size(); ++i) {
        const QRectF sheet = flip.mapRect(layout.sheets[i]);
        s->addRect(sheet, QPen(QColor(0x70, 0x70, 0x70), 0), QColor(0xE4, 0xE8, 0xEC));
        auto *title = s->addSimpleText(tr("Foglio %1").arg(layout.sheetNumbers[i]));
        title->setFlag(QGraphicsItem::ItemIgnoresTransformations);
        title->setPos(sheet.left(), sheet.top() - 4);
        title->setTransform(QTransform::fromTranslate(0, -title->boundingRect().height()));
    }
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(100);
    const QFontMetricsF metrics(font);
    for (const SheetLayout::Item &item : layout.items) {
        const Part &p = plan.parts[item.part];
        const QTransform toScene = item.toDrawing * flip;
        auto *outline =
            s->addPath(toScene.map(pathOf(p.cut)), QPen(Qt::black, 0), QColor(0xFF, 0xFF, 0xFF));
        outline->setToolTip(tr("Pezzo %1 (%2)").arg(p.name, p.segmentName));
        for (const Stroke &m : p.marks) {
            QPen pen(QColor(0, 0, 0xC0), 0, m.dashed ? Qt::DashLine : Qt::SolidLine);
            s->addLine(QLineF(toScene.map(m.a), toScene.map(m.b)), pen);
        }
        // Labels at their size on the metal, upright.
        double angle =
            p.label.angle + std::atan2(item.toDrawing.m12(), item.toDrawing.m11()) * 180 / M_PI;
        const bool turned = upsideDown(angle);
        angle += turned ? 180 : 0;
        for (const LabelLine &line : labelLines(p.label, turned)) {
            auto *text = s->addSimpleText(line.text, font);
            text->setBrush(QColor(0, 0x60, 0));
            const QPointF at = toScene.map(line.baselineCentre);
            text->setTransform(QTransform::fromTranslate(-metrics.horizontalAdvance(line.text) / 2,
                                                         -metrics.ascent()) *
                               QTransform::fromScale(p.label.em / 100, p.label.em / 100) *
                               QTransform().rotate(-angle) *
                               QTransform::fromTranslate(at.x(), at.y()));
        }
    }
    fit();
}

} // namespace velmorant
