#pragma once

#include "background.h"
#include "plan.h"
#include "platform.h"
#include "project.h"
#include "workshopinput.h"

#include <QLocale>
#include <QMainWindow>

#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QProgressBar;
class QPushButton;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPrinter;
class QSplitter;
class QTabWidget;
class QTableWidget;

namespace velmorant {

class BandView;
class PipeForm;
class RouteTab;
class WavesTab;
class MethodsView;
class ChamberView;
class SheetsView;

// The workshop window: the eight parameters and the cutting options beside the chamber to true
// scale, the parts nested on their sheets, the warnings and the cut list; prints the parts at
// 1:1 and exports them. Its inputs are a document (a project file) that it saves and opens, and
// every view knows whether its results are older than the boxes.
class OfficinaWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit OfficinaWindow(Platform &platform, const QLocale &locale = QLocale(),
                            QWidget *parent = nullptr);
    ~OfficinaWindow() override;

    // Opens a project or a design file (the command line's, or the one chosen with Apri); a
    // design file is calculated at once. Unsaved work is not asked about here.
    bool openPath(const QString &path);
    void openDesign(const QString &path) { openPath(path); }

    const std::optional<WorkshopPlan> &plan() const { return m_plan; }
    // A note in the status bar until the next calculation replaces it.
    void setStatusNote(const QString &text);
    const QPrinter *printer() const { return m_printer.get(); }
    // Whether a calculation is running (in a worker: the window stays answerable).
    bool calculating() const;
    WavesTab *waves() const { return m_waves; }

    // Every input of the window, as a project; and the boxes set from one.
    Project inputs() const;
    void setInputs(const Project &p);
    const QString &projectPath() const { return m_path; }
    // Whether the boxes hold what the project file holds.
    bool modified() const;
    // Whether the parts shown were made from other boxes than those on screen.
    bool resultsStale() const;
    QAction *action(const char *name) const;

public slots:
    void newProject();
    void openFile();
    bool save();
    bool saveAs();
    // Starts the calculation of what the boxes hold; one still running is abandoned.
    void calculate();
    // A pipe found by the search becomes the one being cut, and is calculated.
    void usePipe(const Pipe &pipe, const QString &name);
    // Stops what runs: the nesting and the waves.
    void cancelWork();
    void print();
    void exportParts();
    // The pipe's body as STL, where the user chooses.
    void exportBody(const QByteArray &stl);

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QWidget *buildForm();
    void buildTabs();
    void buildActions();
    void fitToScreen();
    WorkshopTexts texts() const;
    void setTexts(const WorkshopTexts &t);
    void message(const Message &m);
    void showPlan();
    void calculated(const WorkshopRun &run);
    void showMethods();
    void showCutList();
    // After any input changed: the title's mark, the stale captions and the status.
    void inputsChanged();
    void updateTitle();
    void updateRecent();
    void remember(const QString &path);
    // Asks about unsaved work before it is dropped; false when the user keeps it.
    bool maySpoil();
    bool writeProject(const QString &path);
    // Why an output may not go to `path`: a file the project reads, or (with `projectToo`) the
    // project itself.
    std::optional<QString> overwritesInput(const QString &path, bool projectToo) const;
    // Ferma il calcolo only while something runs.
    void updateStop();
    // A refusal before printing or exporting parts that are not the boxes' own.
    bool resultsUsable(const QString &what);

    Platform &m_platform;
    QLocale m_locale;
    std::array<QLineEdit *, FieldCount> m_parameters{};
    std::array<QLineEdit *, WorkshopNumberCount> m_numbers{};
    QLineEdit *m_sheetWidth = nullptr, *m_sheetHeight = nullptr, *m_name = nullptr;
    QComboBox *m_page = nullptr;
    QTabWidget *m_tabs = nullptr;
    QSplitter *m_splitter = nullptr;
    int m_formWidth = 0; // the boxes' natural width
    QStringList m_tabCaptions;
    ChamberView *m_chamber = nullptr;
    SheetsView *m_sheets = nullptr;
    BandView *m_band = nullptr;
    MethodsView *m_methods = nullptr;
    QList<QCheckBox *> m_shownMethods; // which of pipeMethods() the Metodi tab draws
    PipeForm *m_pipeForm = nullptr;
    WavesTab *m_waves = nullptr;
    RouteTab *m_route = nullptr;
    QListWidget *m_warnings = nullptr;
    QTableWidget *m_cutList = nullptr;
    QLabel *m_summary = nullptr, *m_staleNote = nullptr;
    QString m_summaryText;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_cancel = nullptr;
    QMenu *m_recentMenu = nullptr;
    QAction *m_stop = nullptr; // enabled while a calculation or the waves run
    std::unique_ptr<Background<WorkshopRun>> m_calculation;
    std::optional<WorkshopPlan> m_plan;
    WorkshopRun m_run;          // the pipe, its inputs and the band's width of the plan shown
    QByteArray m_planInputs;    // the workshop's boxes the plan shown was made from
    QByteArray m_pendingInputs; // and those of the calculation running
    QString m_path;             // the project file; empty for a new project
    QByteArray m_saved;         // the inputs as last saved or opened
    bool m_loading = false;     // boxes being set from a project: not the user's changes
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace velmorant
