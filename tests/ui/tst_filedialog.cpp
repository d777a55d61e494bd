// The file dialogs speak Italian whatever the system's language.
#include "italianfiledialog.h"
#include "testfiles.h"

#include <QDir>
#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmorant;

class TestFileDialog : public QObject
{
    Q_OBJECT

private slots:
    void columnsInItalian();
};

// Under the C locale Qt would say "500 bytes", "Folder" and "plain text document".
void TestFileDialog::columnsInItalian()
{
    QLocale::setDefault(QLocale::c());
    QTemporaryDir tmp;
    QVERIFY(test::writeBytes(tmp.filePath("tubo.csv"), QByteArray(500, 'x')));
    QVERIFY(test::writeBytes(tmp.filePath("note"), QByteArray(2048, 'x')));
    QVERIFY(QDir(tmp.path()).mkdir("lamiere"));
    QFileSystemModel files;
    QSignalSpy loaded(&files, &QFileSystemModel::directoryLoaded);
    const QModelIndex folder = files.setRootPath(tmp.path());
    QVERIFY(loaded.wait(5000) || files.rowCount(folder) == 3);
    QTRY_COMPARE(files.rowCount(folder), 3);
    ItalianFileColumns columns;
    columns.setSourceModel(&files);
    auto cell = [&](const QString &name, int column) {
        const QModelIndex at = columns.mapFromSource(files.index(tmp.filePath(name), column));
        return columns.data(at, Qt::DisplayRole).toString();
    };
    QCOMPARE(cell("tubo.csv", 1), "500 byte");
    QCOMPARE(cell("tubo.csv", 2), "File CSV");
    QCOMPARE(cell("note", 1), "2,00 KiB");
    QCOMPARE(cell("note", 2), "File");
    QCOMPARE(cell("lamiere", 2), "Cartella");
    QCOMPARE(cell("lamiere", 1), QString());
    const QString date = cell("tubo.csv", 3);
    QVERIFY2(QRegularExpression("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$").match(date).hasMatch(),
             qPrintable(date));
    QCOMPARE(cell("tubo.csv", 0), "tubo.csv"); // the name as it is
}

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
