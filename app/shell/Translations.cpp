#include "app/shell/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace dkscr {

QStringList TranslationFolders() {
  return {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
          QStringLiteral(DKSCR_TRANSLATIONS_DIR)};
}

QStringList InstallTranslations(QCoreApplication& app, const QStringList& folders) {
  QStringList loaded;
  const QLocale locale;
  auto install = [&](const QString& name, const QStringList& where) {
    for (const QString& folder : where) {
      auto* translator = new QTranslator(&app);
      if (translator->load(locale, name, QStringLiteral("_"), folder)) {
        QCoreApplication::installTranslator(translator);
        loaded << translator->filePath();
        return;
      }
      delete translator;
    }
  };
  // Qt's standard buttons and dialogs, then ours.
  install(QStringLiteral("qtbase"), {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
  install(QStringLiteral("deckscribe"), folders);
  return loaded;
}

}  // namespace dkscr
