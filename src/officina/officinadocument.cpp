// The workshop window's document: new, open, save, recent files, the question before unsaved
// work is dropped, the title and the marks of results older than the boxes.
#include "officinawindow.h"

#include "designfile.h"
#include "number.h"
#include "pipeform.h"
#include "projectinputs.h"
#include "safefile.h"
#include "wavestab.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTabWidget>

namespace velmorant {

namespace {

constexpr int MaxRecent = 8;

QString projectFilters()
{
    return QCoreApplication::translate("velmorant",
                                       "Progetti di Velmorant Officina (*.vlo)|*.vlo");
}

// The workshop's own boxes, the part of the inputs the parts come from.
QByteArray workshopKey(const WorkshopTexts &t, const QLocale &locale)
{
    Project p;
    p.workshop = t;
    return projectJson(p, locale);
}

} // namespace

bool OfficinaWindow::modified() const
{
    return projectJson(inputs(), m_locale) != m_saved;
}

bool OfficinaWindow::resultsStale() const
{
    return m_plan && workshopKey(texts(), m_locale) != m_planInputs;
}

void OfficinaWindow::inputsChanged()
{
    updateStop();
    if (m_loading)
        return;
    const bool stale = resultsStale();
    m_waves->setPipeStale(stale);
    // Tabs keep their names (a mark on each would push the last ones out of a laptop's strip):
    // one note in the status bar says the results are older than the boxes.
    for (int i = 0; i < m_tabs->count(); ++i) {
        QString caption = m_tabCaptions[i];
        if (i == 2 && m_plan)
            caption = tr("Avvisi (%1)").arg(m_plan->warnings.size());
        m_tabs->setTabText(i, caption);
    }
    m_staleNote->setText(tr("Risultati non aggiornati: premere Calcola (F5)."));
    m_staleNote->setVisible(stale);
    updateTitle();
}

void OfficinaWindow::updateTitle()
{
    const QString name =
        m_path.isEmpty() ? tr("Senza nome") : QFileInfo(m_path).fileName();
    setWindowTitle(tr("%1[*] - Velmorant Officina").arg(name));
    setWindowModified(modified());
}

bool OfficinaWindow::maySpoil()
{
    if (!modified())
        return true;
    const QString name = m_path.isEmpty() ? tr("Senza nome") : QFileInfo(m_path).fileName();
    switch (m_platform.askToSave(this, tr("Velmorant Officina"),
                                 tr("Il progetto \u201c%1\u201d ha modifiche non salvate. "
                                    "Salvarle prima?")
                                     .arg(name))) {
    case SaveChoice::Save:
        return save();
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

void OfficinaWindow::closeEvent(QCloseEvent *e)
{
    if (!maySpoil()) {
        e->ignore();
        return;
    }
    cancelWork();
    e->accept();
}

void OfficinaWindow::newProject()
{
    if (!maySpoil())
        return;
    cancelWork();
    // The builder's cutting options; the design, the pipe's method, the engine and the speeds
    // from their defaults: nothing of the last project (its bore and stroke belong to its
    // displacement).
    QSettings settings;
    Project fresh = velmorant::newProject(readWorkshopSettings(settings), m_locale);
    m_plan.reset();
    m_planInputs.clear();
    m_path.clear();
    m_waves->clear();
    setInputs(fresh);
    m_saved = projectJson(inputs(), m_locale);
    showPlan();
    setStatusNote(tr("Nuovo progetto: premere Calcola per preparare il taglio"));
    inputsChanged();
}

void OfficinaWindow::openFile()
{
    if (!maySpoil())
        return;
    const QString path = m_platform.openFileName(
        this, tr("Apri"),
        tr("Progetti e file di Velmorant (*.vlo *.vlr)|*.vlo *.vlr|Progetti di Velmorant "
           "Officina (*.vlo)|*.vlo|File di progetto Velmorant (*.vlr)|*.vlr|Tutti i file (*)|*"));
    if (!path.isEmpty())
        openPath(path);
}

bool OfficinaWindow::openPath(const QString &path)
{
    if (isProjectFile(path)) {
        const ProjectRead read = readProjectFile(path, m_locale);
        if (!read.ok()) {
            message({tr("Impossibile aprire il progetto: %1.").arg(read.error),
                     MessageIcon::Critical});
            return false;
        }
        cancelWork();
        m_plan.reset();
        m_planInputs.clear();
        m_waves->clear();
        setInputs(read.project);
        m_path = path;
        m_saved = projectJson(inputs(), m_locale);
        remember(path);
        showPlan();
        setStatusNote(tr("Progetto aperto: premere Calcola per preparare il taglio"));
        inputsChanged();
        calculate();
        return true;
    }
    // A design file: its eight values and its name in the boxes, the rest as it was; the
    // main window's reader and refusals, and a refused file changes nothing.
    const DesignFileRead read = readDesignFile(path);
    if (!read.ok()) {
        message({read.error, MessageIcon::Critical});
        return false;
    }
    const ParameterTexts boxes = fileSetTexts(read.values, m_locale);
    for (std::size_t i = 0; i < FieldCount; ++i)
        m_parameters[i]->setText(boxes[i]);
    m_name->setText(QFileInfo(path).completeBaseName());
    m_path.clear(); // a design file is not the project: Salva asks where
    remember(path);
    inputsChanged();
    calculate();
    return true;
}

std::optional<QString> OfficinaWindow::overwritesInput(const QString &path,
                                                       bool projectToo) const
{
    if (projectToo && sameFile(path, m_path))
        return tr("\u00e8 il file del progetto");
    if (const std::optional<ProjectInput> input =
            inputOverwrittenBy(path, projectInputFiles(inputs())))
        return tr("\u00e8 %1, che il progetto legge").arg(input->what);
    return std::nullopt;
}

bool OfficinaWindow::writeProject(const QString &path)
{
    // Never over a file the project reads from.
    if (const std::optional<QString> refused = overwritesInput(path, false)) {
        message({tr("Impossibile salvare in %1: %2.").arg(path, *refused), MessageIcon::Critical});
        return false;
    }
    const QByteArray bytes = projectJson(inputs(), m_locale);
    if (const std::optional<QString> error = writeFileAtomically(path, bytes)) {
        message({tr("Impossibile salvare %1: %2.").arg(path, *error), MessageIcon::Critical});
        return false;
    }
    m_path = path;
    m_saved = bytes;
    remember(path);
    updateTitle();
    setStatusNote(tr("Progetto salvato in %1").arg(QFileInfo(path).fileName()));
    return true;
}

bool OfficinaWindow::save()
{
    return m_path.isEmpty() ? saveAs() : writeProject(m_path);
}

bool OfficinaWindow::saveAs()
{
    const QString proposed =
        !m_path.isEmpty() ? m_path
                          : (m_name->text().trimmed().isEmpty() ? tr("progetto")
                                                                : m_name->text().trimmed()) +
                                QStringLiteral(".vlo");
    QString path =
        m_platform.saveFileName(this, tr("Salva con nome"), projectFilters(), proposed);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".vlo");
    return writeProject(path);
}

void OfficinaWindow::remember(const QString &path)
{
    QSettings settings;
    QStringList recent = settings.value(QStringLiteral("Officina/Recenti")).toStringList();
    const QString full = QFileInfo(path).absoluteFilePath();
    recent.removeAll(full);
    recent.prepend(full);
    while (recent.size() > MaxRecent)
        recent.removeLast();
    settings.setValue(QStringLiteral("Officina/Recenti"), recent);
    updateRecent();
}

void OfficinaWindow::updateRecent()
{
    m_recentMenu->clear();
    const QStringList recent =
        QSettings().value(QStringLiteral("Officina/Recenti")).toStringList();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        QAction *a = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()), this,
            [this, path] {
                if (!maySpoil())
                    return;
                if (!openPath(path)) {
                    // Gone or unreadable: off the list.
                    QSettings settings;
                    QStringList list =
                        settings.value(QStringLiteral("Officina/Recenti")).toStringList();
                    list.removeAll(path);
                    settings.setValue(QStringLiteral("Officina/Recenti"), list);
                    updateRecent();
                }
            });
        a->setObjectName(QStringLiteral("mnuRecente%1").arg(i + 1));
        a->setToolTip(path);
    }
    m_recentMenu->setEnabled(!recent.isEmpty());
}

bool OfficinaWindow::resultsUsable(const QString &what)
{
    if (!m_plan) {
        message({tr("Premere prima Calcola: non c'\u00e8 ancora niente da %1.").arg(what),
                 MessageIcon::Information});
        return false;
    }
    if (resultsStale()) {
        // The parts shown are not those of the boxes: nothing older than them leaves.
        message({tr("Le caselle sono cambiate dopo l'ultimo Calcola: i pezzi mostrati non sono "
                    "quelli che descrivono. Premere Calcola (F5), poi ripetere."),
                 MessageIcon::Information});
        return false;
    }
    return true;
}

} // namespace velmorant
