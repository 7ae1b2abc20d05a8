#include "app/widgets/ConvertCommand.h"

#include <QString>
#include <memory>

#include "app/session/Session.h"
#include "app/widgets/AddCommands.h"
#include "app/widgets/MainDialogs.h"

namespace dkscr {

ConvertCommand::ConvertCommand(Session& session, MainDialogs& dialogs, WorkerThread& worker,
                               TargetConverter& converter)
    : session_(session), dialogs_(dialogs), run_(worker, converter) {}

bool ConvertCommand::Start(RunScope scope, const std::vector<int>& selectedRows) {
  if (run_.Running()) return false;
  RunObserver& observer = *this;
  return run_.Start(std::make_unique<SessionRun>(session_, scope, selectedRows, observer));
}

QString ConvertCommand::NothingToConvert(RunScope scope, const std::vector<int>& selectedRows) const {
  if (session_.Count() == 0 || CountHandled(session_, scope, selectedRows) > 0) return {};
  switch (scope) {
    case RunScope::kAll:
      return tr("Nothing to convert: every entry has been converted (or has failed) before. To "
                "convert entries again, select them and choose Convert, ReConvert Selected.");
    case RunScope::kSelected:
      return selectedRows.empty()
                 ? tr("Nothing to convert: no entry is selected.")
                 : tr("Nothing to convert: the selected entries have been converted (or have "
                      "failed) before. ReConvert Selected converts them again.");
    case RunScope::kReconvert:
      return selectedRows.empty()
                 ? tr("Nothing to convert: no entry is selected.")
                 : tr("Nothing to convert again: the selected entries have not been converted "
                      "yet. Convert Selected converts them.");
  }
  return {};
}

void ConvertCommand::Progress(const RunProgress& progress) {
  dialogs_.ShowRunProgress(progress, [this] { run_.Cancel(); });
  emit Progressed(progress.maximum > 0 ? progress.position * 100 / progress.maximum : 0);
}

OverwriteAnswer ConvertCommand::AskOverwrite(const std::u16string& target) {
  return dialogs_.AskOverwrite(QString::fromStdU16String(target));
}

void ConvertCommand::Finished(const RunSummary& summary) {
  dialogs_.CloseRunProgress();
  emit RunEnded(summary);
  ReportLogFailure(session_, dialogs_);
}

}  // namespace dkscr
