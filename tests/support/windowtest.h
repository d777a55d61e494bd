#pragma once

// Shared set-up of the window tests: fonts as at start-up and settings kept away from the
// user's own.
#include "fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>

namespace velmorant::test {

inline void prepareWindowTests()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Velmorant"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmorant"));
    installFontSubstitutions();
    QSettings().clear();
}

// The user's settings file replaced by a FIFO, which would block its first read for ever:
// made on construction (false from ok() if it could not be), removed on destruction, when
// the test's own settings folder is put back in place of the one a guard chose.
class SettingsFifo
{
public:
    SettingsFifo() : m_file(QSettings().fileName())
    {
        QFile::remove(m_file);
        m_ok = QDir().mkpath(QFileInfo(m_file).path()) &&
               ::mkfifo(QFile::encodeName(m_file).constData(), 0600) == 0;
    }
    ~SettingsFifo()
    {
        QFile::remove(m_file);
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    }
    bool ok() const { return m_ok; }
    // Still the FIFO: nothing was written over it.
    bool untouched() const { return !QFileInfo(m_file).isFile(); }

private:
    QString m_file;
    bool m_ok = false;
};

} // namespace velmorant::test
