#pragma once

#include "pipe.h"
#include "zoomview.h"

namespace velmorant {

// The field's methods side by side: each method's pipe to true scale, one above the other on
// one axis, the port at x = 0, every reference point marked and named.
class MethodsView : public ZoomView
{
    Q_OBJECT

public:
    explicit MethodsView(QWidget *parent = nullptr);
    void setPipes(const QList<Pipe> &pipes);
    const QList<Pipe> &pipes() const { return m_pipes; }

private:
    QList<Pipe> m_pipes;
};

} // namespace velmorant
