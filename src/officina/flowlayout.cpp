#include "flowlayout.h"

#include <QWidget>

#include <algorithm>

namespace velmorant {

FlowLayout::FlowLayout(QWidget *parent, int spacing) : QLayout(parent), m_spacing(spacing) {}

FlowLayout::~FlowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void FlowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
}

void FlowLayout::addBreak()
{
    m_breaks.append(int(m_items.size()));
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    return m_items.takeAt(index);
}

QSize FlowLayout::minimumSize() const
{
    // As narrow as the widest item; as high as the items need at that width.
    QSize size;
    for (const QLayoutItem *item : m_items)
        size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    size += QSize(m.left() + m.right(), m.top() + m.bottom());
    return size;
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::arrange(const QRect &rect, bool place) const
{
    const QMargins m = contentsMargins();
    const QRect area = rect.adjusted(m.left(), m.top(), -m.right(), -m.bottom());
    int x = area.x(), y = area.y(), rowHeight = 0;
    for (int i = 0; i < m_items.size(); ++i) {
        QLayoutItem *item = m_items[i];
        if (item->isEmpty())
            continue;
        const QSize hint = item->sizeHint();
        const bool forced = m_breaks.contains(i) && x > area.x();
        if (forced || (x + hint.width() > area.right() + 1 && x > area.x())) {
            x = area.x();
            y += rowHeight + m_spacing;
            rowHeight = 0;
        }
        if (place) {
            // Items of a row share its height and stand centred in it.
            item->setGeometry(QRect(QPoint(x, y), QSize(std::min(hint.width(), area.width()),
                                                        hint.height())));
        }
        x += hint.width() + m_spacing;
        rowHeight = std::max(rowHeight, hint.height());
    }
    return y + rowHeight - rect.y() + m.bottom();
}

} // namespace velmorant
