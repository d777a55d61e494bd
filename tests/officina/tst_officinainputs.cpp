// The workshop window never writes over what its project reads.
#include "fakeplatform.h"
#include "officinafixture.h"
#include "plot/plotview.h"
#include "projectondisk.h"
#include "testfiles.h"
#include "windowtest.h"

#include <QDir>
#include <QtTest>

using namespace velmorant;
using test::readAll;

class TestOfficinaInputs : public QObject, test::OfficinaFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { test::prepareWindowTests(); }
    void init() { QVERIFY(startWindow()); }
    void cleanup() { w.reset(); }

    void outputsNeverLandOnInputs_data();
    void outputsNeverLandOnInputs();
};

void TestOfficinaInputs::outputsNeverLandOnInputs_data()
{
    QTest::addColumn<QString>("input");
    for (const char *input : {"measured", "compare", "intake", "ports", "bench", "trace"})
        QTest::newRow(input) << QString(input);
}

// Esporta, a plot's own export and Salva con nome, each pointed at a file the project reads:
// refused with a message, the file as it was, nothing new beside it.
void TestOfficinaInputs::outputsNeverLandOnInputs()
{
    QFETCH(QString, input);
    const test::ProjectOnDisk p;
    QVERIFY(w->openPath(p.project));
    settle();
    run("mnuCalcola");
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messages.value(0).text));
    const QString target = p.inputs.value(input);
    const QByteArray before = readAll(target);
    const QStringList entries = QDir(p.dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    auto band = w->findChild<plot::View *>("viewFascia");
    QVERIFY(band && !band->data().empty());
    const QList<std::function<void()>> writes{[&] { run("mnuEsporta"); },
                                              [&] { band->exportWithDialog(); },
                                              [&] { run("mnuSalvaConNome"); }};
    for (int k = 0; k < writes.size(); ++k) {
        platform.fileAnswers << target;
        writes[k]();
        QCOMPARE(platform.messages.size(), k + 1);
        QVERIFY2(platform.messages[k].text.contains("che il progetto legge"),
                 qPrintable(platform.messages[k].text));
        QCOMPARE(readAll(target), before);
        QCOMPARE(QDir(p.dir.path()).entryList(QDir::AllEntries | QDir::Hidden), entries);
    }
}

QTEST_MAIN(TestOfficinaInputs)
#include "tst_officinainputs.moc"
