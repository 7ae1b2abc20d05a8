#pragma once
// A stub observer of runs and scans that records what it is told and answers from a script,
// and the activity log's messages without their time stamps.
#include <QFile>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "app/session/AppState.h"
#include "app/session/FolderScan.h"
#include "app/session/SessionRun.h"

namespace dkscr::test {

class RunRecorder : public RunObserver {
 public:
  void Progress(const RunProgress& p) override {
    progress.push_back(p);
    if (p.position == cancelAtPosition) cancel = true;
  }
  OverwriteAnswer AskOverwrite(const std::u16string& target) override {
    asked.push_back(target);
    if (answers.empty()) return OverwriteAnswer::kCancel;
    const OverwriteAnswer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  bool Cancelled() override { return cancel; }
  void Finished(const RunSummary& summary) override {
    ++finished;
    last = summary;
  }
  int Position() const { return progress.empty() ? -1 : progress.back().position; }

  std::vector<RunProgress> progress;
  std::vector<std::u16string> asked;
  std::vector<OverwriteAnswer> answers;  // given in turn; Cancel when none is left
  bool cancel = false;
  int cancelAtPosition = -1;  // set cancel when the gauge reaches it
  int finished = 0;
  RunSummary last;
};

class ScanRecorder : public ScanObserver {
 public:
  void FolderEntered(const std::u16string& folder) override { folders.push_back(folder); }
  bool StopRequested() override { return stopAfterFolders >= 0 && int(folders.size()) > stopAfterFolders; }
  void Finished(const ScanSummary& summary) override {
    ++finished;
    last = summary;
  }

  std::vector<std::u16string> folders;
  int stopAfterFolders = -1;  // stop once more folders than this were entered
  int finished = 0;
  ScanSummary last;
};

// The log's lines as UTF-8, without their time stamps; the empty line after a run's summary
// is kept.
inline std::vector<std::string> LogMessages(const AppState& state) {
  QFile file(QString::fromStdU16String(state.LogFilePath()));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  if (bytes.size() < 2) return {};
  const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                          (bytes.size() - 2) / 2);
  QStringList lines = text.split(QStringLiteral("\r\n"));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  std::vector<std::string> out;
  for (const QString& line : lines) {
    const qsizetype at = line.indexOf(QStringLiteral("]: "));
    out.push_back((at >= 0 && line.startsWith(u'[') ? line.mid(at + 3) : line).toStdString());
  }
  return out;
}

}  // namespace dkscr::test
