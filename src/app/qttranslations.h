#pragma once

#include <QString>

class QTranslator;

namespace app {

// Puts the texts Qt itself supplies (the name box's context menu, key names and the like) into
// Finnish, whatever the system's language: loads Qt's Finnish translation from `directory` into
// `translator` and installs it for as long as the translator lives. Returns false, and leaves
// Qt's English texts, when the translation is not there.
bool installQtTranslations(QTranslator& translator, const QString& directory);

// Where the system's Qt keeps its translations (Debian: /usr/share/qt6/translations, from the
// package qt6-translations-l10n); in a browser, in the program itself.
QString systemQtTranslationsDirectory();

} // namespace app
