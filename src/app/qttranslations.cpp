#include "app/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace app {

bool installQtTranslations(QTranslator& translator, const QString& directory)
{
    // One file: the first name the lookup tries is directory/qtbase_fi.qm itself.
    return translator.load(QStringLiteral("qtbase_fi"), directory)
           && QCoreApplication::installTranslator(&translator);
}

QString systemQtTranslationsDirectory()
{
#ifdef Q_OS_WASM
    // A browser has no Qt of its own: the program carries Qt's Finnish texts.
    return QStringLiteral(":/qt/translations");
#else
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
}

} // namespace app
