#pragma once

#include "engine.h"
#include "project.h"

#include <QDialog>
#include <QLocale>

#include <optional>

class QCheckBox;
class QSlider;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;
class QTabWidget;

namespace velmorant {

class Platform;
class PortMapView;

// The engine around the pipe for the Onde tab, on four pages: the cylinder and its ports (bore
// and stroke empty for a square engine of the design's displacement; a table of port areas in
// place of the rectangles; an intake pipe), the cycle and its combustion, the air and
// friction, and the gas paths (the exhaust's system after the pipe, the intake's system, the
// transfer duct). Every number box has its range; OK refuses a value out of range, naming it, and
// keeps the dialog open on it.
class EngineDialog : public QDialog
{
    Q_OBJECT

public:
    EngineDialog(Platform &platform, const QLocale &locale, const waves::EngineInputs &engine,
                 const std::optional<MeasuredPipe> &intakePipe, const EnginePaths &paths,
                 QWidget *parent = nullptr);
    const waves::EngineInputs &engine() const { return m_engine; }
    const std::optional<MeasuredPipe> &intakePipe() const { return m_intakePipe; }
    const EnginePaths &paths() const { return m_paths; }
    // The design speed the port map's time-areas are drawn at.
    void setDesignRpm(double rpm);

    void accept() override;

private:
    void restoreDefaults();
    // The side of bore and stroke left empty, as it follows from the displacement, in its box.
    void showDerived();
    void choosePortAreas();
    void chooseIntakePipe();
    // The ports typed by their geometry (a JSON file), in place of a table of areas.
    void choosePortGeometry();
    // An exhaust's or an intake's system from its file; the intake's takes the intake pipe's
    // place.
    void chooseSystem(bool exhaust);
    void buildPathsPage(QFormLayout *page);
    // The ports typed by their geometry drawn on the unrolled wall, the crown where the slider
    // puts the crank.
    void buildPortMapPage(QFormLayout *page);
    void showPortMap();
    // A file's name beside the buttons that choose and drop it.
    static QWidget *fileRow(QLabel *&name, QPushButton *&choose, QPushButton *&drop,
                            const QString &key, QWidget *parent);
    void showFiles();

    Platform &m_platform;
    QLocale m_locale;
    waves::EngineInputs m_engine;
    std::optional<engine::PortAreaTable> m_portAreas;
    std::optional<MeasuredPipe> m_intakePipe;
    EnginePaths m_paths;
    QList<QLineEdit *> m_ductBoxes; // length, diameter at the crankcase, at the port
    QCheckBox *m_variableGas = nullptr;
    PortMapView *m_portMap = nullptr;
    QList<QLineEdit *> m_boxes; // engineRanges() in order, then bore and stroke
    QList<int> m_pages;         // the page of each box
    QTabWidget *m_tabs = nullptr;
    QComboBox *m_cycle = nullptr, *m_scavenging = nullptr;
    QLabel *m_portFile = nullptr, *m_intakeFile = nullptr, *m_portsFile = nullptr;
    QLabel *m_exhaustSystem = nullptr, *m_intakeSystem = nullptr;
    QPushButton *m_dropPorts = nullptr, *m_dropIntake = nullptr, *m_dropGeometry = nullptr;
    QPushButton *m_dropExhaustSystem = nullptr, *m_dropIntakeSystem = nullptr;
};

// The engine kept between runs (settings group "Officina/Motore"): its numbers, cycle and
// scavenging; a value missing or out of range takes its default. Port tables and intake pipes
// belong to a project, not to the settings.
waves::EngineInputs readEngineSettings(QSettings &settings);
void writeEngineSettings(QSettings &settings, const waves::EngineInputs &engine);

} // namespace velmorant
