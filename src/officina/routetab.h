#pragma once

#include "plan.h"
#include "workshopinput.h"

#include <QLocale>
#include <QWidget>

#include <functional>

class QComboBox;
class QDoubleSpinBox;
class QTableWidget;
class QTableWidgetItem;

namespace velmorant {

class RouteView;

// The Percorso tab: the pipe's route from the port (where it starts, its bends in order), the
// seams' side and the joint limit, the bike's parts around it with the clearance and the
// tail's target, and the body drawn in 3D. Every cell is checked as it is typed: a value that
// cannot be is put back and said in `note`, so the tab always holds a route it can give.
class RouteTab : public QWidget
{
    Q_OBJECT

public:
    explicit RouteTab(const QLocale &locale, QWidget *parent = nullptr);

    PipeInSpace space() const { return m_space; }
    void setSpace(const PipeInSpace &space);
    // The body of the plan's pipe along its route, its clashes in red; or why there is none.
    void showPlan(const WorkshopPlan *plan);
    RouteView *view() const { return m_view; }
    // Asked with the body's STL bytes when the user exports it.
    std::function<void(const QByteArray &)> exportStl;

signals:
    void changed();
    void note(const QString &text);

private:
    void buildTables();
    void fill();
    void startEdited(QTableWidgetItem *item);
    void bendEdited(QTableWidgetItem *item);
    void obstacleEdited(QTableWidgetItem *item);
    void shapeChosen(int row, int index);
    void addBend();
    void removeBend();
    void moveBend(int by);
    void addObstacle();
    void removeObstacle();
    void commit(const QString &refused = QString());
    QString number(double v) const;
    std::optional<double> read(const QTableWidgetItem *item) const;

    QLocale m_locale;
    PipeInSpace m_space;
    bool m_filling = false;
    QTableWidget *m_start = nullptr, *m_bends = nullptr, *m_obstacles = nullptr;
    QComboBox *m_seam = nullptr;
    QDoubleSpinBox *m_maxJoint = nullptr, *m_clearance = nullptr;
    RouteView *m_view = nullptr;
    QByteArray m_stl;
};

} // namespace velmorant
