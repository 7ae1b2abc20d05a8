#include "app/shell/ExitReport.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstring>
#include <exception>

#include "app/session/AppState.h"
#include "app/session/Session.h"

namespace dkscr {

namespace {
QString Text(const char* text) { return QCoreApplication::translate("ExitReport", text); }
}  // namespace

QStringList SaveListAndSettings(const Session& session) {
  QStringList problems;
  const AppState& state = session.State();
  const QString job = QString::fromStdU16String(state.JobFilePath());
  const JobFileSave saved = session.SaveJobFile();
  if (saved.notOurs) {
    // Another window keeps the list; this one said so when it started.
  } else if (saved.refused) {
    problems << Text(QT_TRANSLATE_NOOP("ExitReport", "The file list was not saved, so as not to replace %1."))
                    .arg(job);
  } else if (!saved.result.Ok()) {
    // A folder that cannot be written loses the list, not the program's orderly end.
    problems << Text(QT_TRANSLATE_NOOP("ExitReport", "Unable to write to %1: %2"))
                    .arg(job, QString::fromLocal8Bit(std::strerror(saved.result.error)));
  } else {
    if (saved.result.droppedRecords > 0)
      problems << Text(QT_TRANSLATE_NOOP("ExitReport", "%1 entries beyond the first %2 were not saved in %3."))
                      .arg(saved.result.droppedRecords).arg(kMaxJobEntries).arg(job);
    if (saved.result.cutTexts > 0)
      problems << Text(QT_TRANSLATE_NOOP("ExitReport", "%1 texts too long for %2 were shortened."))
                      .arg(saved.result.cutTexts).arg(job);
  }
  try {
    state.SaveSettings();
  } catch (const std::exception& e) {
    problems << QString::fromLocal8Bit(e.what());
  }
  return problems;
}

void TellExitProblems(const QStringList& problems, const AppState& global, bool quiet,
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
  if (quiet || QGuiApplication::platformName() == QStringLiteral("minimal")) return;
  QMessageBox box(QMessageBox::Critical, QCoreApplication::translate("DialogServices", "Error"),
                  problems.join(u'\n'),
                  QMessageBox::Ok);
  QTimer::singleShot(boxTimeoutMs, &box, &QDialog::accept);
  box.exec();
}

}  // namespace dkscr
