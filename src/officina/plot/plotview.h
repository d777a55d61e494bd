#pragma once

#include "plotlayout.h"

#include <QWidget>

#include <functional>
#include <optional>

namespace velmorant {
class Platform;
}

namespace velmorant::plot {

// The workshop window's plot: axes with units and ticks, a legend clear of the curves, the
// value under the mouse, zoom (wheel, or a box drawn with Shift held) and pan (drag) with a
// way back (double click, or "Vista intera" in its menu), a click on a point reported, and
// the plot exported as PNG, SVG or PDF and its data as CSV.
class View : public QWidget
{
    Q_OBJECT

public:
    explicit View(const QLocale &locale, QWidget *parent = nullptr);

    // New data; the whole of it shown unless `keepWindow` and the view was zoomed.
    void setData(const Data &d, bool keepWindow = false);
    const Data &data() const { return m_data; }
    const Window &shownWindow() const { return m_window; }
    bool zoomed() const { return !(m_window == m_full); }
    void showAll();
    // Zoom by `factor` (above 1 closer) about the pixel `at`.
    void zoomBy(double factor, QPointF at);
    // Where a data point falls now, pixels of this widget.
    QPointF toPixel(double x, double y, bool rightAxis = false) const;
    Geometry currentGeometry() const;
    // What the mouse reads where it last stood ("alla luce: 123,5°, 1,234 bar"), empty off the
    // data.
    QString readout() const { return m_readout; }

    // Export through `platform`'s dialog, the file named after `name`; `check` says why a
    // chosen file may not be written (one the document reads), or nothing.
    using OutputCheck = std::function<std::optional<QString>(const QString &path)>;
    void setExport(Platform *platform, const QString &name, OutputCheck check = {});
    // Writes the plot (.png, .svg, .pdf) or its data (.csv) by the name's suffix through the
    // suite's atomic write; the reason when it cannot.
    std::optional<QString> exportTo(const QString &path) const;
    QByteArray csv() const;
    QByteArray svg() const;

public slots:
    void exportWithDialog();

signals:
    void pointClicked(int series, int index);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;

private:
    void render(Canvas &c, const QRectF &bounds) const;
    void updateReadout(QPointF at);
    // The nearest point of a series within `reach` pixels: series and index, or -1.
    std::pair<int, int> nearest(QPointF at, double reach, bool clickableOnly) const;

    QLocale m_locale;
    Data m_data;
    Window m_window, m_full;
    QString m_readout;
    QPointF m_hover;
    bool m_hovering = false;
    QPointF m_pressed, m_last;
    bool m_dragging = false, m_boxing = false;
    Platform *m_platform = nullptr;
    QString m_exportName;
    OutputCheck m_outputCheck;
};

} // namespace velmorant::plot
