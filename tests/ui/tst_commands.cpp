#include "aboutbox.h"
#include "designfile.h"
#include "exact.h"
#include "failingdisk.h"
#include "fakeplatform.h"
#include "mainwindow.h"
#include "panels.h"
#include "qtplatform.h"
#include "sketchview.h"
#include "statusbar.h"
#include "testfiles.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "translations.h"

#include <cstdio>

using namespace velmorant;
using test::readAll;
using test::writeBytes;

namespace {

// Closes the modal dialog that is about to open with a key, once it is up.
void pressInNextModal(Qt::Key key, bool *seenModal)
{
    QTimer::singleShot(0, [key, seenModal] {
        QWidget *modal = QApplication::activeModalWidget();
        *seenModal = modal && modal->objectName() == QLatin1String("frmAbout");
        if (modal)
            QTest::keyClick(modal, key);
    });
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::prepareWindowTests(); }
    void init();
    void cleanup() { w.reset(); }

    void menuTree();
    void commandRouting_data();
    void commandRouting();
    void toolbarKeys();
    void saveWritesCurrentParameters_data();
    void saveWritesCurrentParameters();
    void firstSaveAsksForPath();
    void cancelledDialogsChangeNothing();
    void refusedOpenChangesNothing_data();
    void refusedOpenChangesNothing();
    void failedSaveChangesNothing();
    void saveOnFailingDiskKeepsOldFile_data();
    void saveOnFailingDiskKeepsOldFile();
    void qtDialogsSpeakItalian();
    void defaultInputKeepsResults();
    void togglesFollowCheckMark();
    void printCopies_data();
    void printCopies();
    void aboutBox();
    void webLinks();

private:
    QString panel(int i) const { return w->statusPanels().panelText(i); }
    QAction *action(const char *name) const { return w->findChild<QAction *>(name); }
    QLineEdit *box(std::size_t field) const { return w->inputPanel().box(field); }
    ParameterTexts boxTexts() const { return w->inputPanel().texts(); }
    void recreate(const QLocale &locale);

    FakePlatform platform;
    std::unique_ptr<MainWindow> w;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestCommands::recreate(const QLocale &locale)
{
    w = std::make_unique<MainWindow>(platform, nullptr, locale);
    w->show();
}

void TestCommands::init()
{
    platform = FakePlatform();
    dir = std::make_unique<QTemporaryDir>();
    recreate(QLocale(QStringLiteral("en_US")));
}

void TestCommands::menuTree()
{
    const QList<QAction *> menus = w->menuBar()->actions();
    QStringList top;
    for (QAction *m : menus)
        top << m->text();
    QCOMPARE(top, (QStringList{"File", "Visualizza", "Azioni", "Aiuto"}));

    const QList<QStringList> entries{
        {"Apri", "-", "Salva", "Salva con nome...", "-", "Stampa", "-", "Esci"},
        {"Barra degli Strumenti", "Barra di Stato"},
        {"Calcola", "Default Input", "Clear"},
        {"Informazioni"}};
    for (int i = 0; i < menus.size(); ++i) {
        QStringList captions;
        for (QAction *a : menus[i]->menu()->actions()) {
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
            QVERIFY(a->shortcut().isEmpty());
            QVERIFY(!a->text().contains(QLatin1Char('&')));
            QVERIFY(a->isEnabled() && a->isVisible());
        }
        QCOMPARE(captions, entries[i]);
    }
    QVERIFY(action("mnuViewToolbar")->isChecked());
    QVERIFY(action("mnuViewStatusBar")->isChecked());
}

void TestCommands::commandRouting_data()
{
    QTest::addColumn<QString>("trigger"); // action name, or toolbar key / push button name
    QTest::addColumn<QString>("effect");

    for (const char *t : {"mnuToolsCalculate", "cmdCalcola"})
        QTest::newRow(t) << t << "message:Calcolo eseguito correttamente";
    for (const char *t : {"mnuToolsReset", "cmdReset"})
        QTest::newRow(t) << t << "message:Ripristinati valori di input di default";
    for (const char *t : {"mnuToolsClear", "cmdClear"})
        QTest::newRow(t) << t << "panel1:Stato: Pronto per il calcolo";
    for (const char *t : {"mnuFileOpen", "Open"})
        QTest::newRow(t) << t << "dialog:Apri";
    for (const char *t : {"mnuFileSave", "Save", "mnuFileSaveAs"})
        QTest::newRow(t) << t << "dialog:Salva con nome";
    for (const char *t : {"mnuFilePrint", "Print"})
        QTest::newRow(t) << t << "printer:";
    QTest::newRow("mnuViewToolbar") << "mnuViewToolbar"
                                    << "hidden:tbToolBar";
    QTest::newRow("mnuViewStatusBar") << "mnuViewStatusBar"
                                      << "hidden:sbStatusBar";
    QTest::newRow("mnuFileExit") << "mnuFileExit"
                                 << "closed:";
}

void TestCommands::commandRouting()
{
    QFETCH(QString, trigger);
    QFETCH(QString, effect);
    const QString kind = effect.section(':', 0, 0);
    const QString detail = effect.section(':', 1);

    if (QAction *a = w->findChild<QAction *>(trigger))
        a->trigger();
    else
        QTest::mouseClick(w->findChild<QAbstractButton *>(trigger), Qt::LeftButton);

    // Exactly the expected effect, and no other command's.
    QCOMPARE(platform.messages.size(), kind == "message" ? 1 : 0);
    if (kind == "message")
        QCOMPARE(platform.messages[0].text, detail);
    QCOMPARE(platform.fileRequests.size(), kind == "dialog" ? 1 : 0);
    if (kind == "dialog")
        QCOMPARE(platform.fileRequests[0].title, detail);
    QCOMPARE(platform.printerRequests, kind == "printer" ? 1 : 0);
    const QString calculated =
        QStringLiteral("Stato: 1 Calcolo eseguito - Pronto per un nuovo calcolo");
    QCOMPARE(panel(1), kind == "panel1" ? detail
                       : detail.startsWith(QLatin1String("Calcolo"))
                           ? calculated
                           : QStringLiteral("Stato: Pronto per il Calcolo"));
    QCOMPARE(w->findChild<QWidget *>("tbToolBar")->isHidden(), detail == "tbToolBar");
    QCOMPARE(w->findChild<QWidget *>("sbStatusBar")->isHidden(), detail == "sbStatusBar");
    QCOMPARE(w->isVisible(), kind != "closed");
}

void TestCommands::toolbarKeys()
{
    QToolBar *bar = w->findChild<QToolBar *>("tbToolBar");
    QStringList keys;
    for (QAction *a : bar->actions()) {
        QWidget *button = bar->widgetForAction(a);
        if (a->isSeparator())
            keys << QStringLiteral("|");
        else if (auto *tool = qobject_cast<QToolButton *>(button))
            keys << tool->objectName() + QLatin1Char('/') + tool->toolTip() +
                        (tool->icon().isNull() ? QStringLiteral("/no icon") : QString());
        else
            keys << QStringLiteral("placeholder");
    }
    QCOMPARE(keys, (QStringList{"placeholder", "Open/Apri", "Save/Salva", "|", "Print/Stampa", "|",
                                "Help/Aiuto", "|"}));

    // "Help" opens the About box, like the menu entry.
    bool modal = false;
    pressInNextModal(Qt::Key_Escape, &modal);
    QTest::mouseClick(bar->findChild<QToolButton *>("Help"), Qt::LeftButton);
    QVERIFY(modal);
}

void TestCommands::saveWritesCurrentParameters_data()
{
    QTest::addColumn<bool>("openFirst");
    QTest::newRow("right after start-up, boxes edited") << false;
    QTest::newRow("after Open, before any Calculate") << true;
}

void TestCommands::saveWritesCurrentParameters()
{
    QFETCH(bool, openFirst);
    const QString opened = dir->filePath("opened.vlr");
    writeBytes(opened, "125\r\n9000\r\n110\r\n190\r\n6\r\n2.5\r\n700\r\n4.5\r\n");
    if (openFirst) {
        platform.fileAnswers << opened;
        action("mnuFileOpen")->trigger();
        QCOMPARE(boxTexts()[5], "2.5");
    }
    box(0)->setText("250");
    const QString target = dir->filePath("saved.vlr");
    platform.fileAnswers << target;
    action("mnuFileSave")->trigger();
    QCOMPARE(readAll(target), designFileBytes(defaultParameters()));
    QCOMPARE(w->designPath(), target);
}

void TestCommands::firstSaveAsksForPath()
{
    const QString target = dir->filePath("progetto.vlr");
    platform.fileAnswers << target;
    action("mnuFileSave")->trigger();
    QCOMPARE(platform.fileRequests.size(), 1);
    QCOMPARE(platform.fileRequests[0].filters, "File Velmorant (*.vlr)|*.vlr");
    QVERIFY(platform.fileRequests[0].save);

    box(1)->setText("9000");
    w->findChild<QPushButton *>("cmdCalcola")->click();
    action("mnuFileSave")->trigger();
    QCOMPARE(platform.fileRequests.size(), 1); // no second question
    QVERIFY(readAll(target).startsWith("100\r\n9000\r\n"));
}

void TestCommands::cancelledDialogsChangeNothing()
{
    const ParameterTexts before = boxTexts();
    for (const char *a : {"mnuFileOpen", "mnuFileSave", "mnuFileSaveAs"})
        action(a)->trigger(); // every dialog answers "" (cancel)
    QCOMPARE(platform.fileRequests.size(), 3);
    QCOMPARE(boxTexts(), before);
    QCOMPARE(panel(2), "File: Nessuno");
    QCOMPARE(panel(3), "Input: Valori di Default");
    QVERIFY(w->designPath().isEmpty());
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList());
}

void TestCommands::refusedOpenChangesNothing_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no such file
    QTest::newRow("missing file") << QByteArray();
    QTest::newRow("too few fields") << QByteArray("100\r\n200\r\n");
    QTest::newRow("not text") << QByteArray("\x7f"
                                            "ELF\0\0\0\x01\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n",
                                            28);
    QTest::newRow("absurd first line") << QByteArray(100000, '9');
    QTest::newRow("FIFO, answered at once") << QByteArray("fifo");
}

void TestCommands::refusedOpenChangesNothing()
{
    QFETCH(QByteArray, content);
    // A good Open and Save As first, so that there is state to keep.
    const QString good = dir->filePath("buono.vlr");
    writeBytes(good, "125\r\n9000\r\n110\r\n190\r\n6\r\n3\r\n700\r\n4\r\n");
    platform.fileAnswers << good << dir->filePath("target.vlr");
    action("mnuFileOpen")->trigger();
    action("mnuFileSaveAs")->trigger();
    box(2)->setText("typed");
    const ParameterTexts before = boxTexts();
    const QString p2 = panel(2), p3 = panel(3), path = w->designPath();
    const FileSet files = w->state().fileSet;

    const QString bad = dir->filePath("cattivo.vlr");
    if (content == "fifo")
        QVERIFY(::mkfifo(QFile::encodeName(bad).constData(), 0644) == 0);
    else if (!content.isEmpty())
        writeBytes(bad, content);
    platform.fileAnswers << bad;
    QElapsedTimer clock;
    clock.start();
    action("mnuFileOpen")->trigger();
    QVERIFY(clock.elapsed() < 1000);

    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(platform.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(platform.messages[0].title, "Velmorant");
    QVERIFY(platform.messages[0].text.contains("cattivo.vlr"));
    QCOMPARE(boxTexts(), before);
    QCOMPARE(panel(2), p2);
    QCOMPARE(panel(3), p3);
    QCOMPARE(w->designPath(), path);
    QVERIFY(w->state().fileSet == files);
}

void TestCommands::failedSaveChangesNothing()
{
    const QString good = dir->filePath("buono.vlr");
    platform.fileAnswers << good;
    action("mnuFileSaveAs")->trigger();
    const QByteArray oldBytes = readAll(good);
    box(0)->setText("10");
    w->findChild<QPushButton *>("cmdCalcola")->click();
    platform.messages.clear();

    // Save As into a folder that does not exist: refused, nothing changes.
    platform.fileAnswers << dir->filePath("manca/nuovo.vlr");
    action("mnuFileSaveAs")->trigger();
    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(platform.messages[0].icon, MessageIcon::Critical);
    QVERIFY(platform.messages[0].text.contains("nuovo.vlr"));
    QCOMPARE(w->designPath(), good);
    QCOMPARE(panel(2), "File: buono.vlr");
    QCOMPARE(panel(3), "Input: Valori Utente");

    // Save to a path whose folder vanished: the same.
    QVERIFY(QFile::remove(good));
    QVERIFY(QDir().rmdir(dir->path()));
    action("mnuFileSave")->trigger();
    QCOMPARE(platform.messages.size(), 2);
    QCOMPARE(w->designPath(), good);
    QCOMPARE(panel(3), "Input: Valori Utente");
    QVERIFY(platform.messages[1].text.contains("non esiste"));
}

void TestCommands::saveOnFailingDiskKeepsOldFile_data()
{
    QTest::addColumn<bool>("fullDisk"); // else a file-size limit, in a child process
    QTest::newRow("full disk") << true;
    QTest::newRow("file-size limit") << false;
}

void TestCommands::saveOnFailingDiskKeepsOldFile()
{
    QFETCH(bool, fullDisk);
    // The child: one Save As under the limit, then what the window showed, on stdout.
    if (const QString target = qEnvironmentVariable("VELMORANT_TEST_SAVE"); !target.isEmpty()) {
        if (QString::fromLatin1(QTest::currentDataTag()) != QLatin1String("file-size limit"))
            QSKIP("the child runs one row");
        platform.fileAnswers << target;
        action("mnuFileSaveAs")->trigger();
        for (const FakePlatform::Message &m : platform.messages)
            std::printf("@message %d %s\n", int(m.icon), m.text.toUtf8().constData());
        std::printf("@state %s|%s|%s\n", panel(2).toUtf8().constData(),
                    panel(3).toUtf8().constData(), w->designPath().toUtf8().constData());
        return;
    }

    const QByteArray old("125\r\n9000\r\n120\r\n190\r\n7\r\n3\r\n700\r\n4.5\r\n");
    test::FullDisk disk({{QStringLiteral("progetto.vlr"), old}});
    if (fullDisk && !disk.available())
        QSKIP(qPrintable(disk.why()));
    const QString folder = fullDisk ? disk.folder() : dir->path();
    const QString path = folder + QStringLiteral("/progetto.vlr");
    if (!fullDisk)
        QVERIFY(writeBytes(path, old));
    const QStringList before = test::entries(folder);

    QString shown, state;
    if (fullDisk) {
        platform.fileAnswers << path;
        action("mnuFileSaveAs")->trigger();
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].icon, MessageIcon::Critical);
        shown = platform.messages[0].text;
        state = panel(2) + '|' + panel(3) + '|' + w->designPath();
    } else {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VELMORANT_TEST_SAVE"), path);
        child.setProcessEnvironment(env);
        child.setChildProcessModifier(test::limitFileSize);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("saveOnFailingDiskKeepsOldFile:file-size limit")});
        QVERIFY(child.waitForFinished(30000));
        const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split('\n');
        QCOMPARE(lines.filter(QStringLiteral("@message ")).size(), 1);
        const QString message = lines.filter(QStringLiteral("@message ")).first();
        QVERIFY2(message.startsWith(QStringLiteral("@message %1 ").arg(int(MessageIcon::Critical))),
                 qPrintable(message));
        shown = message;
        state = lines.filter(QStringLiteral("@state ")).value(0).mid(7);
    }
    QVERIFY2(shown.contains(QStringLiteral("progetto.vlr")), qPrintable(shown));
    QVERIFY2(shown.contains(fullDisk ? "spazio esaurito sul disco" : "dimensione massima"),
             qPrintable(shown));
    QCOMPARE(state, QStringLiteral("File: Nessuno|Input: Valori di Default|")); // nothing changed
    QCOMPARE(readAll(path), old);
    QCOMPARE(test::entries(folder), before);
}

void TestCommands::qtDialogsSpeakItalian()
{
    QVERIFY(installItalianTranslations(*QCoreApplication::instance()));
    QtPlatform real;
    QStringList seen;
    // Reads the dialog once it is up, then cancels it.
    auto inspect = [&seen] {
        QTimer::singleShot(0, [&seen] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen << dialog->windowTitle();
            for (QPushButton *b :
                 dialog->findChild<QDialogButtonBox *>()->findChildren<QPushButton *>())
                seen << b->text();
            for (const char *label : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
                seen << dialog->findChild<QLabel *>(label)->text();
            dialog->reject();
        });
    };
    inspect();
    QVERIFY(real.openFileName(w.get(), QStringLiteral("Apri"),
                              QStringLiteral("File Velmorant (*.vlr)|*.vlr"))
                .isEmpty());
    inspect();
    QVERIFY(real.saveFileName(w.get(), QStringLiteral("Salva con nome"),
                              QStringLiteral("File Velmorant (*.vlr)|*.vlr"))
                .isEmpty());
    QCOMPARE(seen, (QStringList{"Apri", "Apri", "Annulla", "Cerca in:", "&Nome del file:",
                                "File di tipo:", "Salva con nome", "&Salva", "Annulla",
                                "Cerca in:", "&Nome del file:", "File di tipo:"}));
}

void TestCommands::defaultInputKeepsResults()
{
    box(0)->setText("250");
    w->findChild<QPushButton *>("cmdCalcola")->click();
    const QString l1 = w->findChild<QLineEdit *>("txtL1")->text();
    platform.onMessage = [this](const FakePlatform::Message &) {
        // While the box is up the boxes already show the defaults; panel 3 follows.
        QCOMPARE(boxTexts()[0], "100");
        QCOMPARE(panel(3), "Input: Valori Utente");
    };
    w->findChild<QPushButton *>("cmdReset")->click();
    platform.onMessage = {};
    QCOMPARE(panel(3), "Input: Valori di Default");
    QCOMPARE(w->findChild<QLineEdit *>("txtL1")->text(), l1);
    QVERIFY(w->sketchView().isSketchShown());
}

void TestCommands::togglesFollowCheckMark()
{
    QAction *toggle = action("mnuViewStatusBar");
    QWidget *bar = w->findChild<QWidget *>("sbStatusBar");
    toggle->trigger();
    QVERIFY(!toggle->isChecked());
    QVERIFY(!bar->isVisible());
    // Panels keep being written while hidden, and show again with the bar.
    w->findChild<QPushButton *>("cmdCalcola")->click();
    toggle->trigger();
    QVERIFY(toggle->isChecked());
    QVERIFY(bar->isVisible());
    QCOMPARE(panel(1), "Stato: 1 Calcolo eseguito - Pronto per un nuovo calcolo");

    QAction *tools = action("mnuViewToolbar");
    tools->trigger();
    QVERIFY(!tools->isChecked());
    QVERIFY(!w->findChild<QPushButton *>("cmdClear")->isVisible());
    action("mnuToolsClear")->trigger(); // still reachable from the menu
    QCOMPARE(panel(1), "Stato: Pronto per il calcolo");
    tools->trigger();
    QVERIFY(w->findChild<QPushButton *>("cmdClear")->isVisible());
}

void TestCommands::printCopies_data()
{
    QTest::addColumn<int>("copies"); // 0: the user cancels
    QTest::addColumn<bool>("printerWorks");
    QTest::newRow("three copies") << 3 << true;
    QTest::newRow("one copy") << 1 << true;
    QTest::newRow("cancelled") << 0 << true;
    QTest::newRow("printer fails: silent") << 2 << false;
}

void TestCommands::printCopies()
{
    QFETCH(int, copies);
    QFETCH(bool, printerWorks);
    w->findChild<QPushButton *>("cmdCalcola")->click();
    const QString before = panel(1) + panel(2) + panel(3);
    const int messages = int(platform.messages.size());
    const QString pdf = dir->filePath(printerWorks ? "stampa.pdf" : "manca/stampa.pdf");
    platform.printerAnswer = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setCopyCount(copies);
        return copies > 0;
    };
    action("mnuFilePrint")->trigger();

    QCOMPARE(platform.printerRequests, 1);
    // The program prints the copies itself; the printer must not multiply them again.
    if (copies > 0)
        QCOMPARE(w->printer().copyCount(), 1);
    QCOMPARE(panel(1) + panel(2) + panel(3), before);
    QCOMPARE(int(platform.messages.size()), messages);
    if (copies == 0 || !printerWorks) {
        QVERIFY(!QFile::exists(pdf));
        return;
    }
    const QByteArray bytes = readAll(pdf);
    QCOMPARE(int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                 bytes.count("/Type /Page ") + bytes.count("/Type /Page>")),
             copies);
    // Every page draws the same picture of the window, at the same place and scale.
    QStringList drawings;
    for (const QString &stream : test::pdfPageContents(bytes)) {
        QStringList placed;
        for (const QString &line : stream.split(QLatin1Char('\n'))) {
            if (line.endsWith(QLatin1String(" cm")) || line.contains(QLatin1String(" Do")))
                placed << line;
        }
        QVERIFY(placed.join(' ').contains(QStringLiteral(" Do")));
        drawings << placed.join(QLatin1Char('|'));
    }
    QCOMPARE(drawings.size(), copies);
    QCOMPARE(QSet<QString>(drawings.begin(), drawings.end()).size(), 1);
}

void TestCommands::aboutBox()
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        bool modal = false;
        pressInNextModal(key, &modal);
        action("mnuHelpAbout")->trigger(); // returns only when the box has closed
        QVERIFY(modal);
        QVERIFY(!QApplication::activeModalWidget());
    }

    AboutBox box(platform, w.get());
    QCOMPARE(box.windowTitle(), "Informazioni su Velmorant");
    QVERIFY(box.isModal());
    QCOMPARE(box.findChild<QLabel *>("lblDescription")->text(),
             "Tool grafico per il primo dimensionamento dello scarico dei motori a 2 tempi");
    QVERIFY(box.findChild<QPushButton *>("cmdOK")->isDefault());
    box.show();
    auto *mail = box.findChild<QLabel *>("Label1");
    QTest::mouseClick(mail, Qt::LeftButton);
    QTest::mouseClick(mail, Qt::LeftButton);
    QCOMPARE(platform.openedAddresses.size(), 2);
    QCOMPARE(platform.openedAddresses[0].scheme(), "mailto");
    QVERIFY(platform.openedAddresses[0].toString().endsWith(".example"));
    QVERIFY(box.isVisible());
}

void TestCommands::webLinks()
{
    for (const char *name : {"Image1", "Label18"}) {
        auto *label = w->findChild<QLabel *>(name);
        QCOMPARE(label->toolTip(), "Visita il nostro sito!");
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(label, Qt::LeftButton);
    }
    QCOMPARE(platform.openedAddresses.size(), 2);
    QCOMPARE(platform.openedAddresses[0], platform.openedAddresses[1]);
    QCOMPARE(platform.openedAddresses[0].host(), "www.velmorant.example");
    QVERIFY(platform.messages.isEmpty());
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
