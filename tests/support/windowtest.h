#pragma once

// Shared set-up of the window tests: fonts as at start-up and settings kept away from the
// user's own.
#include "fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QStandardPaths>

#include <sys/stat.h>

namespace velmorant::test {

// This test program's own settings folder, as XDG_CONFIG_HOME, so that the settings and the
// programs' own look at where they live agree. (Test mode's ~/.qttest is shared by every test
// program, and one that puts a FIFO there, below, would hang another running beside it.)
inline QString settingsFolder()
{
    static const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/velmorant-settings-XXXXXX"));
    return folder.path();
}

inline void useOwnSettingsFolder()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder());
}

inline void prepareWindowTests()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsFolder()));
    useOwnSettingsFolder();
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
        useOwnSettingsFolder();
    }
    bool ok() const { return m_ok; }
    // Still the FIFO: nothing was written over it.
    bool untouched() const { return !QFileInfo(m_file).isFile(); }

private:
    QString m_file;
    bool m_ok = false;
};

} // namespace velmorant::test
