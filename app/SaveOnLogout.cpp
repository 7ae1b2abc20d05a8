#include "app/SaveOnLogout.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QStringList>
#include <exception>
#include <utility>

#include "app/ExitReport.h"
#include "app/session/AppState.h"
#include "app/UnMain.h"

namespace dkscr {

TSaveOnLogout::TSaveOnLogout(QGuiApplication& app, TFmMain& window, AppState& global,
                             std::FILE* err)
    : FWindow(window), FGlobal(global), FErr(err) {
#ifndef QT_NO_SESSIONMANAGER
  // The manager waits for the handler to return: no interaction is asked for, so the
  // logout is never held up by a question.
  connect(&app, &QGuiApplication::commitDataRequest, this,
          [this](QSessionManager&) { Save(); }, Qt::DirectConnection);
#endif
}

void TSaveOnLogout::Save() {
  FFired = true;
  QStringList problems;
  auto& tell = FWindow.Services().SaveProblem;
  auto previous = std::exchange(tell, [&problems](const QString& text) { problems << text; });
  FWindow.SaveNow();
  tell = std::move(previous);
  try {
    FGlobal.SaveSettings();
  } catch (const std::exception& e) {
    problems << QString::fromLocal8Bit(e.what());
  }
  TellExitProblems(problems, FGlobal, true, FErr);
}

}  // namespace dkscr
