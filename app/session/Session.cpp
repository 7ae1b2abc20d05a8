#include "app/session/Session.h"

#include <QLockFile>
#include <QString>
#include <algorithm>
#include <exception>
#include <string>
#include <utility>

#include "app/session/AppState.h"
#include "app/session/FileNames.h"
#include "app/session/FileProbe.h"

namespace dkscr {
namespace {

std::u16string Decimal(int64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// Adds what the scan finds and passes the rest of the walk on to the caller's observer.
class AddingObserver : public ScanObserver {
 public:
  AddingObserver(Session& session, ScanObserver& caller, ScanSummary& summary)
      : session_(session), caller_(caller), summary_(summary) {}
  void FolderEntered(const std::u16string& folder) override { caller_.FolderEntered(folder); }
  void FileFound(const FoundFile& file) override {
    if (session_.AddFiles({file.Path()}, {int64_t(file.size)}).front() == AddOutcome::kAdded)
      ++summary_.added;
    caller_.FileFound(file);
  }
  bool StopRequested() override { return caller_.StopRequested(); }

 private:
  Session& session_;
  ScanObserver& caller_;
  ScanSummary& summary_;
};

}  // namespace

// The lock of a job file, held while a session owns it. A lock left by a program that ended
// without removing it (a crash, a power cut) is found stale by its process number and taken.
class ListLock {
 public:
  enum class Outcome { kTaken, kHeldElsewhere, kNoLock };
  explicit ListLock(const std::u16string& jobFile)
      : file_(QString::fromStdU16String(jobFile + u".lock")) {
    file_.setStaleLockTime(0);  // a long-lived window keeps its list however long it stays
  }
  Outcome Take() {
    if (file_.tryLock(0)) return Outcome::kTaken;
    // A folder that cannot take the lock cannot take the list either: nothing to guard.
    return file_.error() == QLockFile::LockFailedError ? Outcome::kHeldElsewhere : Outcome::kNoLock;
  }

 private:
  QLockFile file_;
};

JobRecord RecordOf(const Entry& entry) {
  JobRecord record;
  record.state = static_cast<int32_t>(entry.state);
  record.texts = {std::u16string(FileNamePart(entry.source)),
                  entry.source,
                  entry.size >= 0 ? Decimal(entry.size) : std::u16string(),
                  entry.kind,
                  entry.target,
                  entry.message};
  return record;
}

Entry EntryOf(const JobRecord& record) {
  // A record may carry fewer texts than the six columns: the missing ones are empty.
  auto text = [&record](size_t i) { return i < record.texts.size() ? record.texts[i] : u""; };
  Entry entry;
  entry.state = static_cast<EntryState>(record.state);
  entry.source = text(1);
  entry.size = ParseSize(text(2));
  entry.kind = text(3);
  entry.target = text(4);
  entry.message = text(5);
  return entry;
}

Session::Session(AppState& state, const QLocale& collation) : state_(state), order_(collation) {}

Session::~Session() = default;

void Session::AddObserver(SessionObserver& observer) { observers_.push_back(&observer); }

void Session::RemoveObserver(SessionObserver& observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), &observer), observers_.end());
}

template <typename Notify>
void Session::NotifyAll(Notify notify) {
  for (SessionObserver* observer : observers_) notify(*observer);
}

void Session::Index(const Entry& entry, int delta) {
  const std::u16string key = UpperCaseText(entry.source);
  int& count = index_[key];
  count += delta;
  if (count <= 0) index_.erase(key);
}

bool Session::Contains(std::u16string_view source) const {
  return index_.count(UpperCaseText(source)) != 0;
}

std::u16string Session::TargetFor(std::u16string_view source) const {
  return TargetFileName(source, state_.settings);
}

AddOutcome Session::AddFile(const std::u16string& path) { return AddFiles({path}).front(); }

std::vector<AddOutcome> Session::AddFiles(const std::vector<std::u16string>& paths,
                                          const std::vector<int64_t>& sizes) {
  std::vector<AddOutcome> outcomes;
  outcomes.reserve(paths.size());
  std::vector<Entry> added;
  for (size_t i = 0; i < paths.size(); ++i) {
    const std::u16string& path = paths[i];
    // Duplicates within the same batch count too: the index takes each new entry at once.
    if (Contains(path)) {
      Log(u"Add file failed: already added (" + path + u")");
      outcomes.push_back(AddOutcome::kAlreadyAdded);
      continue;
    }
    const int type = state_.FileTypeOfExtension(ExtensionOf(path));
    if (type == 0) {
      Log(u"Add file failed: type not support (" + path + u")");
      outcomes.push_back(AddOutcome::kNotSupported);
      continue;
    }
    Entry entry;
    entry.source = path;
    entry.size = i < sizes.size() ? sizes[i] : FileSizeOf(path);
    entry.kind = std::u16string(FileTypeRow(type).TypeTag);
    entry.target = TargetFor(path);
    Index(entry, +1);
    added.push_back(std::move(entry));
    outcomes.push_back(AddOutcome::kAdded);
  }
  Append(std::move(added));
  return outcomes;
}

void Session::Append(std::vector<Entry> added) {
  if (added.empty()) return;
  const int first = Count();
  const int last = first + int(added.size()) - 1;
  NotifyAll([&](SessionObserver& o) { o.RowsAboutToBeInserted(first, last); });
  std::move(added.begin(), added.end(), std::back_inserter(entries_));
  NotifyAll([](SessionObserver& o) { o.RowsInserted(); });
}

ScanSummary Session::AddFolders(const ScanRequest& request, ScanObserver& observer) {
  ScanSummary summary;
  AddingObserver adding(*this, observer, summary);
  const FolderScan scan(request.masks, request.recursive);
  for (const std::u16string& folder : request.folders) {
    if (!scan.Execute(folder, adding)) {
      summary.stopped = true;
      break;
    }
  }
  observer.Finished(summary);
  return summary;
}

size_t Session::RemoveRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= Count(); }),
             rows.end());
  // The runs of doomed rows: first row and one past the last.
  std::vector<std::pair<int, int>> runs;
  for (int row : rows) {
    if (runs.empty() || runs.back().second != row) runs.emplace_back(row, row);
    ++runs.back().second;
    Index(entries_[size_t(row)], -1);
  }
  constexpr size_t kMaxRunsRemovedSingly = 64;
  if (runs.size() <= kMaxRunsRemovedSingly) {
    // From the bottom up, so that the rows of the runs still to go keep their numbers; a view
    // keeps its place and the rest of its selection.
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
      const int first = it->first;
      const int end = it->second;
      NotifyAll([&](SessionObserver& o) { o.RowsAboutToBeRemoved(first, end - 1); });
      entries_.erase(entries_.begin() + first, entries_.begin() + end);
      NotifyAll([](SessionObserver& o) { o.RowsRemoved(); });
    }
    return rows.size();
  }
  // Many scattered rows: one pass and a reset, since each removal moves the rest of the list.
  NotifyAll([](SessionObserver& o) { o.AboutToReset(); });
  std::vector<bool> doomed(entries_.size(), false);
  for (int row : rows) doomed[size_t(row)] = true;
  size_t kept = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (doomed[i]) continue;
    if (kept != i) entries_[kept] = std::move(entries_[i]);
    ++kept;
  }
  entries_.resize(kept);
  NotifyAll([](SessionObserver& o) { o.ResetDone(); });
  return rows.size();
}

bool Session::SortByColumn(int column) {
  const bool ascending = column != sortColumn_ || !sortAscending_;
  Sort(column, ascending);
  return ascending;
}

void Session::Sort(int column, bool ascending) {
  const std::vector<int> order = order_.Sorted(entries_, column, ascending);
  NotifyAll([](SessionObserver& o) { o.RowsAboutToMove(); });
  std::vector<Entry> sorted;
  sorted.reserve(entries_.size());
  std::vector<int> newRowOf(entries_.size());
  for (size_t i = 0; i < order.size(); ++i) {
    newRowOf[size_t(order[i])] = int(i);
    sorted.push_back(std::move(entries_[size_t(order[i])]));
  }
  entries_ = std::move(sorted);
  sortColumn_ = column;
  sortAscending_ = ascending;
  NotifyAll([&](SessionObserver& o) { o.RowsMoved(newRowOf); });
}

int Session::RetargetEntries() {
  int changed = 0;
  int first = -1;
  int last = -1;
  for (int row = 0; row < Count(); ++row) {
    Entry& entry = entries_[size_t(row)];
    if (entry.state == EntryState::kConverted) continue;
    std::u16string target = TargetFor(entry.source);
    if (target == entry.target) continue;
    entry.target = std::move(target);
    ++changed;
    if (first < 0) first = row;
    last = row;
  }
  if (changed > 0) NotifyAll([&](SessionObserver& o) { o.RowsChanged(first, last); });
  return changed;
}

void Session::SetTarget(int row, std::u16string target) {
  entries_[size_t(row)].target = std::move(target);
  NotifyAll([row](SessionObserver& o) { o.RowsChanged(row, row); });
}

void Session::SetOutcome(int row, EntryState state, std::u16string message) {
  Entry& entry = entries_[size_t(row)];
  entry.state = state;
  entry.message = std::move(message);
  NotifyAll([row](SessionObserver& o) { o.RowsChanged(row, row); });
}

JobFileStart Session::LoadJobFile() {
  JobFileStart start;
  if (!lock_) {
    lock_ = std::make_unique<ListLock>(state_.JobFilePath());
    listInUseElsewhere_ = lock_->Take() == ListLock::Outcome::kHeldElsewhere;
  }
  if (listInUseElsewhere_) {
    start.inUseElsewhere = true;
    return start;
  }
  std::vector<JobRecord> records;
  const JobFileLoadResult loaded = dkscr::LoadJobFile(records, state_.JobFilePath());
  start.status = loaded.status;
  if (loaded.status == JobFileLoadStatus::Loaded || loaded.status == JobFileLoadStatus::Damaged) {
    NotifyAll([](SessionObserver& o) { o.AboutToReset(); });
    entries_.clear();
    index_.clear();
    for (const JobRecord& record : records) {
      entries_.push_back(EntryOf(record));
      Index(entries_.back(), +1);
    }
    NotifyAll([](SessionObserver& o) { o.ResetDone(); });
  }
  if (start.Problem()) {
    start.backup = KeepAsBackup(state_.JobFilePath(), start.backupError);
    keepUnreadJobFile_ = start.backup.empty();
  }
  return start;
}

JobFileSave Session::SaveJobFile() const {
  JobFileSave save;
  if (listInUseElsewhere_) {
    save.notOurs = true;
    return save;
  }
  if (keepUnreadJobFile_) {
    save.refused = true;
    return save;
  }
  std::vector<JobRecord> records;
  records.reserve(entries_.size());
  for (const Entry& entry : entries_) records.push_back(RecordOf(entry));
  // A folder that cannot be written loses the list, not the program's orderly end.
  save.result = dkscr::SaveJobFile(records, state_.JobFilePath());
  return save;
}

void Session::Log(std::u16string_view message) {
  try {
    state_.WriteLog(message);
  } catch (const std::exception& e) {
    if (logFailure_.empty()) logFailure_ = e.what();
  }
}

std::string Session::TakeLogFailure() { return std::exchange(logFailure_, std::string()); }

}  // namespace dkscr
