#pragma once

#include <QGraphicsView>

namespace velmorant {

// A drawing to look at closely: the wheel zooms about the pointer, dragging pans, and fit()
// shows it whole.
class ZoomView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit ZoomView(QWidget *parent = nullptr);

    double zoom() const { return transform().m11(); }

public slots:
    void fit();
    void zoomIn() { zoomBy(1.25); }
    void zoomOut() { zoomBy(0.8); }

protected:
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void zoomBy(double factor);
    bool m_fitted = true; // follows the window's size until the user zooms
};

} // namespace velmorant
