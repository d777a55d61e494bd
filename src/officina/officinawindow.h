#pragma once

#include "background.h"
#include "plan.h"
#include "platform.h"
#include "workshopinput.h"

#include <QLocale>
#include <QMainWindow>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QProgressBar;
class QPushButton;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QTabWidget;
class QTableWidget;

namespace velmorant {

class BandView;
class PipeForm;
class WavesTab;
class MethodsView;
class ChamberView;
class SheetsView;

// The workshop window: the eight parameters and the cutting options beside the chamber to true
// scale, the parts nested on their sheets, the warnings and the cut list; prints the parts at
// 1:1 and exports them.
class OfficinaWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit OfficinaWindow(Platform &platform, const QLocale &locale = QLocale(),
                            QWidget *parent = nullptr);
    ~OfficinaWindow() override;

    // Opens a design file (the command line's, or the one chosen with Apri) and calculates.
    void openDesign(const QString &path);

    const std::optional<WorkshopPlan> &plan() const { return m_plan; }
    // A note in the status bar until the next calculation replaces it.
    void setStatusNote(const QString &text);
    const QPrinter *printer() const { return m_printer.get(); }
    // Whether a calculation is running (in a worker: the window stays answerable).
    bool calculating() const;
    WavesTab *waves() const { return m_waves; }

public slots:
    void openFile();
    // Starts the calculation of what the boxes hold; one still running is abandoned.
    void calculate();
    void print();
    void exportParts();

private:
    QWidget *buildForm();
    void buildMenus();
    WorkshopTexts texts() const;
    void setTexts(const WorkshopTexts &t);
    void message(const Message &m);
    void showPlan();
    void calculated(const WorkshopRun &run);
    void showMethods();

    Platform &m_platform;
    QLocale m_locale;
    std::array<QLineEdit *, FieldCount> m_parameters{};
    std::array<QLineEdit *, WorkshopNumberCount> m_numbers{};
    QLineEdit *m_sheetWidth = nullptr, *m_sheetHeight = nullptr, *m_name = nullptr;
    QComboBox *m_page = nullptr;
    QTabWidget *m_tabs = nullptr;
    ChamberView *m_chamber = nullptr;
    SheetsView *m_sheets = nullptr;
    BandView *m_band = nullptr;
    MethodsView *m_methods = nullptr;
    QList<QCheckBox *> m_shownMethods; // which of pipeMethods() the Metodi tab draws
    PipeForm *m_pipeForm = nullptr;
    WavesTab *m_waves = nullptr;
    QListWidget *m_warnings = nullptr;
    QTableWidget *m_cutList = nullptr;
    QLabel *m_summary = nullptr;
    QString m_summaryBefore;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_cancel = nullptr;
    std::unique_ptr<Background<WorkshopRun>> m_calculation;
    std::optional<WorkshopPlan> m_plan;
    WorkshopRun m_run; // the pipe, its inputs and the band's width of the plan shown
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace velmorant
