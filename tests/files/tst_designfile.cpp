#include "designfile.h"
#include "exact.h"
#include "failingdisk.h"
#include "number.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace velmorant;
using test::readAll;

namespace {

// The file set as a list of strings for comparison: numbers as "n:<value>", texts as "t:<text>".
QStringList describe(const FileSet &set)
{
    QStringList out;
    for (const FileValue &v : set) {
        if (const double *d = std::get_if<double>(&v))
            out << QStringLiteral("n:") + formatPlainNumber(*d);
        else
            out << QStringLiteral("t:") + std::get<QString>(v);
    }
    return out;
}

} // namespace

class TestDesignFile : public QObject
{
    Q_OBJECT

private slots:
    void defaultsBytes();
    void roundTrip_data();
    void roundTrip();
    void readerRules_data();
    void readerRules();
    void refusedContent_data();
    void refusedContent();
    void refusedPaths();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void replacesExistingFile();
};

void TestDesignFile::defaultsBytes()
{
    QCOMPARE(designFileBytes(defaultParameters()),
             QByteArray("100\r\n10000\r\n120\r\n180\r\n7\r\n3\r\n800\r\n4\r\n"));
}

void TestDesignFile::roundTrip_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("firstLines"); // the start of the file

    const QList<double> fractions{125.5, 10250.25, -120.125, 0.5, -0.75, 2.875, 650.1, 4.45};
    // Anything typed with up to 15 significant digits comes back as the same double.
    const QList<double> small{0.001, -0.999, 1e-6, 12345678.9, 3, 0.333333333333333, 7.25, 0.2};
    for (const char *loc : {"C", "en_US", "it_IT"}) {
        QTest::addRow("fractions %s", loc)
            << fractions << loc << QByteArray("125.5\r\n10250.25\r\n-120.125\r\n0.5\r\n-0.75\r\n");
        QTest::addRow("small and large %s", loc)
            << small << loc << QByteArray("0.001\r\n-0.999\r\n0.000001\r\n12345678.9\r\n3\r\n");
    }
}

void TestDesignFile::roundTrip()
{
    QFETCH(QList<double>, values);
    QFETCH(QString, locale);
    QFETCH(QByteArray, firstLines);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("design.vlr"));
    DesignParameters p;
    for (std::size_t i = 0; i < FieldCount; ++i)
        p.values[i] = values[int(i)];
    QVERIFY(!writeDesignFile(path, p).has_value());
    QVERIFY(readAll(path).startsWith(firstLines));

    const DesignFileRead read = readDesignFile(path);
    QVERIFY2(read.ok(), qPrintable(read.error));
    const QLocale loc(locale);
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const double back = std::get<double>(read.values[i]);
        // Exactly the same double, also after the trip through the box text of the locale
        // (values with up to 15 significant digits).
        COMPARE_EXACT(back, p.values[i]);
        COMPARE_EXACT(parseLocaleNumber(formatBoxNumber(back, loc), loc).value_or(-12345),
                      p.values[i]);
    }
}

void TestDesignFile::readerRules_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("fields");

    const QStringList defaults{"n:100", "n:10000", "n:120", "n:180", "n:7", "n:3", "n:800", "n:4"};
    QTest::newRow("CR LF") << QByteArray("100\r\n10000\r\n120\r\n180\r\n7\r\n3\r\n800\r\n4\r\n")
                           << defaults;
    QTest::newRow("LF only, no final line end")
        << QByteArray("100\n10000\n120\n180\n7\n3\n800\n4") << defaults;
    QTest::newRow("CR only") << QByteArray("100\r10000\r120\r180\r7\r3\r800\r4\r") << defaults;
    QTest::newRow("commas") << QByteArray("100,10000,120,180\r\n7,3,800,4\r\n") << defaults;
    QTest::newRow("leading blanks skipped")
        << QByteArray("  100\r\n\t10000\r\n 120 ,  180\r\n7\r\n3\r\n800\r\n4\r\n") << defaults;
    QTest::newRow("anything after the eighth ignored")
        << QByteArray("100,10000,120,180,7,3,800,4,99,junk\r\nmore junk\r\n") << defaults;
    QTest::newRow("value below one without zero")
        << QByteArray("100\r\n10000\r\n120\r\n180\r\n7\r\n.5\r\n-.25\r\n4.5\r\n")
        << QStringList{"n:100", "n:10000", "n:120", "n:180", "n:7", "n:0.5", "n:-0.25", "n:4.5"};
    QTest::newRow("quoted fields lose their quotes and stay texts")
        << QByteArray("\"cento, tondi\"\r\n\"10000\"\r\n120\r\n180\r\n7\r\n3\r\n800\r\n\"4\"\r\n")
        << QStringList{"t:cento, tondi", "t:10000", "n:120", "n:180", "n:7", "n:3", "n:800", "n:4"};
    QTest::newRow("empty line is an empty field")
        << QByteArray("100\r\n\r\n120\r\n180\r\n7\r\n3\r\n800\r\n4\r\n")
        << QStringList{"n:100", "t:", "n:120", "n:180", "n:7", "n:3", "n:800", "n:4"};
    QTest::newRow("text field kept, text eighth reads 0")
        << QByteArray("100\r\n10000\r\nabc\r\n180\r\n7\r\n3\r\n800\r\nquattro\r\n")
        << QStringList{"n:100", "n:10000", "t:abc", "n:180", "n:7", "n:3", "n:800", "n:0"};
    QTest::newRow("UTF-8 byte-order mark skipped")
        << QByteArray("\xEF\xBB\xBF"
                      "100\r\n10000\r\n120\r\n180\r\n7\r\n3\r\n800\r\n4\r\n")
        << defaults;
    QTest::newRow("text after a closing quote: a text, not the quoted number")
        << QByteArray("\"1\"00\r\n10000\r\n120\r\n180\r\n7\r\n3\r\n800\r\n\"4\"5\r\n")
        << QStringList{"t:\"1\"00", "n:10000", "n:120", "n:180", "n:7", "n:3", "n:800", "n:0"};
    QTest::newRow("comma decimal is two fields")
        << QByteArray("2,5\r\n10000\r\n120\r\n180\r\n7\r\n3\r\n800\r\n")
        << QStringList{"n:2", "n:5", "n:10000", "n:120", "n:180", "n:7", "n:3", "n:800"};
}

void TestDesignFile::readerRules()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, fields);
    const DesignFileRead read = parseDesignFile(content, QStringLiteral("x.vlr"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(describe(read.values), fields);
}

void TestDesignFile::refusedContent_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("messagePart");

    QTest::newRow("empty file") << QByteArray() << "non contiene gli otto valori";
    QTest::newRow("seven fields") << QByteArray("100\r\n10000\r\n120\r\n180\r\n7\r\n3\r\n800\r\n")
                                  << "non contiene gli otto valori";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                            << "non \u00e8 un file di testo";
    QTest::newRow("absurdly long first line") << QByteArray(5000, '1') << "riga troppo lunga";
}

void TestDesignFile::refusedContent()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, messagePart);
    const DesignFileRead read = parseDesignFile(content, QStringLiteral("/tmp/prova.vlr"));
    QVERIFY(!read.ok());
    QVERIFY2(read.error.contains(messagePart), qPrintable(read.error));
    QVERIFY(read.error.contains(QStringLiteral("/tmp/prova.vlr")));
}

void TestDesignFile::refusedPaths()
{
    QTemporaryDir dir;
    for (const QString &path : {dir.filePath(QStringLiteral("missing.vlr")), dir.path()}) {
        const DesignFileRead read = readDesignFile(path);
        QVERIFY(!read.ok());
        QVERIFY(read.error.contains(QDir::toNativeSeparators(path)));
    }
}

void TestDesignFile::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    QTest::newRow("locked folder") << "locked"
                                   << "permesso negato";
    // Fails in the middle of the data: a writer that truncates first would lose the old file.
    QTest::newRow("file-size limit") << "limit"
                                     << "dimensione massima";
}

void TestDesignFile::failedWriteKeepsOldFile()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString sub = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(sub));
    const QString path = sub + QStringLiteral("/old.vlr");
    const QByteArray old("125\r\n9000\r\n120\r\n190\r\n7\r\n3\r\n700\r\n4.5\r\n");
    QVERIFY(test::writeBytes(path, old));

    QString error;
    if (failure == "locked") {
        QVERIFY(QFile::setPermissions(sub, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                               QFile::ExeOther));
        error = test::asOrdinaryUser([&] {
                    return writeDesignFile(path, defaultParameters());
                }).value_or(QString());
        QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else {
        error = QString::fromUtf8(test::inChildWithFileSizeLimit([&] {
            return writeDesignFile(path, defaultParameters()).value_or(QString()).toUtf8();
        }));
    }
    QVERIFY2(error.contains(QStringLiteral("old.vlr")), qPrintable(error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QCOMPARE(readAll(path), old);
    QCOMPARE(test::entries(sub), QStringList{"old.vlr"}); // no leftovers
}

void TestDesignFile::replacesExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("design"));
    QVERIFY(test::writeBytes(path, QByteArray(300, 'x')));
    QVERIFY(!writeDesignFile(path, defaultParameters()).has_value());
    QCOMPARE(readAll(path), designFileBytes(defaultParameters()));
}

QTEST_GUILESS_MAIN(TestDesignFile)
#include "tst_designfile.moc"
