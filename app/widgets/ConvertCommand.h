#pragma once
// Convert All, Convert Selected and ReConvert Selected: the run over the session, its
// conversions on the worker thread, its progress and questions in the program's dialogs.
#include <QObject>
#include <QString>
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
  // What a run of the scope would say instead of starting, when it would convert nothing in a
  // list that has entries; empty when it has work.
  QString NothingToConvert(RunScope scope, const std::vector<int>& selectedRows) const;
  bool Running() const { return run_.Running(); }
  void Cancel() { run_.Cancel(); }

 signals:
  // How far the run is, in percent of the list it started on.
  void Progressed(int percent);
  void RunEnded(const dkscr::RunSummary& summary);

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
