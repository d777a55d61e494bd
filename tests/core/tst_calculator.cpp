// The main window's commands as core logic: what each one changes and what it asks to show.
#include "calculator.h"
#include "exact.h"
#include "texts.h"

#include <QtTest>

using namespace velmorant;

namespace {

ParameterTexts defaultTexts()
{
    return parameterTexts(defaultParameters(), QLocale::c());
}

ParameterTexts withText(std::size_t field, const QString &text)
{
    ParameterTexts t = defaultTexts();
    t[field] = text;
    return t;
}

QStringList list(const ParameterTexts &t)
{
    return QStringList(t.begin(), t.end());
}

template <std::size_t N> QStringList list(const std::array<QString, N> &t)
{
    return QStringList(t.begin(), t.end());
}

QStringList panels(const Screen &s)
{
    QStringList out;
    for (const std::optional<QString> &p : s.panels)
        out << (p ? *p : QStringLiteral("-"));
    return out;
}

const Message Done{QStringLiteral("Calcolo eseguito correttamente"), MessageIcon::None};

} // namespace

class TestCalculator : public QObject
{
    Q_OBJECT

private slots:
    void startup();
    void defaultsSucceed_data();
    void defaultsSucceed();
    void everyPressCounts_data();
    void everyPressCounts();
    void refusalChangesNoScreen_data();
    void refusalChangesNoScreen();
    void rejectedBoxIsNotStored_data();
    void rejectedBoxIsNotStored();
    void enteredValueReachesCaption_data();
    void enteredValueReachesCaption();
    void clearResetsCounterAndTexts();
    void counterSaturates();
    void defaultInput();
    void openShowsTheFile_data();
    void openShowsTheFile();
    void classificationAfterOpen();
    void saveTargets();
    void fileFailureShowsOnlyItsMessage();
};

void TestCalculator::startup()
{
    const Calculator c;
    const Screen s = c.startup(QLocale(QStringLiteral("it_IT")));
    QCOMPARE(list(*s.inputs), (QStringList{"100", "10000", "120", "180", "7", "3", "800", "4"}));
    QCOMPARE(panels(s), (QStringList{"Stato: Pronto per il Calcolo", "File: Nessuno",
                                     "Input: Valori di Default"}));
    QVERIFY(!s.message && !s.results && s.sketch == Screen::Sketch::Keep);
}

void TestCalculator::defaultsSucceed_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("en_US") << "en_US" << QStringList{"164.1", "219.7", "321.4", "121.3",
                                                     "200.0", "23.0",  "46.1",  "16.3"}
                           << QStringList{"L1=164.1 mm",   "L2=219.7 mm", "L3=321.4 mm",
                                          "L4=121.3 mm",   "L5=200.0 mm", "D1=23.0 mm",
                                          "D2=46.1 mm",    "D3=16.3 mm",  "Div=3.0\u00b0",
                                          "Conv=7.0\u00b0"};
    QTest::newRow("it_IT") << "it_IT" << QStringList{"164,1", "219,7", "321,4", "121,3",
                                                     "200,0", "23,0",  "46,1",  "16,3"}
                           << QStringList{"L1=164,1 mm",   "L2=219,7 mm", "L3=321,4 mm",
                                          "L4=121,3 mm",   "L5=200,0 mm", "D1=23,0 mm",
                                          "D2=46,1 mm",    "D3=16,3 mm",  "Div=3,0\u00b0",
                                          "Conv=7,0\u00b0"};
}

void TestCalculator::defaultsSucceed()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, results);
    QFETCH(QStringList, captions);

    Calculator c;
    const Screen s = c.calculate(defaultTexts(), QLocale(locale), 11520);
    QCOMPARE(list(*s.results), results);
    QCOMPARE(list(*s.captions), captions);
    QCOMPARE(panels(s), (QStringList{"Stato: 1 Calcolo eseguito - Pronto per un nuovo calcolo", "-",
                                     "Input: Valori di Default"}));
    QCOMPARE(c.state().inputSourceText, *s.panels[2]);
    QCOMPARE(*s.message, Done);
    QVERIFY(!s.messageBeforePanels && !s.inputs);

    // The sketch spans the 11520-twip frame from 1080 to 11400; captions are centred on their
    // segment until the window gives their widths.
    QCOMPARE(s.sketch, Screen::Sketch::Show);
    const SketchCoords &q0 = s.geometry.elements[sk::LineaQ0];
    QCOMPARE(q0.a, 1080.0f);
    QVERIFY(qAbs(q0.c - 11400.0f) < 0.01f);
    const SketchCoords &l1 = s.geometry.elements[sk::Linea1];
    COMPARE_EXACT(s.geometry.elements[sk::txtQL1].a, float((double(l1.a) + double(l1.c)) * 0.5));
}

void TestCalculator::everyPressCounts_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("after a rejected box") << 1 << "";
    QTest::newRow("after a negative L3") << 1 << "20000";
    QTest::newRow("after a value out of range") << 6 << "5";
}

void TestCalculator::everyPressCounts()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    Calculator c;
    const Screen first = c.calculate(withText(field, text), QLocale("en_US"), 11520);
    QCOMPARE(first.message->icon, MessageIcon::Critical);
    QCOMPARE(c.state().calculationCount, std::int16_t(1));

    const Screen second = c.calculate(defaultTexts(), QLocale("en_US"), 11520);
    QCOMPARE(*second.panels[0], "Stato: 2 Calcoli eseguiti - Pronto per un nuovo calcolo");
}

void TestCalculator::refusalChangesNoScreen_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<double>("stored"); // value of `field` in currentParameters afterwards

    QTest::newRow("negative L3") << 1 << "20000" << texts::negativeL3() << 20000.0;
    QTest::newRow("TEMP1 below 7") << 6 << "6" << texts::temperatureTooLow() << 6.0;
    QTest::newRow("opposite signs") << 0 << "-100" << texts::oppositeSigns() << -100.0;
    QTest::newRow("negative ratio") << 7 << "-4" << texts::negativeRatio() << -4.0;
    // tan(DIV) underflows: L2 and L3 are infinite, which is no negative length to correct.
    QTest::newRow("DIV 1e-320: not computable, not a negative L3")
        << 5 << "1e-320" << texts::outOfRange() << 1e-320;
    QTest::newRow("rejected box") << 4 << "sette"
                                  << "Errore nell'immissione dell'angolo convergente" << 7.0;
}

void TestCalculator::refusalChangesNoScreen()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(double, stored);

    Calculator c;
    ParameterTexts texts = defaultTexts();
    c.calculate(withText(0, QStringLiteral("125")), QLocale::c(), 11520); // "Valori Utente"
    texts[0] = field == 0 ? texts[0] : QStringLiteral("125");
    texts[field] = text;
    const Screen s = c.calculate(texts, QLocale("en_US"), 11520);
    QCOMPARE(*s.message, (Message{message, MessageIcon::Critical}));
    QVERIFY(!s.results && !s.captions && !s.inputs && s.sketch == Screen::Sketch::Keep);
    QCOMPARE(panels(s), (QStringList{"-", "-", "-"}));
    QCOMPARE(c.state().inputSourceText, texts::sourceUser());
    COMPARE_EXACT(c.state().currentParameters.values[field], stored);
    if (field != 0)
        QCOMPARE(c.state().currentParameters[Field::Cil], 125.0);
}

void TestCalculator::rejectedBoxIsNotStored_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << "0";
    QTest::newRow("0.0") << "0.0";
    QTest::newRow("00") << "00";
    QTest::newRow("empty") << "";
}

void TestCalculator::rejectedBoxIsNotStored()
{
    QFETCH(QString, text);
    Calculator c;
    c.calculate(withText(0, QStringLiteral("125")), QLocale::c(), 11520);
    ParameterTexts texts = withText(0, text);
    texts[3] = QStringLiteral("190"); // after the rejected box: not read
    const Screen s = c.calculate(texts, QLocale::c(), 11520);
    QCOMPARE(s.message->text, "Errore nell'immissione della Cilindrata");
    // What Save would now write keeps the last accepted value, never the refused 0.
    QCOMPARE(c.parametersToSave()[Field::Cil], 125.0);
    QCOMPARE(c.parametersToSave()[Field::Sc], 180.0);
}

void TestCalculator::enteredValueReachesCaption_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("divText");
    QTest::addColumn<QString>("rpmText");
    QTest::addColumn<QString>("divCaption");
    QTest::addColumn<QString>("l1Text");

    QTest::newRow("it 2,5 and 10.000") << "it_IT"
                                       << "2,5"
                                       << "10.000"
                                       << "Div=2,5\u00b0"
                                       << "164,1";
    QTest::newRow("en 2.5 and 10,000") << "en_US"
                                       << "2.5"
                                       << "10,000"
                                       << "Div=2.5\u00b0"
                                       << "164.1";
}

void TestCalculator::enteredValueReachesCaption()
{
    QFETCH(QString, locale);
    QFETCH(QString, divText);
    QFETCH(QString, rpmText);
    QFETCH(QString, divCaption);
    QFETCH(QString, l1Text);

    Calculator c;
    ParameterTexts texts = withText(5, divText);
    texts[1] = rpmText;
    const Screen s = c.calculate(texts, QLocale(locale), 11520);
    COMPARE_EXACT(c.state().currentParameters[Field::Div], 2.5);
    COMPARE_EXACT(c.state().currentParameters[Field::Rpm], 10000.0);
    QCOMPARE((*s.captions)[8], divCaption);
    QCOMPARE((*s.results)[0], l1Text);
    QCOMPARE(*s.panels[2], texts::sourceUser());
}

void TestCalculator::clearResetsCounterAndTexts()
{
    Calculator c;
    c.calculate(defaultTexts(), QLocale::c(), 11520);
    c.calculate(defaultTexts(), QLocale::c(), 11520);

    const Screen cleared = c.clear();
    QCOMPARE(panels(cleared),
             (QStringList{"Stato: Pronto per il calcolo", "-", "Input: Valori Utente"}));
    QCOMPARE(list(*cleared.results), QStringList(8, QString()));
    QCOMPARE(cleared.sketch, Screen::Sketch::Hide);
    QVERIFY(!cleared.message && !cleared.inputs);
    QCOMPARE(c.state().inputSourceText, *cleared.panels[2]);
    QCOMPARE(c.state().calculationCount, std::int16_t(0));
    QCOMPARE(c.state().currentParameters, defaultParameters()); // inputs untouched

    const Screen next = c.calculate(defaultTexts(), QLocale::c(), 11520);
    QCOMPARE(*next.panels[0], "Stato: 1 Calcolo eseguito - Pronto per un nuovo calcolo");
}

void TestCalculator::counterSaturates()
{
    Calculator c;
    for (int i = 0; i < 32765; ++i)
        c.calculate(withText(0, QString()), QLocale::c(), 11520); // quick: refused at once
    for (int expected : {32766, 32767, 32767, 32767}) {
        const Screen s = c.calculate(defaultTexts(), QLocale::c(), 11520);
        QCOMPARE(int(c.state().calculationCount), expected);
        QCOMPARE(*s.panels[0],
                 QStringLiteral("Stato: %1 Calcoli eseguiti - Pronto per un nuovo calcolo")
                     .arg(expected));
    }
}

void TestCalculator::defaultInput()
{
    Calculator c;
    c.calculate(withText(0, QStringLiteral("250")), QLocale::c(), 11520);
    for (int round = 0; round < 2; ++round) { // also when the values already are the defaults
        const Screen s = c.resetDefaults(QLocale(QStringLiteral("it_IT")));
        QCOMPARE(list(*s.inputs),
                 (QStringList{"100", "10000", "120", "180", "7", "3", "800", "4"}));
        QCOMPARE(*s.message, (Message{QStringLiteral("Ripristinati valori di input di default"),
                                      MessageIcon::Information}));
        QVERIFY(s.messageBeforePanels);
        QCOMPARE(panels(s), (QStringList{"-", "-", "Input: Valori di Default"}));
        // Results, sketch, the count and the file stay as they are.
        QVERIFY(!s.results && !s.captions && s.sketch == Screen::Sketch::Keep);
        QCOMPARE(c.parametersToSave(), defaultParameters());
        QCOMPARE(c.state().calculationCount, std::int16_t(1));
    }
}

void TestCalculator::openShowsTheFile_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("boxes");
    // Numbers in the box notation of the locale, without grouping; texts as they were.
    QTest::newRow("it_IT") << "it_IT" << QStringList{"100", "12500", "centoventi", "",
                                                     "7",   "-2,25", "800",        "4,5"};
    QTest::newRow("en_US") << "en_US" << QStringList{"100", "12500", "centoventi", "",
                                                     "7",   "-2.25", "800",        "4.5"};
}

void TestCalculator::openShowsTheFile()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, boxes);
    const FileSet set{100.0, 12500.0, QStringLiteral("centoventi"), QString(), 7.0, -2.25,
                      800.0, 4.5};
    Calculator c;
    c.saved(QStringLiteral("/progetti/salvato.vlr"), true);
    const Screen s = c.opened(QStringLiteral("/progetti/aperto.vlr"), set, QLocale(locale));
    QCOMPARE(list(*s.inputs), boxes);
    QCOMPARE(panels(s), (QStringList{"-", "File: aperto.vlr", "Input: Valori da File"}));
    QVERIFY(!s.message && !s.results && s.sketch == Screen::Sketch::Keep);
    // Open neither calculates nor becomes the target of Save.
    QCOMPARE(c.parametersToSave(), defaultParameters());
    QCOMPARE(c.saveTarget(), "/progetti/salvato.vlr");
    QCOMPARE(c.state().inputSourceText, texts::sourceDefaults());

    // The boxes read back as the same numbers; the text fields are refused, the first of them.
    const Screen calc = c.calculate(*s.inputs, QLocale(locale), 11520);
    QCOMPARE(calc.message->text, "Errore nell'immissione della fase di Aspirazione");
    COMPARE_EXACT(c.state().currentParameters[Field::Rpm], 12500.0);
}

void TestCalculator::classificationAfterOpen()
{
    const FileSet opened{125.0, 9000.0, 110.0, 190.0, 6.0, 3.0, 700.0, 4.0};
    Calculator c;
    const Screen s = c.opened(QStringLiteral("due.vlr"), opened, QLocale::c());
    QCOMPARE(*c.calculate(*s.inputs, QLocale::c(), 11520).panels[2], "Input: Valori da File");
    QCOMPARE(*c.calculate(withText(0, QStringLiteral("126")), QLocale::c(), 11520).panels[2],
             "Input: Valori Utente");
    // The defaults are tested first, also after opening a file that holds them.
    const FileSet defaults{100.0, 10000.0, 120.0, 180.0, 7.0, 3.0, 800.0, 4.0};
    c.opened(QStringLiteral("default.vlr"), defaults, QLocale::c());
    QCOMPARE(*c.calculate(defaultTexts(), QLocale::c(), 11520).panels[2],
             "Input: Valori di Default");
}

void TestCalculator::saveTargets()
{
    Calculator c;
    QVERIFY(c.saveTarget().isEmpty()); // the first Save asks
    Screen s = c.saved(QStringLiteral("/a/uno.vlr"), true);
    QCOMPARE(panels(s), (QStringList{"-", "File: uno.vlr", "Input: Valori da File"}));
    QCOMPARE(c.saveTarget(), "/a/uno.vlr");
    QCOMPARE(c.state().inputSourceText, texts::sourceDefaults()); // the panel only

    // After an Open, Save writes to the Save As path while panel 2 names the opened file.
    c.opened(QStringLiteral("/b/due.vlr"), FileSet{}, QLocale::c());
    s = c.saved(c.saveTarget(), false);
    QCOMPARE(*s.panels[1], "File: due.vlr");
    QCOMPARE(c.saveTarget(), "/a/uno.vlr");

    // What is written is the last calculation's values, not the boxes.
    c.calculate(withText(1, QStringLiteral("9000")), QLocale::c(), 11520);
    QCOMPARE(c.parametersToSave()[Field::Rpm], 9000.0);
}

void TestCalculator::fileFailureShowsOnlyItsMessage()
{
    const Screen s = Calculator::fileFailed(QStringLiteral("Impossibile salvare"));
    QCOMPARE(*s.message, (Message{QStringLiteral("Impossibile salvare"), MessageIcon::Critical}));
    QCOMPARE(panels(s), (QStringList{"-", "-", "-"}));
    QVERIFY(!s.inputs && !s.results && s.sketch == Screen::Sketch::Keep);
}

QTEST_GUILESS_MAIN(TestCalculator)
#include "tst_calculator.moc"
