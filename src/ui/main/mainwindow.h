#pragma once

#include "calculator.h"
#include "platform.h"

#include <QLocale>
#include <QMainWindow>

#include <memory>

class QAction;
class QPrinter;
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

    const CalculationState &state() const { return m_calculator.state(); }
    const QString &designPath() const { return m_calculator.saveTarget(); }
    // The printer the print command uses; it keeps the user's choices between prints.
    const QPrinter &printer() const { return *m_printer; }
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
    // Shows what a command returned.
    void present(const Screen &screen);
    void save(const QString &path, bool chosen);

    Platform &m_platform;
    PlacementStore *m_placement;
    QLocale m_locale;
    Calculator m_calculator;
    std::unique_ptr<QPrinter> m_printer;

    std::unique_ptr<InputPanel> m_input;
    std::unique_ptr<OutputPanel> m_output;
    SketchView *m_sketch = nullptr;
    StatusBar *m_status = nullptr;
    QToolBar *m_toolbar = nullptr;

    QAction *m_open = nullptr, *m_save = nullptr, *m_saveAs = nullptr, *m_print = nullptr,
            *m_exit = nullptr, *m_viewToolbar = nullptr, *m_viewStatusBar = nullptr,
            *m_calculate = nullptr, *m_reset = nullptr, *m_clear = nullptr, *m_about = nullptr;
};

} // namespace velmorant
