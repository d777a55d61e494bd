// velmorant-officina [FILE.vlo or FILE.vlr]: from the sized chamber to cut metal.
#include "officinawindow.h"
#include "qtplatform.h"
#include "safefile.h"
#include "settingsfile.h"
#include "translations.h"
#include "version.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velmorant"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmorant"));
    QCoreApplication::setApplicationVersion(QLatin1String(velmorant::VersionText));
    velmorant::installItalianTranslations(app);
    velmorant::protectFileWrites();

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "velmorant", "Velmorant Officina: dalle misure della camera alla lamiera da tagliare."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE.vlo|FILE.vlr"),
        QCoreApplication::translate("velmorant", "progetto (.vlo) o file di progetto (.vlr) da aprire"));
    parser.process(app);

    // Before the window reads its options: a settings file that is a FIFO would hang it.
    const std::optional<QString> settingsNote = velmorant::guardSettingsFiles();
    velmorant::QtPlatform platform;
    velmorant::OfficinaWindow window(platform);
    if (settingsNote)
        window.setStatusNote(*settingsNote);
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.openPath(parser.positionalArguments().first());
    return app.exec();
}
