#include "sketchview.h"

#include "fonts.h"
#include "twips.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

namespace velmorant {

SketchView::SketchView(QWidget *frame) : QWidget(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("sketchView"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, frame->width(), frame->height());

    for (std::size_t i = 0; i < SketchCaptionCount; ++i) {
        const SketchElementInfo &info = sketchElements()[FirstCaption + i];
        auto *label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(info.name));
        label->setFont(sansSerifFont());
        label->setMargin(0);
        label->setIndent(0);
        const bool isDiv = FirstCaption + i == sk::txtQDiv;
        label->setAlignment(isDiv ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignHCenter | Qt::AlignTop);
        label->hide();
        m_captions[i] = label;
    }
}

double SketchView::frameWidth() const
{
    return twips(m_frame->width());
}

float SketchView::captionWidth(const QString &text)
{
    return float(QFontMetrics(sansSerifFont()).horizontalAdvance(text) * TwipsPerPixel);
}

void SketchView::setCaptionTexts(const std::array<QString, SketchCaptionCount> &texts)
{
    for (std::size_t i = 0; i < SketchCaptionCount; ++i)
        m_captions[i]->setText(texts[i]);
}

void SketchView::showSketch(const SketchGeometry &geometry)
{
    m_geometry = geometry;
    std::array<float, SketchCaptionCount> widths{};
    for (std::size_t i = 0; i < SketchCaptionCount; ++i)
        widths[i] = captionWidth(m_captions[i]->text());
    placeCaptions(m_geometry, widths);
    for (std::size_t i = 0; i < SketchCaptionCount; ++i) {
        const SketchCoords &c = m_geometry.elements[FirstCaption + i];
        m_captions[i]->setGeometry(twipsRect(c.a, c.b, c.c, c.d));
        m_captions[i]->show();
    }
    m_shown = true;
    update();
}

void SketchView::hideSketch()
{
    for (QLabel *label : m_captions)
        label->hide();
    m_shown = false;
    update();
}

void SketchView::paintEvent(QPaintEvent *)
{
    if (!m_shown)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.scale(1.0 / TwipsPerPixel, 1.0 / TwipsPerPixel);

    const QColor foreground = palette().color(QPalette::WindowText);
    for (std::size_t i = 0; i < SketchElementCount; ++i) {
        const SketchElementInfo &info = sketchElements()[i];
        if (info.kind == ElementKind::Caption)
            continue;
        const SketchPen &p = info.pen;
        // An inverting pen draws every pixel in the inverse of its colour.
        const QColor colour = p.foreground ? foreground
                              : p.inverted ? QColor::fromRgb(~p.rgb & 0xFFFFFFu)
                                           : QColor::fromRgb(p.rgb);
        QPen pen(colour, p.width, p.style == PenStyle::DashDot ? Qt::DashDotLine : Qt::SolidLine);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);

        const SketchCoords &c = m_geometry.elements[i];
        switch (info.kind) {
        case ElementKind::Line:
            painter.drawLine(QLineF(c.a, c.b, c.c, c.d));
            break;
        case ElementKind::Rectangle:
            painter.drawRect(QRectF(c.a, c.b, c.c, c.d));
            break;
        case ElementKind::Circle: {
            // The circle has the box's smaller side as diameter and is centred in the box.
            const double d = std::min(c.c, c.d);
            painter.drawEllipse(QRectF(c.a + (c.c - d) / 2, c.b + (c.d - d) / 2, d, d));
            break;
        }
        case ElementKind::Caption:
            break;
        }
    }
}

} // namespace velmorant
