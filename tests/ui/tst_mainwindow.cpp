#include "exact.h"
#include "fonts.h"
#include "fakeplatform.h"
#include "mainwindow.h"
#include "panels.h"
#include "sketchview.h"
#include "statusbar.h"
#include "twips.h"
#include "widgets.h"
#include "windowtest.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QtTest>

using namespace velmorant;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::prepareWindowTests(); }
    void init();
    void cleanup();

    void stateAfterStartup();
    void fixedLayout_data();
    void fixedLayout();
    void labelsFitTheirBoxes_data();
    void labelsFitTheirBoxes();
    void frameBorderRunsThroughCaption_data();
    void frameBorderRunsThroughCaption();
    void calculateDefaults_data();
    void calculateDefaults();
    void failedPressesLeaveScreen_data();
    void failedPressesLeaveScreen();
    void clearBeforeAndAfterCalculation();
    void tabOrder();
    void hidingBarsMovesNothing();
    void datePanelFollowsMidnight();

private:
    QStringList texts(const QStringList &names) const;
    QLineEdit *box(const char *name) const { return w->findChild<QLineEdit *>(name); }
    void press(const char *button)
    {
        QTest::mouseClick(w->findChild<QPushButton *>(button), Qt::LeftButton);
    }

    FakePlatform platform;
    std::unique_ptr<MainWindow> w;
};

static const QStringList InputBoxes{"txtCil",  "txtRPM", "txtAsp",   "txtSc",
                                    "txtConv", "txtDiv", "txtTemp1", "txtRappsez"};
static const QStringList ResultBoxes{"txtL1", "txtL2", "txtL3", "txtL4",
                                     "txtL5", "txtD1", "txtD2", "txtD3"};
static const QStringList Captions{"txtQL1", "txtQL2", "txtQL3", "txtQL4",  "txtQL5",
                                  "txtQD1", "txtQD2", "txtQD3", "txtQDiv", "txtQConv"};

void TestMainWindow::init()
{
    platform = FakePlatform();
    w = std::make_unique<MainWindow>(platform, nullptr, QLocale(QStringLiteral("en_US")));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
}

void TestMainWindow::cleanup()
{
    w.reset();
    // Back to the fonts of start-up.
    for (const char *design : {"MS Sans Serif", "Arial", "Tahoma"})
        QFont::removeSubstitutions(QLatin1String(design));
    installFontSubstitutions();
}

void TestMainWindow::labelsFitTheirBoxes_data()
{
    // The fonts the package brings, each standing for the layout's own.
    QTest::addColumn<QString>("family");
    QTest::newRow("Liberation Sans") << "Liberation Sans";
    QTest::newRow("DejaVu Sans") << "DejaVu Sans";
}

// At the designed geometry every label's text lies within its box, and every box within its
// frame: a substitute font wider than the layout's own once pushed "Angolo del tratto
// Convergente" past the frame's left edge.
void TestMainWindow::labelsFitTheirBoxes()
{
    QFETCH(QString, family);
    if (!QFontInfo(QFont(family)).exactMatch())
        QSKIP(qPrintable(family + " is not installed"));
    w.reset();
    for (const char *design : {"MS Sans Serif", "Arial", "Tahoma"}) {
        QFont::removeSubstitutions(QLatin1String(design));
        QFont::insertSubstitution(QLatin1String(design), family);
    }
    w = std::make_unique<MainWindow>(platform, nullptr, QLocale(QStringLiteral("it_IT")));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    int checked = 0;
    for (QLabel *label : w->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(w.get()) || label->wordWrap() ||
            !label->objectName().startsWith(QLatin1String("Label")))
            continue;
        QCOMPARE(QFontInfo(label->font()).family(), family);
        const double needed = QFontMetricsF(label->font()).horizontalAdvance(label->text());
        QVERIFY2(needed <= label->contentsRect().width(),
                 qPrintable(QStringLiteral("%1 \"%2\": %3 px in %4")
                                .arg(label->objectName(), label->text())
                                .arg(needed)
                                .arg(label->contentsRect().width())));
        const QRect inParent = label->geometry();
        QVERIFY2(inParent.left() >= 0 && inParent.right() < label->parentWidget()->width(),
                 qPrintable(label->objectName()));
        ++checked;
    }
    QVERIFY(checked >= 18); // the sixteen rows' labels, the heading and the link
}

QStringList TestMainWindow::texts(const QStringList &names) const
{
    QStringList out;
    for (const QString &n : names) {
        if (auto *edit = w->findChild<QLineEdit *>(n))
            out << edit->text();
        else
            out << w->findChild<QLabel *>(n)->text();
    }
    return out;
}

void TestMainWindow::stateAfterStartup()
{
    QCOMPARE(w->windowTitle(), "Velmorant");
    QCOMPARE(texts(InputBoxes), (QStringList{"100", "10000", "120", "180", "7", "3", "800", "4"}));
    QCOMPARE(texts(ResultBoxes), QStringList(8, QString()));
    QVERIFY(!w->sketchView().isSketchShown());
    for (const QString &c : Captions)
        QVERIFY(!w->findChild<QLabel *>(c)->isVisible());
    QCOMPARE(w->statusPanels().panelText(1), "Stato: Pronto per il Calcolo");
    QCOMPARE(w->statusPanels().panelText(2), "File: Nessuno");
    QCOMPARE(w->statusPanels().panelText(3), "Input: Valori di Default");
    QVERIFY(!w->statusPanels().panelText(4).isEmpty());

    // Fixed size, no minimise or maximise button.
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
    // No button reacts to Enter or Escape.
    for (const char *b : {"cmdCalcola", "cmdReset", "cmdClear"}) {
        QVERIFY(!w->findChild<QPushButton *>(b)->isDefault());
        QVERIFY(!w->findChild<QPushButton *>(b)->autoDefault());
    }
}

void TestMainWindow::fixedLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twipsRect"); // left, top, width, height in twips

    QTest::newRow("Frame1") << "Frame1" << QRect(120, 480, 4692, 3252);
    QTest::newRow("Frame2") << "Frame2" << QRect(4920, 480, 2772, 3252);
    QTest::newRow("Frame4") << "Frame4" << QRect(7800, 480, 3372, 3132);
    QTest::newRow("Frame3 resized by start-up") << "Frame3" << QRect(120, 3840, 11520, 3720);
    QTest::newRow("cmdCalcola") << "cmdCalcola" << QRect(2400, 20, 1140, 270);
    QTest::newRow("cmdReset") << "cmdReset" << QRect(3670, 20, 1140, 270);
    QTest::newRow("cmdClear") << "cmdClear" << QRect(4920, 20, 1140, 270);
    QTest::newRow("txtCil") << "txtCil" << QRect(3120, 240, 1452, 288);
    QTest::newRow("txtConv") << "txtConv" << QRect(3120, 1800, 1452, 288);
    QTest::newRow("txtRappsez") << "txtRappsez" << QRect(3120, 2880, 1452, 288);
    QTest::newRow("txtL5") << "txtL5" << QRect(1080, 1680, 1572, 288);
    QTest::newRow("txtD1") << "txtD1" << QRect(1080, 2160, 1572, 288);
    QTest::newRow("Label9") << "Label9" << QRect(240, 240, 700, 252);
    QTest::newRow("Image1") << "Image1" << QRect(42, 600, 3048, 2100);
    QTest::newRow("Line1") << "Line1" << QRect(120, 1680, 4440, 15);
    QTest::newRow("Line3") << "Line3" << QRect(120, 2040, 2520, 15);
}

void TestMainWindow::fixedLayout()
{
    QFETCH(QString, name);
    QFETCH(QRect, twipsRect);
    QWidget *widget = w->findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->geometry(), velmorant::twipsRect(twipsRect.x(), twipsRect.y(),
                                                      twipsRect.width(), twipsRect.height()));
}

void TestMainWindow::frameBorderRunsThroughCaption_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("firstRow"); // the topmost control inside
    QTest::newRow("Input") << "Frame1"
                           << "txtCil";
    QTest::newRow("Output") << "Frame2"
                            << "txtL1";
    QTest::newRow("Geometria") << "Frame3" << QString();
}

void TestMainWindow::frameBorderRunsThroughCaption()
{
    QFETCH(QString, name);
    QFETCH(QString, firstRow);
    auto *frame = w->findChild<DesignFrame *>(name);
    QVERIFY(frame);
    const QImage image = frame->grab().toImage();
    const QRgb background = image.pixel(image.width() / 2, image.height() / 2);
    // The top border, found where no caption is: near the right edge.
    int border = -1;
    for (int y = 0; y < image.height() && border < 0; ++y)
        if (image.pixel(image.width() - 6, y) != background)
            border = y;
    const int band = frame->captionHeight();
    QCOMPARE(border, band / 2); // through the middle of the caption, not below it
    // The caption interrupts the line: left of the text the line shows, under it it does not.
    QVERIFY(image.pixel(2, border) != background);
    bool gap = false;
    for (int x = 8; x < 8 + frame->fontMetrics().horizontalAdvance(frame->title()); ++x)
        gap |= image.pixel(x, border) == background;
    QVERIFY(gap);
    // Every row sits below the caption, clear of the line.
    if (!firstRow.isEmpty())
        QVERIFY(w->findChild<QWidget *>(firstRow)->y() >= band);
}

void TestMainWindow::calculateDefaults_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<QString>("l1Caption");
    QTest::addColumn<QString>("divCaption");

    QTest::newRow("en_US") << "en_US" << QStringList{"164.1", "219.7", "321.4", "121.3",
                                                     "200.0", "23.0",  "46.1",  "16.3"}
                           << "L1=164.1 mm"
                           << "Div=3.0\u00b0";
    QTest::newRow("it_IT") << "it_IT" << QStringList{"164,1", "219,7", "321,4", "121,3",
                                                     "200,0", "23,0",  "46,1",  "16,3"}
                           << "L1=164,1 mm"
                           << "Div=3,0\u00b0";
}

void TestMainWindow::calculateDefaults()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, results);
    QFETCH(QString, l1Caption);
    QFETCH(QString, divCaption);

    w = std::make_unique<MainWindow>(platform, nullptr, QLocale(locale));
    w->show();
    press("cmdCalcola");

    QCOMPARE(texts(ResultBoxes), results);
    QCOMPARE(texts({"txtQL1", "txtQDiv"}), (QStringList{l1Caption, divCaption}));
    QCOMPARE(w->statusPanels().panelText(1),
             "Stato: 1 Calcolo eseguito - Pronto per un nuovo calcolo");
    QCOMPARE(w->statusPanels().panelText(3), "Input: Valori di Default");
    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(platform.messages[0].title, "Velmorant");
    QCOMPARE(platform.messages[0].text, "Calcolo eseguito correttamente");
    QCOMPARE(platform.messages[0].icon, MessageIcon::None);

    // The sketch is the core's geometry for this frame and these caption widths.
    QVERIFY(w->sketchView().isSketchShown());
    const SketchGeometry &g = w->sketchView().geometry();
    std::array<float, SketchCaptionCount> widths;
    for (std::size_t i = 0; i < SketchCaptionCount; ++i)
        widths[i] = w->sketchView().captionWidth(w->sketchView().caption(i)->text());
    SketchGeometry expected = drawSketch(computeChamber(defaultParameters()), 11520);
    placeCaptions(expected, widths);
    for (std::size_t i = 0; i < SketchElementCount; ++i) {
        COMPARE_EXACT(g.elements[i].a, expected.elements[i].a);
        COMPARE_EXACT(g.elements[i].b, expected.elements[i].b);
        COMPARE_EXACT(g.elements[i].c, expected.elements[i].c);
        COMPARE_EXACT(g.elements[i].d, expected.elements[i].d);
    }
    QCOMPARE(g.elements[sk::LineaQ0].a, 1080.0f);
    for (std::size_t i = 0; i < SketchCaptionCount; ++i) {
        QLabel *label = w->sketchView().caption(i);
        QVERIFY(label->isVisible());
        const SketchCoords &c = g.elements[FirstCaption + i];
        QCOMPARE(label->geometry(), twipsRect(c.a, c.b, c.c, c.d));
        // Sized to its text: nothing of the caption is cut off.
        if (label->objectName() != QLatin1String("txtQDiv"))
            QVERIFY(label->width() >= label->sizeHint().width() - 1);
    }
}

void TestMainWindow::failedPressesLeaveScreen_data()
{
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("rejected box") << "txtAsp"
                                  << "abc"
                                  << "Errore nell'immissione della fase di Aspirazione";
    QTest::newRow("negative L3") << "txtRPM"
                                 << "20000"
                                 << "Lunghezza L3 negativa, modificare alcuni dati di input";
    QTest::newRow("not computable") << "txtTemp1"
                                    << "5"
                                    << "Temperatura di scarico troppo bassa per il calcolo, "
                                       "modificare alcuni dati di input";
}

void TestMainWindow::failedPressesLeaveScreen()
{
    QFETCH(QString, boxName);
    QFETCH(QString, text);
    QFETCH(QString, message);

    press("cmdCalcola");
    const QStringList shownResults = texts(ResultBoxes);
    const QStringList shownCaptions = texts(Captions);
    const SketchGeometry shownSketch = w->sketchView().geometry();
    const QString panel1 = w->statusPanels().panelText(1);

    box(qPrintable(boxName))->setText(text);
    press("cmdCalcola");
    QCOMPARE(platform.messages.last().text, message);
    QCOMPARE(platform.messages.last().icon, MessageIcon::Critical);
    QCOMPARE(platform.messages.last().title, "Velmorant");
    QCOMPARE(texts(ResultBoxes), shownResults);
    QCOMPARE(texts(Captions), shownCaptions);
    QVERIFY(w->sketchView().isSketchShown());
    QCOMPARE(w->sketchView().geometry().elements[sk::Linea1 + 1].c,
             shownSketch.elements[sk::Linea1 + 1].c);
    QCOMPARE(w->statusPanels().panelText(1), panel1);
    QCOMPARE(box(qPrintable(boxName))->text(), text); // the box keeps what the user typed

    box(qPrintable(boxName))
        ->setText(boxName == "txtAsp"   ? "120"
                  : boxName == "txtRPM" ? "10000"
                                        : "800");
    press("cmdCalcola");
    QCOMPARE(w->statusPanels().panelText(1),
             "Stato: 3 Calcoli eseguiti - Pronto per un nuovo calcolo");
}

void TestMainWindow::clearBeforeAndAfterCalculation()
{
    for (int round = 0; round < 2; ++round) {
        if (round == 1)
            press("cmdCalcola");
        press("cmdClear");
        QCOMPARE(w->statusPanels().panelText(1), "Stato: Pronto per il calcolo");
        QCOMPARE(w->statusPanels().panelText(3), "Input: Valori Utente");
        QCOMPARE(w->statusPanels().panelText(2), "File: Nessuno");
        QCOMPARE(texts(ResultBoxes), QStringList(8, QString()));
        QVERIFY(!w->sketchView().isSketchShown());
        for (const QString &c : Captions)
            QVERIFY(!w->findChild<QLabel *>(c)->isVisible());
        QCOMPARE(texts(InputBoxes),
                 (QStringList{"100", "10000", "120", "180", "7", "3", "800", "4"}));
    }
    // Clear keeps the caption texts; the next press counts from 1 again.
    QCOMPARE(w->findChild<QLabel *>("txtQL1")->text(), "L1=164.1 mm");
    press("cmdCalcola");
    QCOMPARE(w->statusPanels().panelText(1),
             "Stato: 1 Calcolo eseguito - Pronto per un nuovo calcolo");
    QVERIFY(w->sketchView().isSketchShown());
}

void TestMainWindow::tabOrder()
{
    const QStringList order =
        InputBoxes + QStringList{"cmdCalcola"} + ResultBoxes + QStringList{"cmdClear", "cmdReset"};
    QWidget *widget = box("txtCil");
    for (int i = 1; i < order.size(); ++i) {
        widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus))
            widget = widget->nextInFocusChain();
        QCOMPARE(widget->objectName(), order[i]);
    }
}

void TestMainWindow::hidingBarsMovesNothing()
{
    QList<QRect> before;
    const QStringList watched{"Frame1", "Frame2", "Frame3", "Frame4", "sbStatusBar"};
    for (const QString &n : watched)
        before << w->findChild<QWidget *>(n)->geometry();
    const QSize size = w->size();

    w->findChild<QAction *>("mnuViewToolbar")->trigger();
    QVERIFY(!w->findChild<QToolBar *>("tbToolBar")->isVisible());
    QVERIFY(!w->findChild<QPushButton *>("cmdCalcola")->isVisible());
    w->findChild<QAction *>("mnuViewStatusBar")->trigger();
    QVERIFY(!w->findChild<QWidget *>("sbStatusBar")->isVisible());
    QCoreApplication::processEvents();
    for (int i = 0; i < watched.size(); ++i)
        QCOMPARE(w->findChild<QWidget *>(watched[i])->geometry(), before[i]);
    QCOMPARE(w->size(), size);
}

// The date in Italian whatever the system's language (the tests run under C).
void TestMainWindow::datePanelFollowsMidnight()
{
    QDateTime now(QDate(2026, 12, 31), QTime(23, 59, 59, 900));
    StatusBar bar(nullptr, [&now] { return now; });
    QCOMPARE(bar.panelText(4), QStringLiteral("31/12/26"));
    now = QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0, 100));
    QTRY_COMPARE_WITH_TIMEOUT(bar.panelText(4), QStringLiteral("01/01/27"), 2000);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
