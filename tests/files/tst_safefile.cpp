// The one write path and the one read path, under real failures.
#include "failingdisk.h"
#include "safefile.h"
#include "testfiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <ctime>

#include <sys/stat.h>
#include <sys/wait.h>
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
    void interruptedWriteLeavesNothing_data();
    void interruptedWriteLeavesNothing();
    void staleTemporariesOfKilledWritesRemoved();
    void longestNamesWritten_data();
    void longestNamesWritten();
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
    QTest::newRow("file just at the bound") << "bound" << QString();
    // Never read in part: a longer file is refused whole.
    QTest::newRow("file one byte over the bound") << "over"
                                                  << "il file supera il limite di 16 byte";
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
        QVERIFY(test::writeBytes(path, OldBytes.left(10)));
    else if (kind == "bound" || kind == "over")
        QVERIFY(test::writeBytes(path, QByteArray(kind == "bound" ? 16 : 17, 'x')));
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
    const QByteArray expected = kind == "file" ? OldBytes.left(10) : QByteArray(16, 'x');
    QCOMPARE(r.bytes, reason.isEmpty() ? expected : QByteArray());
}

void TestSafeFile::interruptedWriteLeavesNothing_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl-C") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
}

// A large write interrupted by a signal: the program ends as the signal asks, the old file is
// as it was, and its hidden temporary is gone.
void TestSafeFile::interruptedWriteLeavesNothing()
{
    QFETCH(int, signal);
    QTemporaryDir tmp;
    const QString path = tmp.filePath("k.dxf");
    QVERIFY(test::writeBytes(path, OldBytes));
    const pid_t child = ::fork();
    if (child == 0) {
        // As a program starts: the test framework's own handlers out of the way.
        for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            std::signal(sig, SIG_DFL);
        protectFileWrites();
        const QByteArray big(512 * 1024 * 1024, 'k');
        writeFileAtomically(path, big);
        ::_exit(0);
    }
    // Signalled once its temporary is there, while it is still being written.
    QElapsedTimer clock;
    clock.start();
    while (entries(tmp.path()).size() < 2 && clock.elapsed() < 20000)
        ::usleep(200);
    QCOMPARE(entries(tmp.path()).size(), 2);
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), signal);
    QCOMPARE(entries(tmp.path()), QStringList{"k.dxf"});
    QCOMPARE(readAll(path), OldBytes);
}

// A write killed outright leaves its temporary; the next write of the same name removes it,
// but not one that another write may still be making, nor any file of the user's that merely
// looks like a temporary (a backup, a random suffix of six letters and digits).
void TestSafeFile::staleTemporariesOfKilledWritesRemoved()
{
    QTemporaryDir tmp;
    const QStringList ours{".k.dxf.velmorant-tmp-Ab12Cd", ".k.dxf.velmorant-tmp-Zz99yy"};
    const QStringList users{".k.dxf.Ab12Cd",   ".k.dxf.backup", ".k.dxf.vecchi",
                            ".k.dxf.ours-not", ".j.dxf.velmorant-tmp-Ab12Cd"};
    for (const QString &n : ours + users)
        QVERIFY(test::writeBytes(tmp.filePath(n), "resto"));
    // An hour old, from before this program started, all but the second of ours.
    const timespec old[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
    for (const QString &n : QStringList{ours[0]} + users)
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(tmp.filePath(n)).constData(), old, 0), 0);
    QVERIFY(!writeFileAtomically(tmp.filePath("k.dxf"), NewBytes));
    QStringList expected = users + QStringList{ours[1], "k.dxf"};
    expected.sort();
    QCOMPARE(entries(tmp.path()), expected);
}

void TestSafeFile::longestNamesWritten_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("248 bytes") << QString(244, 'a') + ".vlr";
    QTest::newRow("255 bytes") << QString(251, 'b') + ".vlr";
    // 2-byte characters: the temporary's name is cut between them.
    QTest::newRow("255 bytes of accents") << QString(125, QChar(0xe8)) + "x.vlr";
}

// Any name the folder takes can be written, though a temporary beside it must be shorter.
void TestSafeFile::longestNamesWritten()
{
    QFETCH(QString, name);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(name);
    QVERIFY(QFile::encodeName(name).size() <= 255);
    const std::optional<QString> failed = writeFileAtomically(path, NewBytes);
    QVERIFY2(!failed, qPrintable(failed.value_or(QString())));
    QCOMPARE(readAll(path), NewBytes);
    QCOMPARE(entries(tmp.path()), QStringList{name});
    QVERIFY(!writeFileAtomically(path, OldBytes)); // and replaced
    QCOMPARE(readAll(path), OldBytes);
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
