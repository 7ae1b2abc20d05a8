// The desktop program: the settings and the saved list first, then the windows over them and
// the message loop, and the list and the settings saved once every window is gone.
#include <QApplication>
#include <cstdio>
#include <memory>

#include "app/dialogs/DialogServices.h"
#include "app/session/AppState.h"
#include "app/session/ProgramDir.h"
#include "app/session/Session.h"
#include "app/session/TargetConverter.h"
#include "app/shell/CloseOnSignal.h"
#include "app/shell/ExitReport.h"
#include "app/shell/ProgramDialogs.h"
#include "app/shell/SaveOnLogout.h"
#include "app/shell/SystemDesktop.h"
#include "app/shell/Translations.h"
#include "app/widgets/AppImages.h"
#include "app/widgets/MainWindow.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Deckscribe"));
  QApplication::setDesktopFileName(QStringLiteral("deckscribe"));
  QApplication::setWindowIcon(dkscr::MakeProgramIcon());
  dkscr::InstallTranslations(app, dkscr::TranslationFolders());

  dkscr::AppState state(dkscr::ProgramDir(), dkscr::DocumentsDir());
  state.LoadSettings();
  dkscr::Session session(state);
  const dkscr::JobFileStart jobFile = session.LoadJobFile();

  dkscr::StandardDialogServices dialogServices;
  dkscr::SystemDesktop desktop;
  dkscr::StandardTargetConverter converter;
  dkscr::ProgramDialogs dialogs(state, dialogServices);
  int result = 0;
  bool bySignal = false;
  {
    auto window = std::make_unique<dkscr::MainWindow>(session, dialogs, desktop, converter, jobFile);
    dkscr::CloseOnSignal closer(window.get());
    dkscr::SaveOnLogout logout(app, *window, session, stderr);
    window->show();
    result = QApplication::exec();
    bySignal = closer.Fired() || logout.Fired();
    // The dialogs the window owns hand their choices to the settings as they go.
    window.reset();
  }
  const QStringList problems = dkscr::SaveListAndSettings(session);
  dkscr::TellExitProblems(problems, state, bySignal, stderr);
  if (!problems.isEmpty() && result == 0) return 1;
  return result;
}
