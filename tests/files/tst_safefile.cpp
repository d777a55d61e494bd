// The one write path and the one read path, under real failures.
#include "failingdisk.h"
#include "safefile.h"
#include "testfiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace velmorant;
using test::entries;
using test::readAll;

namespace {

const QByteArray OldBytes("125\r\n9000\r\n120\r\n190\r\n7\r\n3\r\n700\r\n4.5\r\n");
const QByteArray NewBytes(4000, 'n'); // larger than the old file and the size limit

} // namespace

class TestSafeFile : public QObject
{
    Q_OBJECT

private slots:
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void oddTargetsRefused_data();
    void oddTargetsRefused();
    void linkFollowedAndPermissionsKept();
    void readRefusesWhatIsNotAFile_data();
    void readRefusesWhatIsNotAFile();
};

void TestSafeFile::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    QTest::newRow("full disk") << "full"
                               << "spazio esaurito sul disco";
    QTest::newRow("file-size limit") << "limit"
                                     << "supera la dimensione massima";
    QTest::newRow("read-only folder") << "folder"
                                      << "permesso negato";
    QTest::newRow("read-only file") << "file"
                                    << "permesso negato";
    QTest::newRow("folder gone") << "gone"
                                 << "non esiste";
}

void TestSafeFile::failedWriteKeepsOldFile()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);

    QTemporaryDir tmp;
    std::unique_ptr<test::FullDisk> disk;
    QString folder = tmp.path();
    if (failure == "full") {
        disk = std::make_unique<test::FullDisk>(
            QList<QPair<QString, QByteArray>>{{QStringLiteral("old.vlr"), OldBytes}});
        if (!disk->available())
            QSKIP(qPrintable(disk->why()));
        folder = disk->folder();
    } else {
        QVERIFY(test::writeBytes(tmp.filePath("old.vlr"), OldBytes));
    }
    const QString path = folder + QStringLiteral("/old.vlr");
    const QStringList before = entries(folder);

    QString got;
    if (failure == "full") {
        got = writeFileAtomically(path, NewBytes).value_or(QString());
    } else if (failure == "limit") {
        got = QString::fromUtf8(test::inChildWithFileSizeLimit(
            [&] { return writeFileAtomically(path, NewBytes).value_or(QString()).toUtf8(); }));
    } else if (failure == "folder" || failure == "file") {
        const QString locked = failure == "folder" ? folder : path;
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
        got = test::asOrdinaryUser([&] {
                  return writeFileAtomically(path, NewBytes);
              }).value_or(QString());
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else {
        got = writeFileAtomically(tmp.filePath("gone/new.vlr"), NewBytes).value_or(QString());
    }

    QVERIFY2(got.contains(reason), qPrintable(got));
    QCOMPARE(readAll(path), OldBytes);
    QCOMPARE(entries(folder), before); // no temporary file left
}

void TestSafeFile::oddTargetsRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("FIFO") << "fifo"
                          << "non \u00e8 un file normale";
    QTest::newRow("device node") << "device"
                                 << "non \u00e8 un file normale";
    QTest::newRow("symbolic link loop") << "loop"
                                        << "collegamenti simbolici";
    QTest::newRow("folder") << "folder"
                            << "\u00e8 una cartella";
    QTest::newRow("no name") << "empty"
                             << "nessun nome";
}

void TestSafeFile::oddTargetsRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir tmp;
    const QString path = kind == "empty" ? QString() : tmp.filePath("target");
    const QByteArray native = QFile::encodeName(path);
    if (kind == "fifo")
        QVERIFY(::mkfifo(native.constData(), 0644) == 0);
    if (kind == "device" && ::mknod(native.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        QSKIP("creating a copy of /dev/null needs root");
    if (kind == "loop") {
        QVERIFY(QFile::link(tmp.filePath("other"), path));
        QVERIFY(QFile::link(path, tmp.filePath("other")));
    }
    if (kind == "folder")
        QVERIFY(QDir().mkdir(path));
    const QStringList before = entries(tmp.path());

    const std::optional<QString> got = writeFileAtomically(path, NewBytes);
    QVERIFY(got.has_value());
    QVERIFY2(got->contains(reason), qPrintable(*got));
    QCOMPARE(entries(tmp.path()), before);
    struct stat st
    {
    };
    if (kind == "fifo" || kind == "device") {
        QVERIFY(::lstat(native.constData(), &st) == 0);
        QVERIFY(kind == "fifo" ? S_ISFIFO(st.st_mode) : S_ISCHR(st.st_mode)); // still what it was
    }
}

void TestSafeFile::linkFollowedAndPermissionsKept()
{
    QTemporaryDir tmp;
    QVERIFY(QDir().mkdir(tmp.filePath("real")));
    const QString target = tmp.filePath("real/design.vlr");
    QVERIFY(test::writeBytes(target, OldBytes));
    QVERIFY(::chmod(QFile::encodeName(target).constData(), 0640) == 0);
    // A relative link, as users make them.
    QVERIFY(::symlink("real/design.vlr", QFile::encodeName(tmp.filePath("link.vlr"))) == 0);

    QVERIFY(!writeFileAtomically(tmp.filePath("link.vlr"), NewBytes).has_value());
    QVERIFY(QFileInfo(tmp.filePath("link.vlr")).isSymLink());
    QCOMPARE(readAll(target), NewBytes);
    struct stat st
    {
    };
    QVERIFY(::stat(QFile::encodeName(target).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
    QCOMPARE(entries(tmp.filePath("real")), QStringList{"design.vlr"});

    // A new file gets the usual permissions, not the temporary file's private ones.
    const mode_t mask = ::umask(022);
    QVERIFY(!writeFileAtomically(tmp.filePath("new.vlr"), OldBytes).has_value());
    ::umask(mask);
    QVERIFY(::stat(QFile::encodeName(tmp.filePath("new.vlr")).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0644));
}

void TestSafeFile::readRefusesWhatIsNotAFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason"); // empty: read
    QTest::newRow("regular file") << "file" << QString();
    QTest::newRow("FIFO with no writer") << "fifo"
                                         << "non \u00e8 un file normale";
    QTest::newRow("character device") << "/dev/zero"
                                      << "non \u00e8 un file normale";
    QTest::newRow("folder") << "folder"
                            << "\u00e8 una cartella";
    QTest::newRow("missing") << "missing"
                             << "non esiste";
}

void TestSafeFile::readRefusesWhatIsNotAFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir tmp;
    QString path = tmp.filePath("x");
    if (kind == "file")
        QVERIFY(test::writeBytes(path, OldBytes));
    else if (kind == "fifo")
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
    else if (kind == "folder")
        path = tmp.path();
    else if (kind.startsWith('/'))
        path = kind;

    QElapsedTimer clock;
    clock.start();
    const FileReading r = readRegularFile(path, 16);
    QVERIFY(clock.elapsed() < 1000); // never waits for a writer
    QCOMPARE(r.failure.isEmpty(), reason.isEmpty());
    QVERIFY2(r.failure.contains(reason), qPrintable(r.failure));
    QCOMPARE(r.bytes, reason.isEmpty() ? OldBytes.left(16) : QByteArray());
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
