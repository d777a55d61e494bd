#include "exact.h"
#include "inputsource.h"
#include "texts.h"
#include "validation.h"

#include <QtTest>

using namespace velmorant;

namespace {

ParameterTexts defaultTexts()
{
    return parameterTexts(defaultParameters(), QLocale::c());
}

} // namespace

class TestValidation : public QObject
{
    Q_OBJECT

private slots:
    void defaultTextsArePlainDigits();
    void rejection_data();
    void rejection();
    void storedValues_data();
    void storedValues();
    void partialStoreBeforeRejection();
    void classify_data();
    void classify();
};

void TestValidation::defaultTextsArePlainDigits()
{
    const QStringList expected{"100", "10000", "120", "180", "7", "3", "800", "4"};
    for (const char *loc : {"C", "en_US", "it_IT"}) {
        const ParameterTexts t = parameterTexts(defaultParameters(), QLocale(loc));
        QCOMPARE(QStringList(t.begin(), t.end()), expected);
    }
}

void TestValidation::rejection_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("message");

    QTest::newRow("CIL 0") << 0 << "0"
                           << "en_US"
                           << "Errore nell'immissione della Cilindrata";
    QTest::newRow("CIL 0.0") << 0 << "0.0"
                             << "en_US"
                             << "Errore nell'immissione della Cilindrata";
    QTest::newRow("CIL 00") << 0 << "00"
                            << "en_US"
                            << "Errore nell'immissione della Cilindrata";
    QTest::newRow("RPM empty") << 1 << ""
                               << "en_US"
                               << "Errore nell'immissione del Numero di giri";
    QTest::newRow("RPM letters") << 1 << "diecimila"
                                 << "en_US"
                                 << "Errore nell'immissione del Numero di giri";
    QTest::newRow("ASP") << 2 << "x"
                         << "en_US"
                         << "Errore nell'immissione della fase di Aspirazione";
    QTest::newRow("SC") << 3 << "-"
                        << "en_US"
                        << "Errore nell'immissione della fase di Scarico";
    QTest::newRow("CONV") << 4 << "7 gradi"
                          << "en_US"
                          << "Errore nell'immissione dell'angolo convergente";
    QTest::newRow("DIV comma under C") << 5 << "2,5"
                                       << "C"
                                       << "Errore nell'immissione dell'angolo divergente";
    QTest::newRow("TEMP1") << 6 << "nan"
                           << "en_US"
                           << "Errore nell'immissione della Temperatura di scarico";
    QTest::newRow("RAPPSEZ") << 7 << "inf"
                             << "it_IT"
                             << "Errore nell'immissione della rapporto delle sezioni";
}

void TestValidation::rejection()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, locale);
    QFETCH(QString, message);

    ParameterTexts texts = defaultTexts();
    texts[field] = text;
    DesignParameters current = defaultParameters();
    const std::optional<Rejection> r = readParameters(texts, QLocale(locale), current);
    QVERIFY(r.has_value());
    QCOMPARE(int(r->field), field);
    QCOMPARE(r->message, message);
}

void TestValidation::storedValues_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("stored");

    QTest::newRow("blanks around 120") << 2 << " 120 "
                                       << "en_US" << 120.0;
    QTest::newRow("1e4 in RPM") << 1 << "1e4"
                                << "en_US" << 10000.0;
    QTest::newRow("100.0 equals default") << 0 << "100.0"
                                          << "en_US" << 100.0;
    QTest::newRow("negative DIV") << 5 << "-3"
                                  << "en_US" << -3.0;
    // The stored value is the number the user typed and the program accepted.
    QTest::newRow("it 2,5 in DIV") << 5 << "2,5"
                                   << "it_IT" << 2.5;
    QTest::newRow("it 10.000 in RPM") << 1 << "10.000"
                                      << "it_IT" << 10000.0;
    QTest::newRow("en 1,000 in TEMP1") << 6 << "1,000"
                                       << "en_US" << 1000.0;
    QTest::newRow("it 0,5 in RPM") << 1 << "0,5"
                                   << "it_IT" << 0.5;
}

void TestValidation::storedValues()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, locale);
    QFETCH(double, stored);

    ParameterTexts texts = defaultTexts();
    texts[field] = text;
    DesignParameters current = defaultParameters();
    QVERIFY(!readParameters(texts, QLocale(locale), current).has_value());
    COMPARE_EXACT(current.values[field], stored);
    QCOMPARE(texts[field], text); // the box text itself is not rewritten
}

void TestValidation::partialStoreBeforeRejection()
{
    DesignParameters current = defaultParameters();
    current[Field::Temp1] = 650;
    current[Field::Rappsez] = 4.5;

    ParameterTexts texts = defaultTexts();
    texts[0] = "125";
    texts[3] = "190";
    texts[6] = "caldo";
    texts[7] = "5";
    const std::optional<Rejection> r = readParameters(texts, QLocale("en_US"), current);
    QVERIFY(r);
    QCOMPARE(r->field, std::size_t(6));
    QCOMPARE(current[Field::Cil], 125.0);
    QCOMPARE(current[Field::Sc], 190.0);
    QCOMPARE(current[Field::Temp1], 650.0); // not read
    QCOMPARE(current[Field::Rappsez], 4.5); // after the rejected box: not read
}

void TestValidation::classify_data()
{
    QTest::addColumn<QList<double>>("current");
    QTest::addColumn<QVariantList>("fileSet"); // empty: never opened
    QTest::addColumn<QString>("source");

    const QList<double> defaults{100, 10000, 120, 180, 7, 3, 800, 4};
    const QList<double> mine{125, 10000, 120, 190, 7, 3, 800, 4};
    auto asFile = [](const QList<double> &v) {
        QVariantList l;
        for (double d : v)
            l << d;
        return l;
    };

    QTest::newRow("defaults, nothing opened")
        << defaults << QVariantList() << texts::sourceDefaults();
    QTest::newRow("user values, nothing opened") << mine << QVariantList() << texts::sourceUser();
    QTest::newRow("defaults tested before the file set")
        << defaults << asFile(defaults) << texts::sourceDefaults();
    QTest::newRow("values of the opened file") << mine << asFile(mine) << texts::sourceFile();
    QTest::newRow("one field differs from the file")
        << mine << asFile({125, 10000, 120, 190, 7, 3, 800, 4.5}) << texts::sourceUser();
    QVariantList withText = asFile(mine);
    withText[2] = QStringLiteral("120");
    QTest::newRow("a text field equals no number") << mine << withText << texts::sourceUser();
}

void TestValidation::classify()
{
    QFETCH(QList<double>, current);
    QFETCH(QVariantList, fileSet);
    QFETCH(QString, source);

    DesignParameters p;
    for (std::size_t i = 0; i < FieldCount; ++i)
        p.values[i] = current[int(i)];
    FileSet files{};
    for (int i = 0; i < fileSet.size(); ++i) {
        if (fileSet[i].typeId() == QMetaType::QString)
            files[i] = fileSet[i].toString();
        else
            files[i] = fileSet[i].toDouble();
    }
    QCOMPARE(classifyInputSource(p, defaultParameters(), files), source);
}

QTEST_GUILESS_MAIN(TestValidation)
#include "tst_validation.moc"
