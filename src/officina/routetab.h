#pragma once

#include "background.h"
#include "fit.h"
#include "plan.h"
#include "workshopinput.h"

#include <QLocale>
#include <QWidget>

#include <functional>

class QComboBox;
class QDoubleSpinBox;
class QProgressBar;
class QPushButton;
class QVBoxLayout;
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
    // Whether the search for a route that fits runs.
    bool fitting() const { return m_fit && m_fit->busy(); }
    // Asked with the body's STL bytes when the user exports it.
    std::function<void(const QByteArray &)> exportStl;

signals:
    void changed();
    void note(const QString &text);

private:
    void buildTables();
    void buildFit(QWidget *page, QVBoxLayout *column);
    // The bends that make the last calculated pipe fit the bike, searched in the background.
    void startFit();
    void fitted(const route::FitResult &result);
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
    // The edited route when its file's own rules take it (a frame, bends that can be), else
    // the reason, as commit() shows it.
    void take(const route::Route &edited);
    void take(const route::Surroundings &edited);
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
    std::optional<Pipe> m_fitPipe; // the pipe of the last calculation, which the fit bends
    double m_fitSheet = 1;
    std::unique_ptr<Background<route::FitResult>> m_fit;
    QPushButton *m_fitButton = nullptr, *m_fitCancel = nullptr;
    QProgressBar *m_fitProgress = nullptr;
};

} // namespace velmorant
