#pragma once

#include "mesh.h"
#include "obstacles.h"

#include <QLocale>
#include <QSet>
#include <QWidget>

#include <optional>

namespace velmorant {

// The bent pipe in 3D: its body shaded, the pieces that come too near the bike in red, the
// obstacles in outline and the tail's target dashed. Turned by dragging, or seen from the side,
// from above or from the front, always at one scale for every direction (a bar shows it), with
// the box around the pipe measured.
class RouteView : public QWidget
{
    Q_OBJECT

public:
    struct Scene
    {
        route::BodyMesh body;
        QSet<QString> clashing; // pieces nearer an obstacle than the clearance
        QList<route::Obstacle> obstacles;
        std::optional<route::TargetBox> target;
    };
    enum class Look { Free, Side, Top, Front };

    explicit RouteView(const QLocale &locale, QWidget *parent = nullptr);
    void setScene(const Scene &scene);
    void clear(const QString &why);
    void look(Look look);
    Look currentLook() const { return m_look; }
    const std::optional<Scene> &scene() const { return m_scene; }
    // What the view says above the drawing: the box's sizes and the direction seen from.
    QString caption() const;

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    struct Axes
    {
        route::Vec3 right, up, towards; // towards the viewer
    };
    Axes axes() const;

    QLocale m_locale;
    std::optional<Scene> m_scene;
    route::Vec3 m_min, m_max; // the box around the body
    QString m_empty;
    Look m_look = Look::Free;
    double m_yaw = -35, m_pitch = 25; // degrees, for the free view
    QPoint m_drag;
};

} // namespace velmorant
