#pragma once

#include <QString>

#include <optional>

namespace velmorant {

// Opening a settings file that is a FIFO blocks until someone writes to it, and a device or a
// folder cannot hold settings at all. Called once the application's names are set and before
// any QSettings: when the user's settings file of this application (or of its organisation)
// exists and is not a regular file, this run keeps its settings in a private temporary folder,
// starting from the defaults and leaving that file alone, and the text says so for the user.
std::optional<QString> guardSettingsFiles();

} // namespace velmorant
