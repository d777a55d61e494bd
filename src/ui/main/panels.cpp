#include "panels.h"

#include "fonts.h"
#include "twips.h"
#include "version.h"
#include "widgets.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPixmap>
#include <QUrl>

namespace velmorant {

namespace {

constexpr int LabelRight = 3012;
constexpr int RowTops[FieldCount] = {240, 600, 960, 1320, 1800, 2160, 2520, 2880};
constexpr int LabelLefts[FieldCount] = {2040, 360, 600, 840, 120, 240, 240, 120};

QLineEdit *makeBox(const QString &name, QWidget *parent, int left, int top, int width)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setFont(sansSerifFont());
    box->setGeometry(twipsRect(left, top, width, 288));
    return box;
}

} // namespace

QString webAddressText()
{
    return QStringLiteral("www.velmorant.example");
}
QUrl webAddress()
{
    return QUrl(QStringLiteral("https://www.velmorant.example/"));
}

InputPanel::InputPanel(QWidget *parent)
{
    QGroupBox *frame =
        makeFrame(QStringLiteral("Frame1"), QStringLiteral("Input"), parent, 120, 480, 4692, 3252);
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const FieldInfo &info = fieldInfo(i);
        fitToText(makeLabel(QString::fromLatin1(info.labelName), fieldCaption(i), frame,
                            LabelLefts[i], RowTops[i], LabelRight - LabelLefts[i], 252,
                            Qt::AlignRight | Qt::AlignVCenter));
        m_boxes[i] = makeBox(QString::fromLatin1(info.boxName), frame, 3120, RowTops[i], 1452);
    }
    addEtchedRule(frame, QStringLiteral("Line1"), QStringLiteral("Line2"), 120, 4560, 1680);
}

ParameterTexts InputPanel::texts() const
{
    ParameterTexts t;
    for (std::size_t i = 0; i < FieldCount; ++i)
        t[i] = m_boxes[i]->text();
    return t;
}

void InputPanel::setTexts(const ParameterTexts &texts)
{
    for (std::size_t i = 0; i < FieldCount; ++i)
        m_boxes[i]->setText(texts[i]);
}

OutputPanel::OutputPanel(QWidget *parent)
{
    QGroupBox *frame = makeFrame(QStringLiteral("Frame2"), QStringLiteral("Output"), parent, 4920,
                                 480, 2772, 3252);
    static const int tops[ResultCount] = {240, 600, 960, 1320, 1680, 2160, 2520, 2880};
    for (std::size_t i = 0; i < ResultCount; ++i) {
        const ResultInfo &r = resultInfo(i);
        fitToText(makeLabel(QString::fromLatin1(r.labelName),
                            QCoreApplication::translate("velmorant", "%1 (mm)")
                                .arg(QLatin1String(r.name)),
                            frame, 240, tops[i], 700, 252, Qt::AlignRight | Qt::AlignVCenter));
        m_boxes[i] = makeBox(QString::fromLatin1(r.boxName), frame, 1080, tops[i], 1572);
    }
    addEtchedRule(frame, QStringLiteral("Line3"), QStringLiteral("Line4"), 120, 2640, 2040);
}

void OutputPanel::setResults(const std::array<QString, ResultCount> &texts)
{
    for (std::size_t i = 0; i < ResultCount; ++i)
        m_boxes[i]->setText(texts[i]);
}

void OutputPanel::clear()
{
    for (QLineEdit *box : m_boxes)
        box->setText(QString());
}

HeadingPanel::HeadingPanel(QWidget *parent) : QObject(parent)
{
    QGroupBox *frame =
        makeFrame(QStringLiteral("Frame4"), QString(), parent, 7800, 480, 3372, 3132);
    QLabel *heading = makeLabel(QStringLiteral("Label17"),
                                QStringLiteral("Velmorant v%1").arg(QLatin1String(VersionText)),
                                frame, 525, 120, 2085, 330, Qt::AlignCenter);
    heading->setFont(tahomaFont(13.8, true, true));
    fitToText(heading);

    auto *picture = new ClickableLabel(frame);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(twipsRect(42, 600, 3048, 2100));
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/velmorant.png")));
    picture->setScaledContents(true);

    auto *link = new ClickableLabel(webAddressText(), frame);
    link->setObjectName(QStringLiteral("Label18"));
    link->setGeometry(twipsRect(120, 2760, 2892, 288));
    link->setAlignment(Qt::AlignCenter);
    link->setFont(arialFont(12, true, true));
    fitToText(link);
    QPalette pal = link->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0xC0));
    link->setPalette(pal);

    for (ClickableLabel *l : {picture, link}) {
        l->setToolTip(tr("Visita il nostro sito!"));
        l->setCursor(Qt::PointingHandCursor);
        connect(l, &ClickableLabel::clicked, this, &HeadingPanel::webLinkClicked);
    }
}

} // namespace velmorant
