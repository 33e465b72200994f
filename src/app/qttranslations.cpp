#include "app/qttranslations.h"

#include "app/browserpage.h"

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
    if constexpr (BrowserPage::active)
        return BrowserPage::qtTranslationsDirectory();
    else
        return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

} // namespace app
