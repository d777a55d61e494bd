#include "exact.h"
#include "number.h"

#include <QtTest>

using namespace velmorant;

class TestNumber : public QObject
{
    Q_OBJECT

private slots:
    void parseLocaleNumber_data();
    void parseLocaleNumber();
    void formatDimension_data();
    void formatDimension();
    void formatPlainNumber_data();
    void formatPlainNumber();
    void boxNumberRoundTrip_data();
    void boxNumberRoundTrip();
};

void TestNumber::parseLocaleNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("value");

    QTest::newRow("plain") << "120"
                           << "C" << true << 120.0;
    QTest::newRow("blanks around") << "  120\t "
                                   << "en_US" << true << 120.0;
    QTest::newRow("exponent") << "1e4"
                              << "en_US" << true << 10000.0;
    QTest::newRow("negative") << "-3"
                              << "en_US" << true << -3.0;
    QTest::newRow("plus sign") << "+7"
                               << "en_US" << true << 7.0;
    QTest::newRow("en decimal") << "2.5"
                                << "en_US" << true << 2.5;
    QTest::newRow("en grouping") << "1,000"
                                 << "en_US" << true << 1000.0;
    QTest::newRow("it decimal comma") << "2,5"
                                      << "it_IT" << true << 2.5;
    QTest::newRow("it grouping") << "10.000"
                                 << "it_IT" << true << 10000.0;
    QTest::newRow("it fraction below one") << "0,5"
                                           << "it_IT" << true << 0.5;
    QTest::newRow("zero reads as zero") << "0"
                                        << "C" << true << 0.0;
    QTest::newRow("empty") << ""
                           << "en_US" << false << 0.0;
    QTest::newRow("blanks only") << "   "
                                 << "en_US" << false << 0.0;
    QTest::newRow("letters") << "abc"
                             << "en_US" << false << 0.0;
    QTest::newRow("trailing letters") << "12abc"
                                      << "en_US" << false << 0.0;
    QTest::newRow("inner blank") << "1 2"
                                 << "en_US" << false << 0.0;
    QTest::newRow("nan") << "nan"
                         << "en_US" << false << 0.0;
    QTest::newRow("inf") << "inf"
                         << "en_US" << false << 0.0;
    QTest::newRow("overflow") << "1e999"
                              << "en_US" << false << 0.0;
}

void TestNumber::parseLocaleNumber()
{
    QFETCH(QString, text);
    QFETCH(QString, locale);
    QFETCH(bool, numeric);
    QFETCH(double, value);

    const std::optional<double> read = velmorant::parseLocaleNumber(text, QLocale(locale));
    QCOMPARE(read.has_value(), numeric);
    if (numeric)
        COMPARE_EXACT(*read, value);
}

void TestNumber::formatDimension_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("en L1") << 164.0627 << "en_US"
                           << "164.1";
    QTest::newRow("it L1") << 164.0627 << "it_IT"
                           << "164,1";
    QTest::newRow("en grouping") << 1213.88 << "en_US"
                                 << "1,213.9";
    QTest::newRow("it grouping") << 1213.88 << "it_IT"
                                 << "1.213,9";
    QTest::newRow("C no grouping") << 1213.88 << "C"
                                   << "1213.9";
    QTest::newRow("negative") << -40.2 << "en_US"
                              << "-40.2";
    QTest::newRow("it negative") << -40.2 << "it_IT"
                                 << "-40,2";
    QTest::newRow("whole") << 200.0 << "en_US"
                           << "200.0";
    QTest::newRow("zero") << 0.0 << "en_US"
                          << "0.0";
    QTest::newRow("negative zero") << -0.0 << "en_US"
                                   << "0.0";
    QTest::newRow("rounds to zero") << -0.04 << "it_IT"
                                    << "0,0";
    QTest::newRow("small negative kept") << -0.06 << "en_US"
                                         << "-0.1";
}

void TestNumber::formatDimension()
{
    QFETCH(double, value);
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QCOMPARE(velmorant::formatDimension(value, QLocale(locale)), text);
}

void TestNumber::formatPlainNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("whole") << 100.0 << "100";
    QTest::newRow("ten thousand") << 10000.0 << "10000";
    QTest::newRow("fraction") << 4.5 << "4.5";
    QTest::newRow("negative") << -3.0 << "-3";
    QTest::newRow("below one") << 0.5 << "0.5";
    QTest::newRow("negative below one") << -0.25 << "-0.25";
    QTest::newRow("tiny without exponent") << 1e-5 << "0.00001";
    QTest::newRow("huge without exponent") << 1.5e20 << "150000000000000000000";
    QTest::newRow("binary fraction") << 0.1 << "0.1";
    QTest::newRow("fifteen digits") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("mixed") << 123456.789 << "123456.789";
    QTest::newRow("zero") << 0.0 << "0";
}

void TestNumber::formatPlainNumber()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(velmorant::formatPlainNumber(value), text);
}

void TestNumber::boxNumberRoundTrip_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("it fraction") << 4.5 << "it_IT"
                                 << "4,5";
    QTest::newRow("it large fraction") << 12345.5 << "it_IT"
                                       << "12345,5";
    QTest::newRow("it negative") << -0.25 << "it_IT"
                                 << "-0,25";
    QTest::newRow("en fraction") << 4.5 << "en_US"
                                 << "4.5";
    QTest::newRow("en large whole") << 10000.0 << "en_US"
                                    << "10000";
    QTest::newRow("C fraction") << 2.75 << "C"
                                << "2.75";
}

void TestNumber::boxNumberRoundTrip()
{
    QFETCH(double, value);
    QFETCH(QString, locale);
    QFETCH(QString, text);
    const QLocale loc(locale);
    QCOMPARE(formatBoxNumber(value, loc), text);
    const std::optional<double> back = velmorant::parseLocaleNumber(text, loc);
    QVERIFY(back.has_value());
    COMPARE_EXACT(*back, value);
}

QTEST_GUILESS_MAIN(TestNumber)
#include "tst_number.moc"
