// The desktop program: settings first, then the windows, the message loop, and the settings
// saved once every window is gone.
#include <QApplication>
#include <cstdio>
#include <memory>

#include "app/AppImages.h"
#include "app/CloseOnSignal.h"
#include "app/ExitReport.h"
#include "app/session/AppState.h"
#include "app/ProgramDialogs.h"
#include "app/session/ProgramDir.h"
#include "app/SaveOnLogout.h"
#include "app/Translations.h"
#include "app/UnMain.h"
#include "app/ZipHooks.h"
#include "core/NativePath.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Deckscribe"));
  QApplication::setDesktopFileName(QStringLiteral("deckscribe"));
  QApplication::setWindowIcon(dkscr::MakeProgramIcon());
  dkscr::InstallTranslations(app, dkscr::TranslationFolders());

  dkscr::AppState global(dkscr::ProgramDir(), dkscr::DocumentsDir());
  global.LoadSettings();

  int result = 0;
  QStringList problems;  // what could not be saved at the end
  bool bySignal = false;
  {
    auto window = std::make_unique<dkscr::TFmMain>(global);
    window->SetZipHooks(dkscr::DesktopZipHooks());
    window->Services().SaveProblem = [&problems](const QString& text) { problems << text; };
    dkscr::TProgramDialogs dialogs(global, window.get());
    window->SetDialogs(&dialogs);
    dkscr::TCloseOnSignal closer(window.get());
    dkscr::TSaveOnLogout logout(app, *window, global, stderr);
    window->show();
    result = QApplication::exec();
    bySignal = closer.Fired() || logout.Fired();
    // The main window saves the list; the dialogs it owns hand their choices to the settings.
    window.reset();
  }

  try {
    global.SaveSettings();
  } catch (const std::exception& e) {
    problems << QString::fromLocal8Bit(e.what());
  }
  dkscr::TellExitProblems(problems, global, bySignal, stderr);
  if (!problems.isEmpty() && result == 0) return 1;
  return result;
}
