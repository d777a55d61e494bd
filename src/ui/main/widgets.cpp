#include "widgets.h"

#include "fonts.h"
#include "twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace velmorant {

void fitToText(QLabel *label)
{
    // The designed box stays where it is; the text takes a smaller size of its own font until
    // it fits (a tenth of a point at a time, never under 5 points).
    QFont f = label->font();
    const double designed = f.pointSizeF();
    if (designed <= 0)
        return;
    double size = designed;
    auto needed = [&] { return QFontMetricsF(f).horizontalAdvance(label->text()); };
    while (needed() > label->contentsRect().width() && size > 5) {
        size -= 0.1;
        f.setPointSizeF(size);
    }
    if (size != designed)
        label->setFont(f);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

RuleLine::RuleLine(const QString &name, const QColor &colour, int thickness, QWidget *parent)
    : QWidget(parent), m_colour(colour)
{
    setObjectName(name);
    setFixedHeight(thickness);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RuleLine::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), m_colour);
}

void addEtchedRule(QWidget *parent, const QString &greyName, const QString &whiteName, int x1,
                   int x2, int y)
{
    // The white line lies under the grey one and shows one pixel below it.
    auto *white = new RuleLine(whiteName, QColor(0xFF, 0xFF, 0xFF), 2, parent);
    white->setGeometry(px(x1), px(y), px(x2 - x1), 2);
    auto *grey = new RuleLine(greyName, QColor(0x80, 0x80, 0x80), 1, parent);
    grey->setGeometry(px(x1), px(y), px(x2 - x1), 1);
}

int DesignFrame::captionHeight() const
{
    return fontMetrics().height();
}

void DesignFrame::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QColor shadow(0x80, 0x80, 0x80), light(0xFF, 0xFF, 0xFF);
    // The border's top line through the caption's middle; etched: grey, white one pixel in.
    const int top = title().isEmpty() ? 0 : captionHeight() / 2;
    const QRect outer(0, top, width() - 1, height() - top - 1);
    p.setPen(light);
    p.drawRect(outer.translated(1, 1).adjusted(0, 0, -1, -1));
    p.setPen(shadow);
    p.drawRect(outer.adjusted(0, 0, -1, -1));
    if (title().isEmpty())
        return;
    // The caption interrupts the line, with a little space on either side.
    constexpr int Indent = 6, Pad = 2;
    const int textWidth = fontMetrics().horizontalAdvance(title());
    const QRect captionRect(Indent, 0, textWidth + 2 * Pad, captionHeight());
    p.fillRect(captionRect, palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    p.drawText(captionRect, Qt::AlignCenter, title());
}

QGroupBox *makeFrame(const QString &name, const QString &caption, QWidget *parent, int left,
                     int top, int width, int height)
{
    auto *frame = new DesignFrame(caption, parent);
    frame->setObjectName(name);
    frame->setGeometry(twipsRect(left, top, width, height));
    // The caption font is the frame's own; its children set theirs explicitly.
    frame->setFont(arialFont(7.8, true, true));
    return frame;
}

QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent, int left, int top,
                  int width, int height, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(sansSerifFont());
    label->setAlignment(alignment);
    label->setGeometry(twipsRect(left, top, width, height));
    return label;
}

} // namespace velmorant
