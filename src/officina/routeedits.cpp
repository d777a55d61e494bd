// The Percorso tab's edits: each cell, row and shape checked as the route's and the
// obstacles' files would be, put back and said when it cannot be.
#include "routetab.h"

#include "routetabparts.h"

#include <QComboBox>
#include <QTableWidget>

#include <cmath>

namespace velmorant {

using namespace routetab;

// After an edit: the tables again from the value (a refused cell back to what it was), and a
// word on what was refused.
void RouteTab::commit(const QString &refused)
{
    fill();
    if (!refused.isEmpty())
        emit note(refused);
    else
        emit changed();
}

void RouteTab::startEdited(QTableWidgetItem *item)
{
    if (m_filling)
        return;
    const std::optional<double> v = read(item);
    if (!v)
        return commit(tr("Partenza: serve un numero"));
    route::Route r = m_space.route;
    route::Vec3 &c = coordinates(r, item->row());
    (item->column() == 0 ? c.x : item->column() == 1 ? c.y : c.z) = *v;
    take(r);
}

void RouteTab::take(const route::Surroundings &edited)
{
    // The obstacles' own file rules: names, boxes that are boxes, a clearance that can be.
    const route::SurroundingsRead check = route::readSurroundings(route::surroundingsJson(edited));
    if (!check.ok())
        return commit(check.error);
    m_space.surroundings = check.surroundings;
    commit();
}

void RouteTab::take(const route::Route &edited)
{
    // The route's own file rules: a direction and an "up" that make a frame.
    const route::RouteRead check = route::readRoute(route::routeJson(edited));
    if (!check.ok())
        return commit(check.error);
    m_space.route = check.route;
    commit();
}

void RouteTab::bendEdited(QTableWidgetItem *item)
{
    if (m_filling)
        return;
    const int row = item->row(), col = item->column();
    if (row < 0 || row >= m_space.route.bends.size())
        return;
    route::Route r = m_space.route;
    route::Bend &b = r.bends[row];
    const QString where = tr("Curva %1").arg(item->row() + 1);
    if (col == Halves) {
        b.halves = item->checkState() == Qt::Checked;
        return take(r);
    }
    const bool empty = item->text().trimmed().isEmpty();
    const std::optional<double> v = read(item);
    if ((col == Radius || col == Spacing) && empty) {
        // Emptying one of the two asks for the other.
        return commit(tr("%1: serve il raggio oppure il passo").arg(where));
    }
    if (!v)
        return commit(tr("%1: serve un numero").arg(where));
    switch (col) {
    case At: b.atMm = *v; break;
    case Angle: b.angleDeg = *v; break;
    case Plane: b.planeDeg = *v; break;
    case Joints:
        if (*v != std::floor(*v))
            return commit(tr("%1: le giunzioni sono un numero intero").arg(where));
        b.joints = int(std::clamp(*v, 0.0, 1000.0));
        break;
    case Radius: b.radiusMm = *v; b.spacingMm.reset(); break;
    case Spacing: b.spacingMm = *v; b.radiusMm.reset(); break;
    default: break;
    }
    take(r);
}

void RouteTab::addBend()
{
    if (m_space.route.bends.size() >= route::MaxBends)
        return commit(tr("Al massimo %1 curve").arg(route::MaxBends));
    route::Bend b;
    const QList<route::Bend> &bends = m_space.route.bends;
    b.atMm = bends.isEmpty() ? 100 : bends.last().atMm + bends.last().spacing() * bends.last().joints + 100;
    b.angleDeg = 30;
    b.joints = 2;
    b.radiusMm = 100;
    m_space.route.bends << b;
    commit();
    m_bends->selectRow(int(m_space.route.bends.size()) - 1);
}

void RouteTab::removeBend()
{
    const int row = m_bends->currentRow();
    if (row < 0 || row >= m_space.route.bends.size())
        return;
    m_space.route.bends.removeAt(row);
    commit();
}

void RouteTab::moveBend(int by)
{
    const int row = m_bends->currentRow(), to = row + by;
    if (row < 0 || to < 0 || to >= m_space.route.bends.size())
        return;
    m_space.route.bends.swapItemsAt(row, to);
    commit();
    m_bends->selectRow(to);
}

void RouteTab::addObstacle()
{
    route::Surroundings around = m_space.surroundings.value_or(route::Surroundings());
    if (around.obstacles.size() >= route::MaxObstacles)
        return commit(tr("Al massimo %1 ostacoli").arg(route::MaxObstacles));
    route::Obstacle o;
    int n = int(around.obstacles.size()) + 1;
    QStringList names;
    for (const route::Obstacle &other : around.obstacles)
        names << other.name;
    while (names.contains(tr("ostacolo %1").arg(n)))
        ++n;
    o.name = tr("ostacolo %1").arg(n);
    o.min = {-100, -100, -100};
    o.max = {100, 100, 100};
    around.obstacles << o;
    m_space.surroundings = around;
    commit();
}

void RouteTab::removeObstacle()
{
    const int row = m_obstacles->currentRow();
    if (!m_space.surroundings || row < 0)
        return;
    route::Surroundings &around = *m_space.surroundings;
    if (row < around.obstacles.size())
        around.obstacles.removeAt(row);
    else
        around.target.reset();
    if (around.obstacles.isEmpty() && !around.target)
        m_space.surroundings.reset();
    commit();
}

void RouteTab::shapeChosen(int row, int index)
{
    if (m_filling || !m_space.surroundings)
        return;
    route::Surroundings around = *m_space.surroundings;
    const bool wasTarget = row >= around.obstacles.size();
    route::Obstacle o;
    if (wasTarget) {
        o.name = tr("ostacolo %1").arg(around.obstacles.size() + 1);
        o.min = around.target->min;
        o.max = around.target->max;
    } else {
        o = around.obstacles[row];
    }
    if (index == TargetShape) {
        if (around.target && !wasTarget)
            return commit(tr("C'\u00e8 gi\u00e0 un arrivo: toglierlo prima"));
        const bool box = o.kind == route::Obstacle::Kind::Box;
        around.target = route::TargetBox{box ? o.min : o.a - route::Vec3{o.radius, o.radius, o.radius},
                                         box ? o.max : o.b + route::Vec3{o.radius, o.radius, o.radius}};
        if (!wasTarget)
            around.obstacles.removeAt(row);
    } else {
        const bool cylinder = index == CylinderShape;
        if (cylinder && o.kind != route::Obstacle::Kind::Cylinder) {
            o.kind = route::Obstacle::Kind::Cylinder;
            o.a = o.min;
            o.b = o.max;
            o.radius = 50;
        } else if (!cylinder && o.kind != route::Obstacle::Kind::Box) {
            o.kind = route::Obstacle::Kind::Box;
            o.min = o.a;
            o.max = o.b;
        }
        if (wasTarget) {
            around.target.reset();
            around.obstacles << o;
        } else {
            around.obstacles[row] = o;
        }
    }
    take(around);
}

void RouteTab::obstacleEdited(QTableWidgetItem *item)
{
    if (m_filling || !m_space.surroundings)
        return;
    route::Surroundings around = *m_space.surroundings;
    const int row = item->row(), col = item->column();
    const bool target = row >= around.obstacles.size();
    route::Obstacle o;
    if (target) {
        o.min = around.target->min;
        o.max = around.target->max;
    } else {
        o = around.obstacles[row];
    }
    const bool cylinder = !target && o.kind == route::Obstacle::Kind::Cylinder;
    if (col == Name) {
        o.name = item->text().simplified();
    } else {
        const std::optional<double> v = read(item);
        if (!v)
            return commit(tr("Ostacolo %1: serve un numero").arg(row + 1));
        route::Vec3 &p = col <= Z1 ? (cylinder ? o.a : o.min) : (cylinder ? o.b : o.max);
        if (col == ObstacleRadius)
            o.radius = *v;
        else
            (col == X1 || col == X2 ? p.x : col == Y1 || col == Y2 ? p.y : p.z) = *v;
    }
    if (!cylinder) {
        // Two opposite corners, in whichever order they were typed.
        const route::Vec3 a = o.min, b = o.max;
        o.min = {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
        o.max = {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
    }
    if (target)
        around.target = route::TargetBox{o.min, o.max};
    else
        around.obstacles[row] = o;
    take(around);
}

} // namespace velmorant
