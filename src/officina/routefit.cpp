// The Percorso tab's search for the bends that make the pipe fit the bike, in the background.
#include "routetab.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmorant {

void RouteTab::buildFit(QWidget *page, QVBoxLayout *column)
{
    auto *row = new QHBoxLayout;
    m_fitButton = new QPushButton(tr("Cerca il percorso"), page);
    m_fitButton->setObjectName(QStringLiteral("cmdCercaPercorso"));
    m_fitButton->setToolTip(tr("Le curve (al pi\u00f9 4) che tengono il tubo lontano dagli ostacoli "
                               "e ne portano la coda all'arrivo, con la minima piegatura; sul tubo "
                               "dell'ultimo Calcola"));
    m_fitCancel = new QPushButton(tr("Annulla"), page);
    m_fitCancel->setObjectName(QStringLiteral("cmdAnnullaPercorso"));
    m_fitCancel->hide();
    m_fitProgress = new QProgressBar(page);
    m_fitProgress->setObjectName(QStringLiteral("prgPercorso"));
    m_fitProgress->setRange(0, 100);
    m_fitProgress->hide();
    row->addWidget(m_fitButton);
    row->addWidget(m_fitProgress, 1);
    row->addWidget(m_fitCancel);
    column->addLayout(row);
    m_fit = std::make_unique<Background<route::FitResult>>(
        this, [this](int percent) { m_fitProgress->setValue(percent); },
        [this](const route::FitResult &r) { fitted(r); });
    connect(m_fitButton, &QPushButton::clicked, this, &RouteTab::startFit);
    connect(m_fitCancel, &QPushButton::clicked, this, [this] { m_fit->cancel(); });
}

void RouteTab::startFit()
{
    if (!m_fitPipe) {
        emit note(tr("Premere Calcola prima: il percorso si cerca sul tubo calcolato"));
        return;
    }
    if (!m_space.surroundings ||
        (m_space.surroundings->obstacles.isEmpty() && !m_space.surroundings->target)) {
        emit note(tr("Per cercare il percorso servono gli ostacoli o l'arrivo della coda"));
        return;
    }
    const Pipe pipe = *m_fitPipe;
    const route::Route start = m_space.route;
    const route::Surroundings around = *m_space.surroundings;
    const double sheet = m_fitSheet;
    route::FitLimits limits;
    if (m_maxJoint->value() > 0)
        limits.jointDeg = m_maxJoint->value();
    m_fit->start(
        [=](WorkControl &control) {
            return route::fitRoute(pipe, start, around, sheet, limits, &control.stop,
                                   [&control](int done, int) { control.done = done; });
        },
        limits.evaluations);
    m_fitButton->setEnabled(false);
    m_fitProgress->setValue(0);
    m_fitProgress->show();
    m_fitCancel->show();
    emit note(tr("Ricerca del percorso in corso..."));
}

void RouteTab::fitted(const route::FitResult &r)
{
    m_fitButton->setEnabled(true);
    m_fitProgress->hide();
    m_fitCancel->hide();
    // The route found (or the nearest one) replaces the bends; the start stays.
    m_space.route.bends = r.route.bends;
    fill();
    emit changed();
    const QString found =
        r.fits ? tr("Percorso trovato: %1 curve, %2\u00b0 in tutto. Premere Calcola per tagliarlo.")
                     .arg(r.route.bends.size())
                     .arg(m_locale.toString(r.totalAngleDeg, 'f', 1))
               : tr("Nessun percorso sta sulla moto; il pi\u00f9 vicino entra di %1 mm negli "
                    "ostacoli e finisce a %2 mm dall'arrivo.")
                     .arg(m_locale.toString(r.clashMm, 'f', 1),
                          m_locale.toString(r.tailOutsideMm, 'f', 1));
    emit note(r.cancelled ? tr("Ricerca annullata: il migliore trovato fin qui. ") + found : found);
}

} // namespace velmorant
