#include "app/shell/SaveOnLogout.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QStringList>

#include "app/shell/ExitReport.h"
#include "app/session/Session.h"
#include "app/widgets/MainWindow.h"

namespace dkscr {

SaveOnLogout::SaveOnLogout(QGuiApplication& app, MainWindow& window, Session& session,
                           std::FILE* err)
    : window_(window), session_(session), err_(err) {
#ifndef QT_NO_SESSIONMANAGER
  // The manager waits for the handler to return: no interaction is asked for, so the
  // logout is never held up by a question.
  connect(&app, &QGuiApplication::commitDataRequest, this,
          [this](QSessionManager&) { Save(); }, Qt::DirectConnection);
#endif
}

void SaveOnLogout::Save() {
  fired_ = true;
  window_.RememberPlacement();
  TellExitProblems(SaveListAndSettings(session_), session_.State(), true, err_);
}

}  // namespace dkscr
