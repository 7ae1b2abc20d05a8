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

void ConvertCommand::Progress(const RunProgress& progress) {
  dialogs_.ShowRunProgress(progress, [this] { run_.Cancel(); });
}

OverwriteAnswer ConvertCommand::AskOverwrite(const std::u16string& target) {
  return dialogs_.AskOverwrite(QString::fromStdU16String(target));
}

void ConvertCommand::Finished(const RunSummary&) {
  dialogs_.CloseRunProgress();
  emit RunEnded();
  ReportLogFailure(session_, dialogs_);
}

}  // namespace dkscr
