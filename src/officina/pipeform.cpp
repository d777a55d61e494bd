#include "pipeform.h"

#include "formbox.h"
#include "pipefile.h"
#include "platform.h"
#include "searchedpipe.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace velmorant {

PipeForm::PipeForm(Platform &platform, QWidget *parent)
    : QGroupBox(tr("Tubo"), parent), m_platform(platform)
{
    setObjectName(QStringLiteral("grpTubo"));
    auto *rows = new QFormLayout(this);
    rows->setRowWrapPolicy(QFormLayout::WrapLongRows);
    m_method = new QComboBox(this);
    m_method->setObjectName(QStringLiteral("cmbMetodo"));
    for (const QString &key : pipeMethods()) {
        QString caption = methodCaption(key);
        caption[0] = caption[0].toUpper();
        m_method->addItem(caption, key);
    }
    m_method->addItem(tr("Tubo misurato (CSV)"), QLatin1String(MeasuredMethod));
    rows->addRow(tr("Metodo"), m_method);

    m_file = formBox(QStringLiteral("txtTuboMisurato"), this);
    m_file->setPlaceholderText(tr("x_mm,d_mm dalla luce"));
    m_browse = new QPushButton(tr("Sfoglia..."), this);
    m_browse->setObjectName(QStringLiteral("cmdSfogliaTubo"));
    m_browse->setAutoDefault(false);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    rows->addRow(tr("File del tubo"), fileRow);

    m_stages = formBox(QStringLiteral("opt_stages"), this);
    m_stages->setToolTip(tr("Da 1 a 4 coni; i metodi di Blair fissano i loro"));
    rows->addRow(tr("Stadi del diffusore"), m_stages);
    m_horn = formBox(QStringLiteral("opt_horn"), this);
    m_horn->setToolTip(tr("Esponente KH della legge dei diametri degli stadi, da 1 a 2: 1 coni in "
                          "progressione geometrica, 2 a tromba che si apre tardi"));
    rows->addRow(tr("Legge del diffusore, esponente (1-2)"), m_horn);

    m_portWidth = formBox(QStringLiteral("opt_port-width"), this);
    m_portHeight = formBox(QStringLiteral("opt_port-height"), this);
    m_portWidth->setPlaceholderText(tr("facoltativa"));
    m_portHeight->setPlaceholderText(tr("facoltativa"));
    rows->addRow(tr("Luce di scarico, larghezza (mm)"), m_portWidth);
    rows->addRow(tr("Luce di scarico, altezza (mm)"), m_portHeight);
    m_class = new QComboBox(this);
    m_class->setObjectName(QStringLiteral("cmbClasse"));
    for (EngineClass c :
         {EngineClass::Road, EngineClass::Enduro, EngineClass::Motocross, EngineClass::GrandPrix})
        m_class->addItem(engineClassName(c), engineClassName(c));
    rows->addRow(tr("Classe del motore"), m_class);
    m_divergent = formBox(QStringLiteral("opt_cone-divergent"), this);
    m_convergent = formBox(QStringLiteral("opt_cone-convergent"), this);
    rows->addRow(tr("Semiangolo del divergente (\u00b0)"), m_divergent);
    rows->addRow(tr("Semiangolo del convergente (\u00b0)"), m_convergent);
    m_band = formBox(QStringLiteral("opt_band"), this);
    rows->addRow(tr("Fascia di giri, \u00b1 gradi"), m_band);

    connect(m_method, &QComboBox::currentIndexChanged, this, &PipeForm::methodChanged);
    connect(m_stages, &QLineEdit::textChanged, this, &PipeForm::methodChanged);
    connect(m_browse, &QPushButton::clicked, this, &PipeForm::chooseFile);
    for (QLineEdit *e : findChildren<QLineEdit *>())
        connect(e, &QLineEdit::textChanged, this, &PipeForm::changed);
    connect(m_method, &QComboBox::currentIndexChanged, this, &PipeForm::changed);
    connect(m_class, &QComboBox::currentIndexChanged, this, &PipeForm::changed);
    methodChanged();
}

PipeTexts PipeForm::texts() const
{
    PipeTexts t;
    t.method = m_method->currentData().toString();
    t.stages = m_stages->text();
    t.horn = m_horn->text();
    t.portWidth = m_portWidth->text();
    t.portHeight = m_portHeight->text();
    t.engineClass = m_class->currentData().toString();
    t.divergentAngle = m_divergent->text();
    t.convergentAngle = m_convergent->text();
    t.pipeFile = m_file->text();
    t.bandWidth = m_band->text();
    t.measured = m_measured;
    t.searched = m_searched;
    return t;
}

void PipeForm::setTexts(const PipeTexts &t)
{
    m_measured = t.measured;
    setSearched(t.searched);
    m_method->setCurrentIndex(std::max(0, m_method->findData(t.method)));
    m_stages->setText(t.stages);
    m_horn->setText(t.horn);
    m_portWidth->setText(t.portWidth);
    m_portHeight->setText(t.portHeight);
    m_class->setCurrentIndex(std::max(0, m_class->findData(t.engineClass)));
    m_divergent->setText(t.divergentAngle);
    m_convergent->setText(t.convergentAngle);
    m_file->setText(t.pipeFile);
    m_band->setText(t.bandWidth);
}

void PipeForm::setSearched(const std::optional<MeasuredPipe> &searched)
{
    // The searched pipe is a method of the box while the project has one, named by its band.
    m_searched = searched;
    const int at = m_method->findData(QLatin1String(SearchedMethod));
    if (!searched) {
        if (at >= 0)
            m_method->removeItem(at);
        return;
    }
    const QString caption = searchedPipeCaption(searched->source);
    if (at >= 0)
        m_method->setItemText(at, caption);
    else
        m_method->addItem(caption, QLatin1String(SearchedMethod));
}

void PipeForm::chooseFile()
{
    const QString path = m_platform.openFileName(
        this, tr("Tubo misurato"), tr("Tubo misurato CSV (*.csv)|*.csv|Tutti i file (*)|*"));
    if (path.isEmpty())
        return;
    // Read at once: a file refused is said now, and one read is kept with the project.
    const PipeRead read = readPipeFile(path);
    if (!read.ok()) {
        m_platform.showMessage(this, window()->windowTitle(), read.error, MessageIcon::Critical);
        return;
    }
    m_measured = MeasuredPipe{path, read.pipe};
    m_file->setText(path);
    m_method->setCurrentIndex(m_method->findData(QLatin1String(MeasuredMethod)));
}

void PipeForm::methodChanged()
{
    const QString m = m_method->currentData().toString();
    const bool blair = m.startsWith(QLatin1String("blair"));
    const bool measured =
        m == QLatin1String(MeasuredMethod) || m == QLatin1String(SearchedMethod);
    // Blair's methods set their own stages, a measured pipe keeps its own sections; the port
    // also checks the header of any pipe.
    m_stages->setEnabled(!blair && !measured);
    m_horn->setEnabled(blair || (!measured && m_stages->text().trimmed().toInt() > 1));
    m_class->setEnabled(blair);
    m_divergent->setEnabled(m == QLatin1String("jennings"));
    m_convergent->setEnabled(m == QLatin1String("jennings"));
    m_file->setEnabled(m == QLatin1String(MeasuredMethod));
}

} // namespace velmorant
