#include "calculation.h"
#include "exact.h"
#include "texts.h"

#include <QtTest>

using namespace velmorant;

namespace {

ParameterTexts defaultTexts()
{
    return parameterTexts(defaultParameters(), QLocale::c());
}

SketchFrame frame11520()
{
    // Captions 10 twips per character, enough to see that widths reach the geometry.
    return {11520, [](const QString &t) { return float(t.size() * 10); }};
}

} // namespace

class TestCalculation : public QObject
{
    Q_OBJECT

private slots:
    void defaultsSucceed_data();
    void defaultsSucceed();
    void everyPressCounts_data();
    void everyPressCounts();
    void failureKeepsSourceText_data();
    void failureKeepsSourceText();
    void enteredValueReachesCaption_data();
    void enteredValueReachesCaption();
    void clearResetsCounterAndTexts();
    void counterSaturates();
};

void TestCalculation::defaultsSucceed_data()
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

void TestCalculation::defaultsSucceed()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, results);
    QFETCH(QStringList, captions);

    CalculationState state;
    const CalculateOutcome out = calculate(state, defaultTexts(), QLocale(locale), frame11520());
    QVERIFY(out.succeeded());
    QCOMPARE(QStringList(out.resultTexts.begin(), out.resultTexts.end()), results);
    QCOMPARE(QStringList(out.captions.begin(), out.captions.end()), captions);
    QCOMPARE(out.panel1, "Stato: 1 Calcolo eseguito - Pronto per un nuovo calcolo");
    QCOMPARE(out.panel3, "Input: Valori di Default");
    QCOMPARE(state.inputSourceText, out.panel3);
    QCOMPARE(out.message, "Calcolo eseguito correttamente");

    // The sketch spans the 11520-twip frame from 1080 to 11400, captions centred with
    // the widths the frame reported for their texts.
    QVERIFY(out.sketch.drawable);
    const SketchCoords &q0 = out.sketch.elements[sk::LineaQ0];
    QCOMPARE(q0.a, 1080.0f);
    QVERIFY(qAbs(q0.c - 11400.0f) < 0.01f);
    const SketchCoords &l1 = out.sketch.elements[sk::Linea1];
    const SketchCoords &cap = out.sketch.elements[sk::txtQL1];
    QCOMPARE(cap.c, float(captions[0].size() * 10));
    COMPARE_EXACT(cap.a, float((double(l1.a) + double(l1.c)) * 0.5 - double(cap.c) * 0.5));
}

void TestCalculation::everyPressCounts_data()
{
    QTest::addColumn<QStringList>("firstPress"); // "field=text" changes for the first press
    QTest::addColumn<int>("firstKind");

    QTest::newRow("after a rejected box")
        << QStringList{"1="} << int(CalculateOutcome::Kind::Rejected);
    QTest::newRow("after a negative L3")
        << QStringList{"1=20000"} << int(CalculateOutcome::Kind::NegativeL3);
    QTest::newRow("after a value out of range")
        << QStringList{"6=5"} << int(CalculateOutcome::Kind::NotComputable);
}

void TestCalculation::everyPressCounts()
{
    QFETCH(QStringList, firstPress);
    QFETCH(int, firstKind);

    CalculationState state;
    ParameterTexts texts = defaultTexts();
    for (const QString &c : firstPress)
        texts[c.section('=', 0, 0).toInt()] = c.section('=', 1);
    const CalculateOutcome first = calculate(state, texts, QLocale("en_US"), frame11520());
    QCOMPARE(int(first.kind), firstKind);
    QCOMPARE(state.calculationCount, std::int16_t(1));

    const CalculateOutcome second =
        calculate(state, defaultTexts(), QLocale("en_US"), frame11520());
    QVERIFY(second.succeeded());
    QCOMPARE(second.panel1, "Stato: 2 Calcoli eseguiti - Pronto per un nuovo calcolo");
}

void TestCalculation::failureKeepsSourceText_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<double>("stored"); // value of `field` in currentParameters afterwards

    QTest::newRow("negative L3") << 1 << "20000" << texts::negativeL3() << 20000.0;
    QTest::newRow("TEMP1 below 7") << 6 << "6" << texts::temperatureTooLow() << 6.0;
    QTest::newRow("opposite signs") << 0 << "-100" << texts::oppositeSigns() << -100.0;
    QTest::newRow("negative ratio") << 7 << "-4" << texts::negativeRatio() << -4.0;
    QTest::newRow("rejected box") << 4 << "sette"
                                  << "Errore nell'immissione dell'angolo convergente" << 7.0;
}

void TestCalculation::failureKeepsSourceText()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(double, stored);

    CalculationState state;
    state.inputSourceText = texts::sourceFile();
    ParameterTexts texts = defaultTexts();
    texts[0] = field == 0 ? texts[0] : QStringLiteral("125");
    texts[field] = text;
    const CalculateOutcome out = calculate(state, texts, QLocale("en_US"), frame11520());
    QVERIFY(!out.succeeded());
    QCOMPARE(out.message, message);
    QCOMPARE(state.inputSourceText, texts::sourceFile());
    QCOMPARE(state.currentParameters.values[field], stored);
    if (field != 0)
        QCOMPARE(state.currentParameters[Field::Cil], 125.0);
}

void TestCalculation::enteredValueReachesCaption_data()
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

void TestCalculation::enteredValueReachesCaption()
{
    QFETCH(QString, locale);
    QFETCH(QString, divText);
    QFETCH(QString, rpmText);
    QFETCH(QString, divCaption);
    QFETCH(QString, l1Text);

    CalculationState state;
    ParameterTexts texts = defaultTexts();
    texts[5] = divText;
    texts[1] = rpmText;
    const CalculateOutcome out = calculate(state, texts, QLocale(locale), frame11520());
    QVERIFY(out.succeeded());
    COMPARE_EXACT(state.currentParameters[Field::Div], 2.5);
    COMPARE_EXACT(state.currentParameters[Field::Rpm], 10000.0);
    QCOMPARE(out.captions[8], divCaption);
    QCOMPARE(out.resultTexts[0], l1Text);
    QCOMPARE(out.panel3, texts::sourceUser());
}

void TestCalculation::clearResetsCounterAndTexts()
{
    CalculationState state;
    calculate(state, defaultTexts(), QLocale::c(), frame11520());
    calculate(state, defaultTexts(), QLocale::c(), frame11520());

    const ClearOutcome cleared = clearCalculation(state);
    QCOMPARE(cleared.panel1, "Stato: Pronto per il calcolo");
    QCOMPARE(cleared.panel3, "Input: Valori Utente");
    QCOMPARE(state.inputSourceText, cleared.panel3);
    QCOMPARE(state.calculationCount, std::int16_t(0));
    QCOMPARE(state.currentParameters, defaultParameters()); // inputs untouched

    const CalculateOutcome next = calculate(state, defaultTexts(), QLocale::c(), frame11520());
    QCOMPARE(next.panel1, "Stato: 1 Calcolo eseguito - Pronto per un nuovo calcolo");
}

void TestCalculation::counterSaturates()
{
    CalculationState state;
    state.calculationCount = 32765;
    for (int expected : {32766, 32767, 32767, 32767}) {
        const CalculateOutcome out = calculate(state, defaultTexts(), QLocale::c(), frame11520());
        QCOMPARE(int(state.calculationCount), expected);
        QCOMPARE(out.panel1, QStringLiteral("Stato: %1 Calcoli eseguiti - Pronto per un nuovo "
                                            "calcolo")
                                 .arg(expected));
    }
    ParameterTexts bad = defaultTexts();
    bad[0] = QString();
    calculate(state, bad, QLocale::c(), frame11520());
    QCOMPARE(int(state.calculationCount), 32767);
}

QTEST_GUILESS_MAIN(TestCalculation)
#include "tst_calculation.moc"
