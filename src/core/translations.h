#pragma once

class QCoreApplication;

namespace velmorant {

// The suite speaks Italian whatever the user's locale: Qt's own texts (file and print dialogs,
// standard buttons, Qt's warnings) are loaded from Qt's Italian catalogue. Number and date
// formats keep following the user's locale. Returns false when the catalogue is missing (the
// texts then stay in Qt's English).
bool installItalianTranslations(QCoreApplication &app);

} // namespace velmorant
