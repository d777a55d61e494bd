#pragma once

#include "calculation.h"
#include "platform.h"

#include <QLocale>
#include <QMainWindow>

#include <memory>

class QAction;
class QGroupBox;
class QPushButton;
class QToolBar;

namespace velmorant {

class HeadingPanel;
class InputPanel;
class OutputPanel;
class PlacementStore;
class SketchView;
class StatusBar;

// The main window frmMain: a fixed layout in twips, and the routing of every command.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The outer size the window always opens at, and its client area below the menu bar.
    static constexpr int OuterWidth = 11820;
    static constexpr int OuterHeight = 8520;
    static constexpr int ClientWidth = 11760;
    static constexpr int ClientHeight = 7860;

    MainWindow(Platform &platform, PlacementStore *placement = nullptr,
               const QLocale &locale = QLocale(), QWidget *parent = nullptr);
    ~MainWindow() override;

    const CalculationState &state() const { return m_state; }
    const QString &designPath() const { return m_saveFile; }
    InputPanel &inputPanel() const { return *m_input; }
    SketchView &sketchView() const { return *m_sketch; }
    StatusBar &statusPanels() const { return *m_status; }
    QWidget *clientArea() const { return centralWidget(); }

public slots:
    void calculate();
    void clear();
    void resetDefaults();
    void openFile();
    void saveFile();
    void saveFileAs();
    void print();
    void showAbout();
    void toggleToolbar();
    void toggleStatusBar();
    void openWebSite();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildClientArea();
    void createActions();
    void createMenus();
    void createToolbar();
    void message(const QString &text, MessageIcon icon);
    bool writeDesign(const QString &path);
    void showFileTitle(const QString &path);

    Platform &m_platform;
    PlacementStore *m_placement;
    QLocale m_locale;
    CalculationState m_state;
    QString m_saveFile;
    QString m_lastChosenFile; // the file last chosen in the file dialog (status panel 2)

    std::unique_ptr<InputPanel> m_input;
    std::unique_ptr<OutputPanel> m_output;
    HeadingPanel *m_heading = nullptr;
    SketchView *m_sketch = nullptr;
    StatusBar *m_status = nullptr;
    QToolBar *m_toolbar = nullptr;
    QGroupBox *m_sketchFrame = nullptr;

    QAction *m_open = nullptr, *m_save = nullptr, *m_saveAs = nullptr, *m_print = nullptr,
            *m_exit = nullptr, *m_viewToolbar = nullptr, *m_viewStatusBar = nullptr,
            *m_calculate = nullptr, *m_reset = nullptr, *m_clear = nullptr, *m_about = nullptr;
};

} // namespace velmorant
