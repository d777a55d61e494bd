#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace velmorant {

bool installItalianTranslations(QCoreApplication &app)
{
    auto *qt = new QTranslator(&app);
    if (!qt->load(QStringLiteral("qtbase_it"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

} // namespace velmorant
