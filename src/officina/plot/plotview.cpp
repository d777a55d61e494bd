#include "plotview.h"

#include "platform.h"
#include "safefile.h"

#include <QBuffer>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QWheelEvent>

#include <cmath>

namespace velmorant::plot {

namespace {

constexpr double ClickReach = 12; // px from a point a click still takes it
constexpr double ReadReach = 30;  // px from a point the mouse still reads it

} // namespace

View::View(const QLocale &locale, QWidget *parent) : QWidget(parent), m_locale(locale)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMouseTracking(true);
    setMinimumSize(240, 110);
    setFocusPolicy(Qt::ClickFocus);
}

void View::setData(const Data &d, bool keepWindow)
{
    const bool keep = keepWindow && zoomed();
    m_data = d;
    m_full = fullWindow(d);
    if (!keep)
        m_window = m_full;
    m_readout.clear();
    update();
}

void View::showAll()
{
    m_window = m_full;
    update();
}

Geometry View::currentGeometry() const
{
    Geometry g = plot::layout(m_data, m_window, QRectF(rect()), QFontMetricsF(font()), m_locale);
    if (zoomed()) {
        // The legend stays where the whole view put it: it does not jump while zooming.
        const Geometry whole =
            plot::layout(m_data, m_full, QRectF(rect()), QFontMetricsF(font()), m_locale);
        g.legend = whole.legend;
        g.legendInside = whole.legendInside;
        g.legendColumns = whole.legendColumns;
    }
    return g;
}

QPointF View::toPixel(double x, double y, bool rightAxis) const
{
    return currentGeometry().toPixel(x, y, rightAxis);
}

void View::zoomBy(double factor, QPointF at)
{
    const Geometry g = currentGeometry();
    if (!(factor > 0) || !g.area.contains(at))
        return;
    const QPointF left = g.toData(at), right = g.toData(at, true);
    auto scale = [&](double &lo, double &hi, double centre) {
        lo = centre + (lo - centre) / factor;
        hi = centre + (hi - centre) / factor;
    };
    scale(m_window.x0, m_window.x1, left.x());
    scale(m_window.y0, m_window.y1, left.y());
    scale(m_window.r0, m_window.r1, right.y());
    update();
}

void View::render(Canvas &c, const QRectF &bounds) const
{
    const Geometry g = plot::layout(m_data, m_window, bounds, c.metrics(), m_locale);
    draw(c, m_data, g, m_locale, palette().color(QPalette::Text));
}

void View::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (m_data.empty() || !m_data.note.isEmpty()) {
        p.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                   m_data.note);
        return;
    }
    PainterCanvas canvas(p);
    render(canvas, QRectF(rect()));
    const Geometry g = currentGeometry();
    if (m_boxing) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
        QColor fill = palette().color(QPalette::Highlight);
        fill.setAlpha(40);
        p.setBrush(fill);
        p.drawRect(QRectF(m_pressed, m_last).normalized());
    }
    if (m_hovering && !m_readout.isEmpty() && g.area.contains(m_hover)) {
        // Where the mouse stands: a cross on the point read and its value beside it.
        const auto [s, i] = nearest(m_hover, ReadReach, false);
        if (s >= 0) {
            const QPointF at = g.toPixel(m_data.series[s].points[i].x(),
                                         m_data.series[s].points[i].y(),
                                         m_data.series[s].rightAxis);
            p.setPen(QPen(palette().color(QPalette::Text), 1));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(at, 5, 5);
            const QFontMetrics m = fontMetrics();
            const QRectF box = readoutBox(
                at, QSizeF(m.horizontalAdvance(m_readout) + 10, m.height() + 4), g.area,
                QRectF(rect()).adjusted(1, 1, -1, -1));
            p.fillRect(box, QColor(0xFF, 0xFF, 0xE1));
            p.drawRect(box);
            p.drawText(box, Qt::AlignCenter,
                       m.elidedText(m_readout, Qt::ElideMiddle, int(box.width()) - 6));
        }
    }
}

std::pair<int, int> View::nearest(QPointF at, double reach, bool clickableOnly) const
{
    const Geometry g = currentGeometry();
    int bestS = -1, bestI = -1;
    double best = reach * reach;
    for (int s = 0; s < m_data.series.size(); ++s) {
        const Series &series = m_data.series[s];
        if (clickableOnly && !series.clickable)
            continue;
        for (int i = 0; i < series.points.size(); ++i) {
            const QPointF p = g.toPixel(series.points[i].x(), series.points[i].y(),
                                        series.rightAxis);
            const double d2 = (p.x() - at.x()) * (p.x() - at.x()) +
                              (p.y() - at.y()) * (p.y() - at.y());
            if (d2 < best) {
                best = d2;
                bestS = s;
                bestI = i;
            }
        }
    }
    return {bestS, bestI};
}

void View::updateReadout(QPointF at)
{
    m_hover = at;
    m_readout.clear();
    const auto [s, i] = nearest(at, ReadReach, false);
    if (s >= 0) {
        const Series &series = m_data.series[s];
        const QPointF v = series.points[i];
        const Axis &y = series.rightAxis ? m_data.y2 : m_data.y;
        // Digits to a power of ten of a fine step: 0.0025 reads to thousandths, not 0.0001.
        auto decade = [](double step) {
            return step > 0 ? std::pow(10.0, std::floor(std::log10(step))) : step;
        };
        const double xStep = decade(niceStep(m_window.x1 - m_window.x0, 60));
        const double yStep = decade(series.rightAxis ? niceStep(m_window.r1 - m_window.r0, 600)
                                                     : niceStep(m_window.y1 - m_window.y0, 600));
        auto value = [&](double number, double step, const Axis &axis) {
            QString text = tickText(number, step, m_locale, axis.suffix);
            if (!axis.unit.isEmpty())
                text += QLatin1Char(' ') + axis.unit;
            return text;
        };
        m_readout = (series.name.isEmpty() ? QString() : series.name + QStringLiteral(": ")) +
                    value(v.x(), xStep, m_data.x) + QStringLiteral(", ") + value(v.y(), yStep, y);
    }
    update();
}

void View::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(e);
    m_pressed = m_last = e->position();
    m_boxing = e->modifiers() & Qt::ShiftModifier;
    m_dragging = !m_boxing;
}

void View::mouseMoveEvent(QMouseEvent *e)
{
    const QPointF at = e->position();
    m_hovering = true;
    if (m_dragging && (e->buttons() & Qt::LeftButton)) {
        // The data follows the mouse.
        const Geometry g = currentGeometry();
        const QPointF a = g.toData(m_last), b = g.toData(at);
        const QPointF ra = g.toData(m_last, true), rb = g.toData(at, true);
        m_window.x0 -= b.x() - a.x();
        m_window.x1 -= b.x() - a.x();
        m_window.y0 -= b.y() - a.y();
        m_window.y1 -= b.y() - a.y();
        m_window.r0 -= rb.y() - ra.y();
        m_window.r1 -= rb.y() - ra.y();
        m_last = at;
        update();
        return;
    }
    if (m_boxing) {
        m_last = at;
        update();
        return;
    }
    updateReadout(at);
}

void View::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(e);
    const QPointF at = e->position();
    const bool moved = (at - m_pressed).manhattanLength() > 4;
    if (m_boxing && moved) {
        const Geometry g = currentGeometry();
        const QRectF box = QRectF(m_pressed, at).normalized().intersected(g.area);
        if (box.width() > 8 && box.height() > 8) {
            const QPointF lo = g.toData(box.bottomLeft()), hi = g.toData(box.topRight());
            const QPointF rlo = g.toData(box.bottomLeft(), true),
                          rhi = g.toData(box.topRight(), true);
            m_window = Window{lo.x(), hi.x(), lo.y(), hi.y(), rlo.y(), rhi.y()};
        }
    } else if (!moved) {
        const auto [s, i] = nearest(at, ClickReach, true);
        if (s >= 0)
            emit pointClicked(s, i);
    }
    m_dragging = m_boxing = false;
    update();
}

void View::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        showAll();
}

void View::wheelEvent(QWheelEvent *e)
{
    const double steps = e->angleDelta().y() / 120.0;
    if (steps != 0)
        zoomBy(std::pow(1.25, steps), e->position());
    e->accept();
}

void View::leaveEvent(QEvent *e)
{
    m_hovering = false;
    m_readout.clear();
    update();
    QWidget::leaveEvent(e);
}

void View::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu menu(this);
    QAction *all = menu.addAction(tr("Vista intera"), this, &View::showAll);
    all->setEnabled(zoomed());
    QAction *out = menu.addAction(tr("Esporta grafico o dati..."), this, &View::exportWithDialog);
    out->setEnabled(m_platform && !m_data.empty());
    menu.exec(e->globalPos());
}

void View::setExport(Platform *platform, const QString &name, OutputCheck check)
{
    m_platform = platform;
    m_exportName = name;
    m_outputCheck = std::move(check);
}

void View::exportWithDialog()
{
    if (!m_platform || m_data.empty())
        return;
    const QString path = m_platform->exportFileName(
        this, tr("Esporta grafico"),
        tr("Immagine PNG (*.png)|*.png|Disegno SVG (*.svg)|*.svg|Documento PDF (*.pdf)|*.pdf|"
           "Dati CSV (*.csv)|*.csv"),
        m_exportName);
    if (path.isEmpty())
        return;
    if (m_outputCheck) {
        if (const std::optional<QString> refused = m_outputCheck(path)) {
            m_platform->showMessage(this, window()->windowTitle(),
                                    tr("Impossibile esportare in %1: %2.").arg(path, *refused),
                                    MessageIcon::Critical);
            return;
        }
    }
    if (const std::optional<QString> error = exportTo(path))
        m_platform->showMessage(this, window()->windowTitle(), *error, MessageIcon::Critical);
}

QByteArray View::csv() const
{
    // A row per point: the series, x and y in the axes' units, periods for decimals.
    auto quoted = [](QString t) {
        t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + t + QLatin1Char('"');
    };
    QString out = quoted(tr("serie")) + QLatin1Char(',') + quoted(m_data.x.title) +
                  QLatin1Char(',') + quoted(m_data.y.title);
    if (m_data.usesRightAxis())
        out += QLatin1Char(',') + quoted(m_data.y2.title);
    out += QLatin1Char('\n');
    for (const Series &s : m_data.series) {
        for (const QPointF &p : s.points) {
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                continue;
            out += quoted(s.name) + QLatin1Char(',') + QString::number(p.x(), 'g', 10) +
                   QLatin1Char(',');
            if (s.rightAxis)
                out += QLatin1Char(',') + QString::number(p.y(), 'g', 10);
            else
                out += QString::number(p.y(), 'g', 10) +
                       (m_data.usesRightAxis() ? QStringLiteral(",") : QString());
            out += QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

QByteArray View::svg() const
{
    const QSizeF size = QSizeF(std::max(width(), 640), std::max(height(), 400));
    SvgCanvas canvas(size, font());
    render(canvas, QRectF(QPointF(0, 0), size));
    return canvas.document();
}

std::optional<QString> View::exportTo(const QString &path) const
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    const QSize size(std::max(width(), 640), std::max(height(), 400));
    auto paintOn = [&](QPaintDevice &device) {
        QPainter p(&device);
        p.setRenderHint(QPainter::Antialiasing);
        p.setFont(font());
        PainterCanvas canvas(p);
        render(canvas, QRectF(QPointF(0, 0), QSizeF(size)));
    };
    if (suffix == QLatin1String("csv")) {
        bytes = csv();
    } else if (suffix == QLatin1String("svg")) {
        bytes = svg();
    } else if (suffix == QLatin1String("png")) {
        QImage image(size * 2, QImage::Format_RGB32);
        image.setDevicePixelRatio(2);
        image.fill(Qt::white);
        paintOn(image);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    } else if (suffix == QLatin1String("pdf")) {
        // A page the plot's own size, drawn at 96 pixels to the inch.
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(96);
        pdf.setCreator(QStringLiteral("Velmorant"));
        paintOn(pdf);
    } else {
        return tr("Indicare il formato con l'estensione del nome: .png, .svg, .pdf o .csv.");
    }
    if (const std::optional<QString> error = writeFileAtomically(path, bytes))
        return tr("Impossibile scrivere %1: %2.").arg(path, *error);
    return std::nullopt;
}

} // namespace velmorant::plot
