#include "routeview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace velmorant {

namespace {

constexpr double Pi = 3.14159265358979323846;
const QColor Steel(150, 160, 170);
const QColor Clash(211, 47, 47);

using route::Vec3;

QList<std::pair<Vec3, Vec3>> edgesOf(const route::Obstacle &o)
{
    QList<std::pair<Vec3, Vec3>> e;
    if (o.kind == route::Obstacle::Kind::Box) {
        const Vec3 &a = o.min, &b = o.max;
        const Vec3 c[8] = {{a.x, a.y, a.z}, {b.x, a.y, a.z}, {b.x, b.y, a.z}, {a.x, b.y, a.z},
                           {a.x, a.y, b.z}, {b.x, a.y, b.z}, {b.x, b.y, b.z}, {a.x, b.y, b.z}};
        for (int i = 0; i < 4; ++i)
            e << std::pair{c[i], c[(i + 1) % 4]} << std::pair{c[4 + i], c[4 + (i + 1) % 4]}
              << std::pair{c[i], c[4 + i]};
        return e;
    }
    const Vec3 axis = route::unit(o.b - o.a);
    Vec3 any = std::abs(axis.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    const Vec3 u = route::unit(route::cross(axis, any)), v = route::cross(axis, u);
    constexpr int N = 36;
    for (int k = 0; k < N; ++k) {
        const double f0 = 2 * Pi * k / N, f1 = 2 * Pi * (k + 1) / N;
        const Vec3 r0 = (u * std::cos(f0) + v * std::sin(f0)) * o.radius;
        const Vec3 r1 = (u * std::cos(f1) + v * std::sin(f1)) * o.radius;
        e << std::pair{o.a + r0, o.a + r1} << std::pair{o.b + r0, o.b + r1};
        if (k % 9 == 0)
            e << std::pair{o.a + r0, o.b + r0};
    }
    return e;
}

} // namespace

RouteView::RouteView(const QLocale &locale, QWidget *parent) : QWidget(parent), m_locale(locale)
{
    setObjectName(QStringLiteral("vistaPercorso"));
    setMinimumSize(240, 200);
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::white));
    setCursor(Qt::OpenHandCursor);
    m_empty = tr("Premere Calcola per vedere il tubo");
}

void RouteView::setScene(const Scene &scene)
{
    m_scene = scene;
    bool first = true;
    for (const route::Triangle &t : scene.body.triangles) {
        for (const Vec3 &v : {t.a, t.b, t.c}) {
            m_min = first ? v : Vec3{std::min(m_min.x, v.x), std::min(m_min.y, v.y), std::min(m_min.z, v.z)};
            m_max = first ? v : Vec3{std::max(m_max.x, v.x), std::max(m_max.y, v.y), std::max(m_max.z, v.z)};
            first = false;
        }
    }
    update();
}

void RouteView::clear(const QString &why)
{
    m_scene.reset();
    m_empty = why;
    update();
}

void RouteView::look(Look look)
{
    m_look = look;
    update();
}

RouteView::Axes RouteView::axes() const
{
    switch (m_look) {
    case Look::Side: return {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
    case Look::Top: return {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    case Look::Front: return {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}};
    case Look::Free: break;
    }
    // Turned about the vertical by the yaw, then tipped towards the viewer by the pitch.
    const double y = m_yaw * Pi / 180, p = m_pitch * Pi / 180;
    const Vec3 right{std::cos(y), std::sin(y), 0};
    const Vec3 level{-std::sin(y), std::cos(y), 0};
    const Vec3 up = Vec3{0, 0, 1} * std::cos(p) + level * std::sin(p);
    return {right, up, route::cross(right, up)};
}

QString RouteView::caption() const
{
    if (!m_scene)
        return m_empty;
    const Vec3 s = m_max - m_min;
    const QString seen = m_look == Look::Side    ? tr("di lato")
                         : m_look == Look::Top   ? tr("dall'alto")
                         : m_look == Look::Front ? tr("di fronte")
                                                 : tr("in prospettiva libera (trascinare per girare)");
    return tr("Ingombro %1 \u00d7 %2 \u00d7 %3 mm (x, y, z), visto %4")
        .arg(m_locale.toString(s.x, 'f', 0), m_locale.toString(s.y, 'f', 0),
             m_locale.toString(s.z, 'f', 0), seen);
}

void RouteView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(palette().color(QPalette::WindowText));
    QRectF said;
    painter.drawText(QRectF(rect()).adjusted(8, 4, -8, 0),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, caption(), &said);
    const QRectF area = QRectF(rect()).adjusted(12, said.bottom() + 12, -12, -36);
    if (!m_scene || m_scene->body.triangles.empty())
        return;
    const Axes ax = axes();
    auto flat = [&](const Vec3 &p) { return QPointF(route::dot(p, ax.right), -route::dot(p, ax.up)); };
    // One scale for every direction: the whole scene fitted to the area.
    double left = 0, right = 0, top = 0, bottom = 0;
    bool first = true;
    auto include = [&](const Vec3 &p) {
        const QPointF q = flat(p);
        left = first ? q.x() : std::min(left, q.x());
        right = first ? q.x() : std::max(right, q.x());
        top = first ? q.y() : std::min(top, q.y());
        bottom = first ? q.y() : std::max(bottom, q.y());
        first = false;
    };
    for (const route::Triangle &t : m_scene->body.triangles) {
        include(t.a);
        include(t.b);
        include(t.c);
    }
    QList<route::Obstacle> outlines = m_scene->obstacles;
    if (m_scene->target) {
        route::Obstacle box;
        box.min = m_scene->target->min;
        box.max = m_scene->target->max;
        outlines << box;
    }
    for (const route::Obstacle &o : outlines)
        for (const auto &[a, b] : edgesOf(o)) {
            include(a);
            include(b);
        }
    const QRectF bounds(QPointF(left, top), QPointF(right, bottom));
    const double span = std::max({bounds.width(), bounds.height(), 1.0});
    const double scale = std::min(area.width() / std::max(bounds.width(), span * 1e-3),
                                  area.height() / std::max(bounds.height(), span * 1e-3));
    const QPointF offset = area.center() - bounds.center() * scale;
    auto screen = [&](const Vec3 &p) { return flat(p) * scale + offset; };

    // Far triangles first; each shaded by how squarely it faces the viewer.
    const auto &tris = m_scene->body.triangles;
    std::vector<std::pair<double, std::size_t>> order(tris.size());
    for (std::size_t i = 0; i < tris.size(); ++i)
        order[i] = {route::dot((tris[i].a + tris[i].b + tris[i].c) * (1.0 / 3), ax.towards), i};
    std::sort(order.begin(), order.end());
    for (const auto &[depth, i] : order) {
        const route::Triangle &t = tris[i];
        const Vec3 n = route::cross(t.b - t.a, t.c - t.a);
        const double l = route::norm(n);
        const double light = l > 0 ? std::abs(route::dot(n, ax.towards)) / l : 0;
        const bool clash = i < m_scene->body.pieceOf.size() &&
                           m_scene->clashing.contains(m_scene->body.pieceOf[i]);
        const QColor base = clash ? Clash : Steel;
        const QColor c = QColor::fromRgbF(base.redF() * (0.45 + 0.55 * light),
                                          base.greenF() * (0.45 + 0.55 * light),
                                          base.blueF() * (0.45 + 0.55 * light));
        painter.setPen(QPen(c, 0.6));
        painter.setBrush(c);
        const QPointF poly[3] = {screen(t.a), screen(t.b), screen(t.c)};
        painter.drawPolygon(poly, 3);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    for (const route::Obstacle &o : m_scene->obstacles)
        for (const auto &[a, b] : edgesOf(o))
            painter.drawLine(screen(a), screen(b));
    if (m_scene->target) {
        route::Obstacle box;
        box.min = m_scene->target->min;
        box.max = m_scene->target->max;
        painter.setPen(QPen(QColor(46, 125, 50), 1, Qt::DashLine));
        for (const auto &[a, b] : edgesOf(box))
            painter.drawLine(screen(a), screen(b));
    }
    // The scale: a bar of a round length near a fifth of the width.
    const double wanted = area.width() / 5 / scale;
    const double step = std::pow(10.0, std::floor(std::log10(std::max(wanted, 1.0))));
    const double bar = wanted >= 5 * step ? 5 * step : wanted >= 2 * step ? 2 * step : step;
    const QPointF from(area.left(), rect().bottom() - 14);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
    painter.drawLine(from, from + QPointF(bar * scale, 0));
    painter.drawText(from + QPointF(bar * scale + 8, 5), tr("%1 mm").arg(m_locale.toString(bar, 'f', 0)));
}

void RouteView::mousePressEvent(QMouseEvent *e)
{
    m_drag = e->position().toPoint();
}

void RouteView::mouseMoveEvent(QMouseEvent *e)
{
    if (!(e->buttons() & Qt::LeftButton))
        return;
    const QPoint d = e->position().toPoint() - m_drag;
    m_drag = e->position().toPoint();
    if (m_look != Look::Free) {
        // Turning starts from the view shown.
        m_yaw = m_look == Look::Front ? 90 : 0;
        m_pitch = m_look == Look::Top ? 90 : 0;
        m_look = Look::Free;
    }
    m_yaw -= d.x() * 0.5;
    m_pitch = std::clamp(m_pitch + d.y() * 0.5, -90.0, 90.0);
    update();
}

} // namespace velmorant
