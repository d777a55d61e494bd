#include "routetab.h"

#include "flowlayout.h"
#include "mesh.h"
#include "number.h"
#include "routeview.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace velmorant {

namespace {

enum BendColumn { At, Angle, Plane, Joints, Radius, Spacing, BendColumns };
enum ObstacleColumn { Name, Shape, X1, Y1, Z1, X2, Y2, Z2, ObstacleRadius, ObstacleColumns };
enum ShapeIndex { BoxShape, CylinderShape, TargetShape };

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QTableWidget *table(const QStringList &columns, const char *name, QWidget *parent)
{
    auto *t = new QTableWidget(0, int(columns.size()), parent);
    t->setObjectName(QLatin1String(name));
    t->setHorizontalHeaderLabels(columns);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    return t;
}

route::Vec3 &coordinates(route::Route &r, int row)
{
    return row == 0 ? r.point : row == 1 ? r.direction : r.up;
}

} // namespace

RouteTab::RouteTab(const QLocale &locale, QWidget *parent) : QWidget(parent), m_locale(locale)
{
    setObjectName(QStringLiteral("tabPercorso"));
    auto *split = new QSplitter(Qt::Horizontal, this);
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(split);

    // The route and the bike each on a page of their own, so that every control stays in view
    // on a small screen.
    auto *pages = new QTabWidget(split);
    pages->setObjectName(QStringLiteral("tabPercorsoDati"));
    auto *routePage = new QWidget(pages);
    auto *column = new QVBoxLayout(routePage);
    auto *bikePage = new QWidget(pages);
    auto *bikeColumn = new QVBoxLayout(bikePage);
    pages->addTab(routePage, tr("Curve"));
    pages->addTab(bikePage, tr("Moto"));
    QWidget *editors = routePage;
    buildTables();

    auto *startBox = new QGroupBox(tr("Partenza dalla luce (mm)"), editors);
    auto *startLayout = new QVBoxLayout(startBox);
    startLayout->addWidget(m_start);
    column->addWidget(startBox);

    auto *bendBox = new QGroupBox(tr("Curve, in ordine dalla luce"), editors);
    auto *bendLayout = new QVBoxLayout(bendBox);
    bendLayout->addWidget(m_bends);
    auto *bendButtons = new FlowLayout;
    QPushButton *add = button(tr("Aggiungi curva"), "cmdAggiungiPiega", bendBox);
    QPushButton *remove = button(tr("Togli"), "cmdTogliPiega", bendBox);
    QPushButton *up = button(tr("Su"), "cmdPiegaSu", bendBox);
    QPushButton *down = button(tr("Gi\u00f9"), "cmdPiegaGiu", bendBox);
    for (QPushButton *b : {add, remove, up, down})
        bendButtons->addWidget(b);
    bendLayout->addLayout(bendButtons);
    auto *rules = new QFormLayout;
    rules->setRowWrapPolicy(QFormLayout::WrapLongRows);
    m_seam = new QComboBox(bendBox);
    m_seam->setObjectName(QStringLiteral("cmbSaldatura"));
    m_seam->addItem(tr("alternata"), int(route::SeamSide::Alternating));
    m_seam->addItem(tr("all'interno della curva"), int(route::SeamSide::Inside));
    m_seam->addItem(tr("all'esterno della curva"), int(route::SeamSide::Outside));
    m_maxJoint = new QDoubleSpinBox(bendBox);
    m_maxJoint->setObjectName(QStringLiteral("spnGiunzioneMassima"));
    m_maxJoint->setLocale(m_locale);
    m_maxJoint->setRange(0, 90);
    m_maxJoint->setDecimals(1);
    m_maxJoint->setSpecialValueText(tr("regole per sezione"));
    m_maxJoint->setSuffix(QStringLiteral("\u00b0"));
    rules->addRow(tr("Saldatura degli spicchi"), m_seam);
    rules->addRow(tr("Giunzione massima"), m_maxJoint);
    m_maxJoint->setToolTip(tr("La rotazione pi\u00f9 grande di una giunzione; senza, le regole dei "
                              "costruttori: 30\u00b0 nel collettore, 25\u00b0 nel divergente, "
                              "20\u00b0 nel ventre e nel convergente, 15\u00b0 nella coda"));
    bendLayout->addLayout(rules);
    column->addWidget(bendBox);

    auto *bikeBox = new QGroupBox(tr("Le parti della moto attorno al tubo"), bikePage);
    auto *bikeLayout = new QVBoxLayout(bikeBox);
    bikeLayout->addWidget(m_obstacles);
    auto *obstacleButtons = new FlowLayout;
    QPushButton *addObstacle = button(tr("Aggiungi ostacolo"), "cmdAggiungiOstacolo", bikeBox);
    QPushButton *removeObstacle = button(tr("Togli"), "cmdTogliOstacolo", bikeBox);
    obstacleButtons->addWidget(addObstacle);
    obstacleButtons->addWidget(removeObstacle);
    bikeLayout->addLayout(obstacleButtons);
    auto *margin = new QFormLayout;
    margin->setRowWrapPolicy(QFormLayout::WrapLongRows);
    m_clearance = new QDoubleSpinBox(bikeBox);
    m_clearance->setObjectName(QStringLiteral("spnMargine"));
    m_clearance->setLocale(m_locale);
    m_clearance->setRange(0, 1000);
    m_clearance->setDecimals(1);
    m_clearance->setSuffix(tr(" mm"));
    margin->addRow(tr("Distanza da ogni ostacolo"), m_clearance);
    bikeLayout->addLayout(margin);
    bikeColumn->addWidget(bikeBox);

    auto *right = new QWidget(split);
    auto *rightColumn = new QVBoxLayout(right);
    rightColumn->setContentsMargins(0, 0, 0, 0);
    auto *looks = new FlowLayout;
    const std::pair<const char *, RouteView::Look> views[] = {
        {"3D", RouteView::Look::Free}, {"Di lato", RouteView::Look::Side},
        {"Dall'alto", RouteView::Look::Top}, {"Di fronte", RouteView::Look::Front}};
    m_view = new RouteView(m_locale, right);
    for (const auto &[caption, look] : views) {
        QPushButton *b = new QPushButton(tr(caption), right);
        b->setObjectName(QStringLiteral("cmdVista") + QString::number(int(look)));
        connect(b, &QPushButton::clicked, this, [this, l = look] { m_view->look(l); });
        looks->addWidget(b);
    }
    QPushButton *stl = button(tr("Esporta STL..."), "cmdEsportaStl", right);
    stl->setEnabled(false);
    looks->addWidget(stl);
    rightColumn->addLayout(looks);
    rightColumn->addWidget(m_view, 1);
    split->addWidget(pages);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);

    connect(add, &QPushButton::clicked, this, &RouteTab::addBend);
    connect(remove, &QPushButton::clicked, this, &RouteTab::removeBend);
    connect(up, &QPushButton::clicked, this, [this] { moveBend(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveBend(1); });
    connect(addObstacle, &QPushButton::clicked, this, &RouteTab::addObstacle);
    connect(removeObstacle, &QPushButton::clicked, this, &RouteTab::removeObstacle);
    connect(m_start, &QTableWidget::itemChanged, this, &RouteTab::startEdited);
    connect(m_bends, &QTableWidget::itemChanged, this, &RouteTab::bendEdited);
    connect(m_obstacles, &QTableWidget::itemChanged, this, &RouteTab::obstacleEdited);
    connect(m_seam, &QComboBox::currentIndexChanged, this, [this] {
        if (m_filling)
            return;
        m_space.seam = route::SeamSide(m_seam->currentData().toInt());
        emit changed();
    });
    connect(m_maxJoint, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        if (m_filling)
            return;
        m_space.maxJointDeg = v;
        emit changed();
    });
    connect(m_clearance, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        if (m_filling || !m_space.surroundings)
            return;
        m_space.surroundings->clearanceMm = v;
        emit changed();
    });
    connect(stl, &QPushButton::clicked, this, [this] {
        if (exportStl && !m_stl.isEmpty())
            exportStl(m_stl);
    });
    fill();
}

void RouteTab::buildTables()
{
    m_start = table({tr("x"), tr("y"), tr("z")}, "tblPartenza", this);
    m_start->setRowCount(3);
    m_start->setVerticalHeaderLabels({tr("Punto"), tr("Direzione"), tr("Su")});
    m_start->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_start->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_start->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_start->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_start->setToolTip(tr("Dove parte il tubo, verso dove esce dalla luce, e una direzione "
                           "di traverso (\"su\") da cui si misura il piano delle curve"));
    m_bends = table({tr("Da luce (mm)"), tr("Angolo (\u00b0)"), tr("Piano (\u00b0)"),
                     tr("Giunzioni"), tr("Raggio (mm)"), tr("Passo (mm)")},
                    "tblCurve", this);
    m_bends->setToolTip(tr("Ogni curva: la prima giunzione a tanti mm dalla luce sull'asse, "
                           "l'angolo di tutta la curva, il piano girato dalla curva prima, le "
                           "giunzioni, e il raggio oppure il passo tra le giunzioni"));
    m_obstacles = table({tr("Nome"), tr("Forma"), tr("x1"), tr("y1"), tr("z1"), tr("x2"),
                         tr("y2"), tr("z2"), tr("Raggio (mm)")},
                        "tblOstacoli", this);
    m_obstacles->setToolTip(tr("Scatola: due spigoli opposti. Cilindro: i centri delle due basi "
                               "e il raggio. Arrivo: la scatola dove deve finire la coda."));
}

QString RouteTab::number(double v) const
{
    return formatBoxNumber(std::abs(v) < 1e-12 ? 0.0 : v, m_locale);
}

std::optional<double> RouteTab::read(const QTableWidgetItem *item) const
{
    const std::optional<double> v = item ? parseSettingNumber(item->text(), m_locale) : std::nullopt;
    if (!v || !std::isfinite(*v) || std::abs(*v) > 1e6)
        return std::nullopt;
    return v;
}

void RouteTab::setSpace(const PipeInSpace &space)
{
    m_space = space;
    fill();
}

// The tables from the value they show.
void RouteTab::fill()
{
    m_filling = true;
    for (int row = 0; row < 3; ++row) {
        const route::Vec3 &v = coordinates(m_space.route, row);
        const double c[3] = {v.x, v.y, v.z};
        for (int col = 0; col < 3; ++col)
            m_start->setItem(row, col, new QTableWidgetItem(number(c[col])));
    }
    m_bends->setRowCount(int(m_space.route.bends.size()));
    for (int i = 0; i < m_space.route.bends.size(); ++i) {
        const route::Bend &b = m_space.route.bends[i];
        const QString cells[BendColumns] = {
            number(b.atMm), number(b.angleDeg), number(b.planeDeg), QString::number(b.joints),
            b.radiusMm ? number(*b.radiusMm) : QString(),
            b.spacingMm ? number(*b.spacingMm) : QString()};
        for (int c = 0; c < BendColumns; ++c)
            m_bends->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
    const route::Surroundings around = m_space.surroundings.value_or(route::Surroundings());
    const int rows = int(around.obstacles.size()) + (around.target ? 1 : 0);
    m_obstacles->setRowCount(rows);
    for (int i = 0; i < rows; ++i) {
        const bool target = i == around.obstacles.size();
        route::Obstacle o;
        if (target) {
            o.name = tr("arrivo della coda");
            o.min = around.target->min;
            o.max = around.target->max;
        } else {
            o = around.obstacles[i];
        }
        const bool cylinder = !target && o.kind == route::Obstacle::Kind::Cylinder;
        const route::Vec3 p1 = cylinder ? o.a : o.min, p2 = cylinder ? o.b : o.max;
        const QString cells[ObstacleColumns] = {o.name, QString(), number(p1.x), number(p1.y),
                                                number(p1.z), number(p2.x), number(p2.y),
                                                number(p2.z), cylinder ? number(o.radius) : QString()};
        for (int c = 0; c < ObstacleColumns; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c == ObstacleRadius && !cylinder)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (c == Name && target)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            m_obstacles->setItem(i, c, item);
        }
        auto *shape = new QComboBox(m_obstacles);
        shape->addItems({tr("scatola"), tr("cilindro"), tr("arrivo")});
        shape->setCurrentIndex(target ? TargetShape : cylinder ? CylinderShape : BoxShape);
        connect(shape, &QComboBox::currentIndexChanged, this,
                [this, shape](int index) {
                    for (int r = 0; r < m_obstacles->rowCount(); ++r) {
                        if (m_obstacles->cellWidget(r, Shape) == shape)
                            shapeChosen(r, index);
                    }
                });
        m_obstacles->setCellWidget(i, Shape, shape);
    }
    m_seam->setCurrentIndex(std::max(0, m_seam->findData(int(m_space.seam))));
    m_maxJoint->setValue(m_space.maxJointDeg);
    m_clearance->setValue(around.clearanceMm);
    m_clearance->setEnabled(bool(m_space.surroundings));
    m_filling = false;
}

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
    // The route's own file rules: a direction and an "up" that make a frame.
    const route::RouteRead check = route::readRoute(route::routeJson(r));
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
    const bool empty = item->text().trimmed().isEmpty();
    const std::optional<double> v = read(item);
    const QString where = tr("Curva %1").arg(item->row() + 1);
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
    const route::RouteRead check = route::readRoute(route::routeJson(r));
    if (!check.ok())
        return commit(check.error);
    m_space.route = check.route;
    commit();
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
    const route::SurroundingsRead check = route::readSurroundings(route::surroundingsJson(around));
    if (!check.ok())
        return commit(check.error);
    m_space.surroundings = check.surroundings;
    commit();
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
    const route::SurroundingsRead check = route::readSurroundings(route::surroundingsJson(around));
    if (!check.ok())
        return commit(check.error);
    m_space.surroundings = check.surroundings;
    commit();
}

void RouteTab::showPlan(const WorkshopPlan *plan)
{
    auto *stl = findChild<QPushButton *>(QStringLiteral("cmdEsportaStl"));
    m_stl.clear();
    if (!plan) {
        stl->setEnabled(false);
        m_view->clear(tr("Premere Calcola per vedere il tubo"));
        return;
    }
    const Pipe laid = plan->pipe ? *plan->pipe : firstSizingPipe(plan->dimensions);
    RouteView::Scene scene;
    scene.body = route::pipeBody(laid, plan->options.route.value_or(route::Route()),
                                 plan->options.sheetThickness);
    if (!scene.body.problem.isEmpty()) {
        stl->setEnabled(false);
        m_view->clear(scene.body.problem);
        return;
    }
    if (plan->clearance && plan->options.surroundings) {
        for (const route::ObstacleDistance &d : plan->clearance->distances) {
            if (d.distanceMm < plan->options.surroundings->clearanceMm)
                scene.clashing << d.piece;
        }
        scene.obstacles = plan->options.surroundings->obstacles;
        scene.target = plan->options.surroundings->target;
    }
    m_stl = route::stlBytes(scene.body);
    stl->setEnabled(true);
    m_view->setScene(scene);
}

} // namespace velmorant
