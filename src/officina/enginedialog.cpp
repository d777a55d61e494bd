#include "enginedialog.h"

#include "formbox.h"
#include "number.h"
#include "platform.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace velmorant {

EngineDialog::EngineDialog(Platform &platform, const QLocale &locale,
                           const waves::EngineInputs &engine, QWidget *parent)
    : QDialog(parent), m_platform(platform), m_locale(locale), m_engine(engine)
{
    setObjectName(QStringLiteral("dlgMotore"));
    setWindowTitle(tr("Motore"));
    auto *rows = new QFormLayout;
    for (const waves::EngineRange &r : waves::engineRanges()) {
        QLineEdit *box = formBox(QStringLiteral("opt_") + QLatin1String(r.option), this);
        box->setText(formatBoxNumber(engine.*r.member, locale));
        box->setToolTip(
            tr("Da %1 a %2").arg(formatBoxNumber(r.low, locale), formatBoxNumber(r.high, locale)));
        rows->addRow(QString::fromUtf8(r.caption), box);
        m_boxes << box;
    }
    for (const auto &[name, caption, value] :
         {std::tuple{"opt_bore", tr("Alesaggio (mm)"), engine.bore},
          std::tuple{"opt_stroke", tr("Corsa (mm)"), engine.stroke}}) {
        QLineEdit *box = formBox(QLatin1String(name), this);
        box->setPlaceholderText(tr("dalla cilindrata"));
        if (value)
            box->setText(formatBoxNumber(*value, locale));
        rows->addRow(caption, box);
        m_boxes << box;
    }
    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &EngineDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &EngineDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            [this] {
                const waves::EngineInputs defaults;
                for (int i = 0; i < waves::engineRanges().size(); ++i)
                    m_boxes[i]->setText(
                        formatBoxNumber(defaults.*waves::engineRanges()[i].member, m_locale));
                m_boxes[m_boxes.size() - 2]->clear();
                m_boxes.last()->clear();
            });
    auto *column = new QVBoxLayout(this);
    column->addLayout(rows);
    column->addWidget(buttons);
}

void EngineDialog::accept()
{
    waves::EngineInputs e = m_engine;
    auto refuse = [&](QLineEdit *box, const QString &caption, double low, double high) {
        m_platform.showMessage(
            this, windowTitle(),
            tr("Valore non valido per \u201c%1\u201d: serve un numero tra %2 "
               "e %3")
                .arg(caption, formatBoxNumber(low, m_locale), formatBoxNumber(high, m_locale)),
            MessageIcon::Critical);
        box->setFocus();
    };
    const QList<waves::EngineRange> &ranges = waves::engineRanges();
    for (int i = 0; i < ranges.size(); ++i) {
        const std::optional<double> v = parseSettingNumber(m_boxes[i]->text(), m_locale);
        if (!v || *v < ranges[i].low || *v > ranges[i].high)
            return refuse(m_boxes[i], QString::fromUtf8(ranges[i].caption), ranges[i].low,
                          ranges[i].high);
        e.*ranges[i].member = *v;
    }
    const std::pair<std::optional<double> *, QString> sides[] = {{&e.bore, tr("Alesaggio (mm)")},
                                                                 {&e.stroke, tr("Corsa (mm)")}};
    for (int k = 0; k < 2; ++k) {
        QLineEdit *box = m_boxes[ranges.size() + k];
        if (box->text().trimmed().isEmpty()) {
            sides[k].first->reset();
            continue;
        }
        const std::optional<double> v = parseSettingNumber(box->text(), m_locale);
        if (!v || *v < waves::SmallestBoreMm || *v > waves::LargestBoreMm)
            return refuse(box, sides[k].second, waves::SmallestBoreMm, waves::LargestBoreMm);
        *sides[k].first = v;
    }
    m_engine = e;
    QDialog::accept();
}

waves::EngineInputs readEngineSettings(QSettings &settings)
{
    waves::EngineInputs e;
    settings.beginGroup(QStringLiteral("Officina/Motore"));
    for (const waves::EngineRange &r : waves::engineRanges()) {
        bool ok = false;
        const double v = settings.value(QLatin1String(r.option)).toString().toDouble(&ok);
        if (ok && v >= r.low && v <= r.high)
            e.*r.member = v;
    }
    for (const auto &[key, into] : {std::pair{"bore", &e.bore}, std::pair{"stroke", &e.stroke}}) {
        bool ok = false;
        const double v = settings.value(QLatin1String(key)).toString().toDouble(&ok);
        if (ok && v >= waves::SmallestBoreMm && v <= waves::LargestBoreMm)
            *into = v;
    }
    settings.endGroup();
    return e;
}

void writeEngineSettings(QSettings &settings, const waves::EngineInputs &e)
{
    settings.beginGroup(QStringLiteral("Officina/Motore"));
    for (const waves::EngineRange &r : waves::engineRanges())
        settings.setValue(QLatin1String(r.option), QString::number(e.*r.member, 'g', 17));
    settings.setValue(QStringLiteral("bore"),
                      e.bore ? QString::number(*e.bore, 'g', 17) : QString());
    settings.setValue(QStringLiteral("stroke"),
                      e.stroke ? QString::number(*e.stroke, 'g', 17) : QString());
    settings.endGroup();
}

} // namespace velmorant
