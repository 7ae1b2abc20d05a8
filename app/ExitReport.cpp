#include "app/ExitReport.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <exception>

#include "app/session/AppState.h"

namespace dkscr {

void TellExitProblems(const QStringList& problems, const AppState& global, bool closedBySignal,
                      std::FILE* err, int boxTimeoutMs) {
  if (problems.isEmpty()) return;
  for (const QString& text : problems) {
    std::fprintf(err, "Deckscribe: %s\n", text.toLocal8Bit().constData());
    try {
      global.WriteLog(text.toStdU16String());
    } catch (const std::exception&) {
      // The log lies in the same folder as what failed; standard error has it.
    }
  }
  std::fflush(err);
  if (closedBySignal || QGuiApplication::platformName() == QStringLiteral("minimal")) return;
  QMessageBox box(QMessageBox::Critical, QCoreApplication::translate("DialogServices", "Error"),
                  problems.join(u'\n'),
                  QMessageBox::Ok);
  QTimer::singleShot(boxTimeoutMs, &box, &QDialog::accept);
  box.exec();
}

}  // namespace dkscr
