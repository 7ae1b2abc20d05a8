#pragma once
// Convert All, Convert Selected and ReConvert Selected: the run over the session, its
// conversions on the worker thread, its progress and questions in the program's dialogs.
#include <QObject>
#include <vector>

#include "app/session/BackgroundRun.h"

namespace dkscr {

class MainDialogs;
class Session;

class ConvertCommand : public QObject, private RunObserver {
  Q_OBJECT

 public:
  ConvertCommand(Session& session, MainDialogs& dialogs, WorkerThread& worker,
                 TargetConverter& converter);

  // Starts a run over the list; false when there is nothing to run over. It ends on its own.
  bool Start(RunScope scope, const std::vector<int>& selectedRows);
  bool Running() const { return run_.Running(); }
  void Cancel() { run_.Cancel(); }

 signals:
  void RunEnded();

 private:
  void Progress(const RunProgress& progress) override;
  OverwriteAnswer AskOverwrite(const std::u16string& target) override;
  bool Cancelled() override { return run_.CancelRequested(); }
  void Finished(const RunSummary& summary) override;

  Session& session_;
  MainDialogs& dialogs_;
  BackgroundRun run_;
};

}  // namespace dkscr
