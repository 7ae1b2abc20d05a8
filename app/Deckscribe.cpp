// The desktop program: settings first, then the windows, the message loop, and the settings
// saved once every window is gone.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <memory>

#include "app/AppImages.h"
#include "app/CloseOnSignal.h"
#include "app/Global.h"
#include "app/ProgramDialogs.h"
#include "app/ProgramDir.h"
#include "app/UnMain.h"
#include "app/ZipHooks.h"
#include "core/NativePath.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Deckscribe"));
  QApplication::setDesktopFileName(QStringLiteral("deckscribe"));
  QApplication::setWindowIcon(dkscr::MakeProgramIcon());

  dkscr::TGlobal global(dkscr::ProgramDir(), dkscr::DocumentsDir());
  global.LoadSettings();

  int result = 0;
  {
    auto window = std::make_unique<dkscr::TFmMain>(global);
    window->SetConverters(dkscr::StandardConverters(dkscr::DesktopZipHooks()));
    dkscr::TProgramDialogs dialogs(global, window.get());
    window->SetDialogs(&dialogs);
    dkscr::TCloseOnSignal closer(window.get());
    window->show();
    result = QApplication::exec();
    // The main window saves the list; the dialogs it owns hand their choices to the settings.
    window.reset();
  }

  try {
    global.SaveSettings();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Deckscribe: %s\n", e.what());
    QMessageBox::critical(nullptr, QStringLiteral("Error"), QString::fromLocal8Bit(e.what()));
    return result == 0 ? 1 : result;
  }
  return result;
}
