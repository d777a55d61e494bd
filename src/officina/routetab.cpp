#include "routetab.h"

#include "flowlayout.h"
#include "mesh.h"
#include "number.h"
#include "routetabparts.h"
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

using namespace routetab;

namespace {


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
    buildFit(bikePage, bikeColumn);

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
                     tr("Giunzioni"), tr("Raggio (mm)"), tr("Passo (mm)"), tr("Semigusci")},
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
            b.spacingMm ? number(*b.spacingMm) : QString(), QString()};
        for (int c = 0; c < BendColumns; ++c)
            m_bends->setItem(i, c, new QTableWidgetItem(cells[c]));
        // Made as two pressed or hydroformed halves instead of mitred segments.
        QTableWidgetItem *halves = m_bends->item(i, Halves);
        halves->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        halves->setCheckState(b.halves ? Qt::Checked : Qt::Unchecked);
        halves->setToolTip(tr("La curva fatta con due semigusci stampati o idroformati, saldati "
                              "nel suo piano: sagome al primo ordine, da provare su un pezzo di "
                              "saggio"));
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

void RouteTab::showPlan(const WorkshopPlan *plan)
{
    auto *stl = findChild<QPushButton *>(QStringLiteral("cmdEsportaStl"));
    m_stl.clear();
    if (!plan) {
        m_fitPipe.reset();
        stl->setEnabled(false);
        m_view->clear(tr("Premere Calcola per vedere il tubo"));
        return;
    }
    const Pipe laid = plan->pipe ? *plan->pipe : firstSizingPipe(plan->dimensions);
    m_fitPipe = laid;
    m_fitSheet = plan->options.sheetThickness;
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
