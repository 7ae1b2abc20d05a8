#pragma once
// The program's texts in the user's language, when a translation for it is installed.
#include <QStringList>

class QCoreApplication;

namespace dkscr {

// Where translations are looked for, first match wins: "translations" beside the program,
// then the installed share/deckscribe/translations.
QStringList TranslationFolders();

// Installs Qt's own translation and the program's (deckscribe_<locale>.qm) for the user's
// locale, each when one is found; returns the files loaded.
QStringList InstallTranslations(QCoreApplication& app, const QStringList& folders);

}  // namespace dkscr
