#include "settingsfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>

#include <sys/stat.h>

namespace velmorant {

namespace {

// Whether `path` names something that is there and is not a regular file (after links).
bool unusable(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return errno != ENOENT; // a link loop, a folder we may not enter
    return !S_ISREG(st.st_mode);
}

} // namespace

std::optional<QString> guardSettingsFiles()
{
    // Where QSettings keeps the user's INI files on this platform.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString organisation = QCoreApplication::organizationName();
    const QString files[] = {
        folder + QLatin1Char('/') + organisation + QStringLiteral(".conf"),
        folder + QLatin1Char('/') + organisation + QLatin1Char('/') +
            QCoreApplication::applicationName() + QStringLiteral(".conf")};
    for (const QString &file : files) {
        if (!unusable(file))
            continue;
        static QTemporaryDir instead;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, instead.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, instead.path());
        return QCoreApplication::translate("velmorant::files",
                                           "Impostazioni non lette: %1 non \u00e8 un file "
                                           "normale; si parte dai valori di default")
            .arg(file);
    }
    return std::nullopt;
}

} // namespace velmorant
