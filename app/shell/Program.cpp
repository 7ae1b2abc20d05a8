#include "app/shell/Program.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/dialogs/DialogServices.h"
#include "app/session/AppState.h"
#include "app/session/ProgramDir.h"
#include "app/session/Session.h"
#include "app/session/TargetConverter.h"
#include "app/shell/CloseOnSignal.h"
#include "app/shell/ExitReport.h"
#include "app/shell/ListHandOver.h"
#include "app/shell/ProgramDialogs.h"
#include "app/shell/SaveOnLogout.h"
#include "app/shell/SystemDesktop.h"
#include "app/shell/Translations.h"
#include "app/widgets/AppImages.h"
#include "app/widgets/MainWindow.h"
#include "platform/NativePath.h"

namespace dkscr {

void SetUpApplication(QApplication& app) {
  QApplication::setApplicationName(QStringLiteral("Deckscribe"));
  QApplication::setDesktopFileName(QStringLiteral("deckscribe"));
  QApplication::setWindowIcon(MakeProgramIcon());
  InstallTranslations(app, TranslationFolders());
}

int RunProgram(const std::vector<std::u16string>& paths,
               const std::function<void(MainWindow&)>& onShown) {
  AppState state(ProgramDir(), DocumentsDir());
  state.LoadSettings();
  Session session(state);
  const JobFileStart jobFile = session.LoadJobFile();
  // Another window keeps this list: it takes the files, and this start has nothing more to do.
  if (jobFile.inUseElsewhere && !paths.empty() && HandToListOwner(state.programDir, paths)) return 0;
  // A folder that takes no files keeps neither the list nor the settings: said once now, so
  // that closing later needs no word from the user.
  const int folderError = FolderWriteError(PathToNative(state.programDir));

  StandardDialogServices dialogServices;
  SystemDesktop desktop;
  StandardTargetConverter converter;
  ProgramDialogs dialogs(state, dialogServices);
  int result = 0;
  bool bySignal = false;
  {
    auto window = std::make_unique<MainWindow>(session, dialogs, desktop, converter, jobFile);
    CloseOnSignal closer(window.get());
    ListHandOver handOver(*window, state.programDir);
    SaveOnLogout logout(*qApp, *window, session, stderr);
    window->show();
    if (folderError != 0) {
      window->ShowStatusMessage(
          QCoreApplication::translate("Program", "The folder %1 cannot be written (%2): the file "
                                                 "list and the settings will not be saved.")
              .arg(QString::fromStdU16String(state.programDir),
                   QString::fromLocal8Bit(std::strerror(folderError))));
    }
    if (!paths.empty()) window->AddFromCommandLine(paths);
    if (onShown) QTimer::singleShot(0, window.get(), [&onShown, &window] { onShown(*window); });
    result = QApplication::exec();
    bySignal = closer.Fired() || logout.Fired();
    // The dialogs the window owns hand their choices to the settings as they go.
    window.reset();
  }
  const QStringList problems = SaveListAndSettings(session);
  TellExitProblems(problems, state, bySignal || folderError != 0, stderr);
  if (!problems.isEmpty() && result == 0) return 1;
  return result;
}

}  // namespace dkscr
