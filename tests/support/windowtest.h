#pragma once

// Shared set-up of the window tests: fonts as at start-up and settings kept away from the
// user's own.
#include "fonts.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace velmorant::test {

inline void prepareWindowTests()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Velmorant"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmorant"));
    installFontSubstitutions();
    QSettings().clear();
}

} // namespace velmorant::test
