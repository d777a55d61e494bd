// The measured pressure trace as a tuner's logger writes it.
#include "tracecsv.h"

#include <QtTest>

using namespace velmorant;

class TestTraceCsv : public QObject
{
    Q_OBJECT

private slots:
    void speedFromTheComment_data();
    void speedFromTheComment();
};

void TestTraceCsv::speedFromTheComment_data()
{
    QTest::addColumn<QByteArray>("comment");
    QTest::addColumn<double>("rpm"); // 0: none said
    QTest::newRow("plain") << QByteArray("# rpm 9500") << 9500.0;
    QTest::newRow("Italian grouping") << QByteArray("# giri/min: 9.500") << 9500.0;
    QTest::newRow("English grouping") << QByteArray("# giri/min: 12,500") << 12500.0;
    QTest::newRow("decimal comma") << QByteArray("# giri: 9500,5") << 9500.5;
    QTest::newRow("decimal point") << QByteArray("# rpm=9500.25") << 9500.25;
    QTest::newRow("below any engine") << QByteArray("# rpm 9.5") << 0.0;
    QTest::newRow("no speed") << QByteArray("# banco prova 3") << 0.0;
}

// "9.500" is nine thousand five hundred to whoever wrote it, never 9.5 rpm.
void TestTraceCsv::speedFromTheComment()
{
    QFETCH(QByteArray, comment);
    QFETCH(double, rpm);
    const waves::MeasuredTrace t =
        waves::readMeasuredTrace(comment + "\nangolo,bar\n90,1.1\n180,0.8\n270,1.4\n");
    QVERIFY2(t.ok(), qPrintable(t.error));
    QCOMPARE(t.points.size(), 3);
    QCOMPARE(t.rpm.value_or(0), rpm);
}

QTEST_GUILESS_MAIN(TestTraceCsv)
#include "tst_tracecsv.moc"
