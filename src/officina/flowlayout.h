#pragma once

#include <QLayout>
#include <QList>

namespace velmorant {

// Items side by side, wrapped onto a new row where the width runs out: the Onde tab's controls
// stay in view from a 125 % laptop screen to a wide monitor.
class FlowLayout : public QLayout
{
public:
    explicit FlowLayout(QWidget *parent = nullptr, int spacing = 6);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override { return int(m_items.size()); }
    QLayoutItem *itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return arrange(QRect(0, 0, width, 0), false); }
    QSize minimumSize() const override;
    QSize sizeHint() const override { return minimumSize(); }
    void setGeometry(const QRect &rect) override;
    // The next item starts a row of its own.
    void addBreak();

private:
    int arrange(const QRect &rect, bool place) const;

    QList<QLayoutItem *> m_items;
    QList<int> m_breaks; // indexes of items that start a row
    int m_spacing;
};

} // namespace velmorant
