// Calculate, Print and Export of the workshop window.
#include "officinawindow.h"

#include "bandview.h"
#include "chamberview.h"
#include "methodsview.h"
#include "number.h"
#include "partsfile.h"
#include "pipechoice.h"
#include "pipeform.h"
#include "routetab.h"
#include "safefile.h"
#include "sheetsview.h"
#include "usertext.h"
#include "templatebook.h"
#include "wavestab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>

#include <algorithm>
#include <iterator>

namespace velmorant {

void OfficinaWindow::calculate()
{
    // The nesting says how far it is in thousandths.
    const WorkshopTexts boxes = texts();
    Project key;
    key.workshop = boxes;
    m_pendingInputs = projectJson(key, m_locale);
    m_calculation->start(
        [boxes, locale = m_locale](WorkControl &control) {
            return runWorkshop(boxes, locale, [&control](int done, int total) {
                control.done = total > 0 ? int(1000LL * done / total) : 0;
                return !control.stop.load();
            });
        },
        1000);
    m_progress->setValue(0);
    m_progress->show();
    m_cancel->show();
    m_summary->setText(tr("Calcolo in corso..."));
    updateStop();
}

void OfficinaWindow::calculated(const WorkshopRun &run)
{
    m_progress->hide();
    m_cancel->hide();
    updateStop();
    if (run.cancelled) {
        m_summary->setText(m_plan ? tr("Calcolo annullato: restano i pezzi del calcolo precedente.")
                                  : tr("Calcolo annullato."));
        return;
    }
    if (run.refusal) {
        m_summary->setText(m_summaryText); // what the views still show
        inputsChanged();                   // which the boxes no longer describe
        message(*run.refusal);
        if (QLineEdit *bad = findChild<QLineEdit *>(run.box))
            bad->setFocus();
        else if (QWidget *other = findChild<QWidget *>(run.box))
            other->setFocus();
        return;
    }
    m_plan = run.plan;
    m_run = run;
    m_run.plan.reset();
    m_planInputs = m_pendingInputs;
    // The measured pipe read is the one the project keeps.
    if (run.measured)
        m_pipeForm->setMeasured(run.measured);
    QSettings settings;
    writeWorkshopSettings(settings, m_plan->options);
    writePipeSettings(settings, m_run, m_pipeForm->texts());
    showPlan();
    inputsChanged();
}

void OfficinaWindow::showPlan()
{
    if (!m_plan) {
        m_chamber->scene()->clear();
        m_sheets->scene()->clear();
        m_warnings->clear();
        m_cutList->setRowCount(0);
        m_methods->setPipes({});
        m_route->showPlan(nullptr);
        return;
    }
    const WorkshopPlan &plan = *m_plan;
    m_chamber->setPipe(m_run.pipe, plan.options.sheetThickness);
    m_sheets->setPlan(plan);
    const DesignParameters &p = plan.parameters;
    m_band->setBand(waveLengths(m_run.pipe), p[Field::Sc], p[Field::Asp], p[Field::Temp1],
                    p[Field::Rpm], m_run.bandWidth);
    showMethods();
    m_waves->setDesign(p, plan.dimensions, m_run.pipe, m_run.choice, m_run.bandWidth);
    m_route->showPlan(&plan);
    QList<waves::MitreJoint> joints;
    for (const route::Joint &j : plan.layout.joints)
        joints << waves::MitreJoint{j.atMm, j.angleDeg};
    m_waves->setJoints(joints);

    // The warnings in words; their codes are for scripts (the command line and the JSON).
    m_warnings->clear();
    for (const BuilderWarning &w : plan.warnings)
        m_warnings->addItem(w.text);
    if (plan.warnings.isEmpty())
        m_warnings->addItem(tr("Nessun avviso: il progetto rientra nella pratica comune."));
    showCutList();
    double mass = 0;
    for (const CutListRow &row : cutList(plan))
        mass += row.mass;
    setStatusNote(tr("%1 pezzi su %2 di %3 x %4 mm, utilizzo %5 %, massa %6 kg")
                      .arg(plan.parts.size())
                      .arg(plan.nesting.sheets == 1 ? tr("1 foglio")
                                                    : tr("%1 fogli").arg(plan.nesting.sheets))
                      .arg(formatBoxNumber(plan.options.sheetSize.width(), m_locale),
                           formatBoxNumber(plan.options.sheetSize.height(), m_locale),
                           m_locale.toString(plan.nesting.utilisation * 100, 'f', 0),
                           m_locale.toString(mass, 'f', 2)));
}

void OfficinaWindow::showCutList()
{
    const WorkshopPlan &plan = *m_plan;
    const QList<CutListRow> rows = cutList(plan);
    m_cutList->setRowCount(int(rows.size()) + 1);
    auto put = [&](int r, int c, const QString &text, bool bold = false) {
        auto *item = new QTableWidgetItem(text);
        if (c >= 2)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (bold) {
            QFont f = item->font();
            f.setBold(true);
            item->setFont(f);
        }
        m_cutList->setItem(r, c, item);
    };
    double area = 0, mass = 0;
    for (int r = 0; r < rows.size(); ++r) {
        const CutListRow &row = rows[r];
        const bool placed = row.sheet > 0;
        auto onSheet = [&](double v, int decimals) {
            return placed ? m_locale.toString(v, 'f', decimals) : QString();
        };
        const QString cells[] = {row.part,
                                 row.segmentName,
                                 placed ? QString::number(row.sheet) : tr("fuori lamiera"),
                                 onSheet(row.footprint.x(), 1),
                                 onSheet(row.footprint.y(), 1),
                                 onSheet(row.rotation, 0),
                                 m_locale.toString(row.size.width(), 'f', 1),
                                 m_locale.toString(row.size.height(), 'f', 1),
                                 m_locale.toString(row.area / 100, 'f', 1),
                                 m_locale.toString(row.mass, 'f', 3)};
        for (int c = 0; c < int(std::size(cells)); ++c)
            put(r, c, cells[c]);
        area += row.area;
        mass += row.mass;
    }
    // The totals: pieces, sheets, area and mass.
    const int last = int(rows.size());
    put(last, 0, tr("Totale"), true);
    put(last, 1, tr("%1 pezzi").arg(rows.size()), true);
    put(last, 2,
        plan.nesting.sheets == 1 ? tr("1 foglio") : tr("%1 fogli").arg(plan.nesting.sheets),
        true);
    for (int c = 3; c < 8; ++c)
        put(last, c, QString());
    put(last, 8, m_locale.toString(area / 100, 'f', 1), true);
    put(last, 9, m_locale.toString(mass, 'f', 3), true);
}

void OfficinaWindow::showMethods()
{
    if (!m_plan) {
        m_methods->setPipes({});
        m_route->showPlan(nullptr);
        return;
    }
    // The chosen methods on this engine, with the port, class and cones of the boxes, and the
    // measured pipe when that is the one being cut.
    QList<Pipe> pipes;
    for (int i = 0; i < m_shownMethods.size(); ++i) {
        if (!m_shownMethods[i]->isChecked())
            continue;
        const Pipe pipe =
            methodPipe(pipeMethods()[i], m_run.choice, m_plan->parameters, m_plan->dimensions);
        if (!pipeProblem(pipe))
            pipes << pipe;
    }
    if (m_run.choice.measured)
        pipes << m_run.pipe;
    m_methods->setPipes(pipes);
}

void OfficinaWindow::print()
{
    if (!resultsUsable(tr("stampare")))
        return;
    // One printer for the run: the dialog opens on the choices made last time.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!m_platform.choosePrinter(this, *m_printer))
        return;
    // At 1:1 on the printer's own page and margins.
    const QRectF paintable = m_printer->pageLayout().paintRect(QPageLayout::Millimeter);
    const TemplateBook book(*m_plan, paintable.size(), QDate::currentDate());
    if (!book.refusal().isEmpty()) {
        message({tr("Impossibile stampare: %1.").arg(book.refusal()), MessageIcon::Critical});
        return;
    }
    QPainter painter;
    if (!painter.begin(m_printer.get())) {
        message({tr("Impossibile stampare: la stampante non \u00e8 disponibile."),
                 MessageIcon::Critical});
        return;
    }
    const double perMillimetre = m_printer->resolution() / 25.4;
    for (int i = 0; i < book.pageCount(); ++i) {
        if (i > 0 && !m_printer->newPage()) {
            painter.end();
            message({tr("La stampa si \u00e8 interrotta alla pagina %1 di %2.")
                         .arg(i + 1)
                         .arg(book.pageCount()),
                     MessageIcon::Critical});
            return;
        }
        painter.resetTransform();
        painter.scale(perMillimetre, perMillimetre);
        book.paintPage(painter, i);
    }
    painter.end();
    const QString where = m_printer->outputFileName().isEmpty() ? m_printer->printerName()
                                                                 : m_printer->outputFileName();
    setStatusNote((book.pageCount() == 1 ? tr("1 pagina di sagome mandata a %1")
                                         : tr("%1 pagine di sagome mandate a %2")
                                               .arg(book.pageCount()))
                      .arg(where.isEmpty() ? tr("la stampante") : where));
}

void OfficinaWindow::exportBody(const QByteArray &stl)
{
    if (!resultsUsable(tr("esportare")))
        return;
    QString proposed = m_name->text().trimmed();
    if (proposed.isEmpty())
        proposed = m_path.isEmpty() ? tr("tubo") : QFileInfo(m_path).completeBaseName();
    const QString path = m_platform.exportFileName(this, tr("Esporta il corpo del tubo"),
                                                   tr("Corpo STL (*.stl)|*.stl"),
                                                   plainUserText(proposed));
    if (path.isEmpty())
        return;
    if (const std::optional<QString> refused = overwritesInput(path, true)) {
        message({tr("Impossibile esportare in %1: %2.").arg(path, *refused),
                 MessageIcon::Critical});
        return;
    }
    if (const std::optional<QString> error = writeFileAtomically(path, stl)) {
        message({tr("Impossibile scrivere %1: %2.").arg(path, *error), MessageIcon::Critical});
        return;
    }
    setStatusNote(tr("Corpo del tubo esportato in %1").arg(path));
}

void OfficinaWindow::exportParts()
{
    if (!resultsUsable(tr("esportare")))
        return;
    // The project's name, or the design's, for the file.
    QString proposed = m_name->text().trimmed();
    if (proposed.isEmpty() && !m_path.isEmpty())
        proposed = QFileInfo(m_path).completeBaseName();
    if (proposed.isEmpty())
        proposed = tr("sagome");
    const QString path = m_platform.exportFileName(
        this, tr("Esporta"),
        tr("Sagome PDF (*.pdf)|*.pdf|Lamiere SVG (*.svg)|*.svg|Lamiere DXF (*.dxf)|*.dxf|"
           "Distinta di taglio CSV (*.csv)|*.csv"),
        plainUserText(proposed));
    if (path.isEmpty())
        return;
    if (!partsFileSuffixes().contains(QFileInfo(path).suffix().toLower())) {
        message({tr("Indicare il formato con l'estensione del nome: .pdf, .svg, .dxf o .csv."),
                 MessageIcon::Critical});
        return;
    }
    // No export over a file the project reads, or over the project itself.
    if (const std::optional<QString> refused = overwritesInput(path, true)) {
        message({tr("Impossibile esportare in %1: %2.").arg(path, *refused),
                 MessageIcon::Critical});
        return;
    }
    PartsOutput output;
    output.paper = QPageSize::PageSizeId(m_page->currentData().toInt());
    output.date = QDate::currentDate();
    const PartsWritten written = writeParts(path, *m_plan, output);
    if (!written.ok()) {
        message({written.failure, MessageIcon::Critical});
        return;
    }
    // What was written where, in the status bar.
    setStatusNote(written.files.size() == 1
                      ? tr("Esportato in %1").arg(written.files.first())
                      : tr("Esportati %1 file in %2")
                            .arg(written.files.size())
                            .arg(QFileInfo(written.files.first()).absolutePath()));
}

} // namespace velmorant
