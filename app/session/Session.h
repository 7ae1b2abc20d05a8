#pragma once
// The desktop program's session: the list of presentations with its rules (what may be added,
// duplicates, sorting, removing), the job file that keeps the list between runs of the
// program, the settings and the activity log. It knows no window: views observe it, and a
// test drives it alone. Everything here runs on one thread, the one that owns the session.
#include <QLocale>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/session/Entry.h"
#include "app/session/EntryOrder.h"
#include "app/session/FolderScan.h"
#include "app/session/JobFile.h"

namespace dkscr {

class AppState;
class ListLock;

// Told of every change of the list, in the order of a Qt item model: "about to" before the
// entries change, the other call after.
class SessionObserver {
 public:
  virtual ~SessionObserver() = default;
  virtual void RowsAboutToBeInserted(int first, int last) { (void)first, (void)last; }
  virtual void RowsInserted() {}
  virtual void RowsAboutToBeRemoved(int first, int last) { (void)first, (void)last; }
  virtual void RowsRemoved() {}
  virtual void RowsChanged(int first, int last) { (void)first, (void)last; }
  // A sort: afterwards the entry of old row r is at newRowOf[r].
  virtual void RowsAboutToMove() {}
  virtual void RowsMoved(const std::vector<int>& newRowOf) { (void)newRowOf; }
  virtual void AboutToReset() {}
  virtual void ResetDone() {}
};

enum class AddOutcome { kAdded, kAlreadyAdded, kNotSupported };

// What loading the job file at start found, for the user to be told.
struct JobFileStart {
  JobFileLoadStatus status = JobFileLoadStatus::Missing;
  std::u16string backup;  // where a file that could not be read was moved
  int backupError = 0;    // the errno when it could not be moved: it is then never replaced
  // Another window of the program keeps this list: this one starts empty and never saves.
  bool inUseElsewhere = false;
  bool Problem() const { return LeftUnreadFile(status); }
};

// What saving the job file did.
struct JobFileSave {
  bool refused = false;  // an unread file could not be kept aside: it was left as it is
  bool notOurs = false;  // another window keeps the list: nothing was written
  JobFileSaveResult result;
};

class Session {
 public:
  // Names are sorted by the collation of `collation` (the user's locale by default).
  explicit Session(AppState& state, const QLocale& collation = QLocale());
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  AppState& State() { return state_; }
  const AppState& State() const { return state_; }

  void AddObserver(SessionObserver& observer);
  void RemoveObserver(SessionObserver& observer);

  int Count() const { return int(entries_.size()); }
  const Entry& At(int row) const { return entries_[size_t(row)]; }
  const std::vector<Entry>& Entries() const { return entries_; }
  // Whether an entry's source is this path, letter case ignored.
  bool Contains(std::u16string_view source) const;

  // The target of a source with the options as they are now.
  std::u16string TargetFor(std::u16string_view source) const;

  // Adds a file unless it is listed already or of no supported type; a refusal is logged.
  AddOutcome AddFile(const std::u16string& path);
  // The same for many files, with one notification for all that were added. `sizes`, when
  // given, holds each file's size as a folder scan found it, so it is not asked again.
  std::vector<AddOutcome> AddFiles(const std::vector<std::u16string>& paths,
                                   const std::vector<int64_t>& sizes = {});
  // Scans the request's folders in turn on this thread and adds what it finds, until the
  // observer asks to stop; the folders after a stopped one are not scanned.
  ScanSummary AddFolders(const ScanRequest& request, ScanObserver& observer);

  // Removes the rows (any order; repeated and unknown rows are ignored); returns how many.
  size_t RemoveRows(std::vector<int> rows);

  // A click on a column: ascending, unless the same column was last sorted ascending.
  // Returns the direction taken.
  bool SortByColumn(int column);
  void Sort(int column, bool ascending);
  int SortColumn() const { return sortColumn_; }  // -1 before the first sort
  bool SortAscending() const { return sortAscending_; }

  // After the options changed: every entry not yet converted gets the target the options give
  // now; a converted entry keeps the path its text was written to. Returns how many changed.
  int RetargetEntries();

  // What a run writes into an entry.
  void SetTarget(int row, std::u16string target);
  void SetOutcome(int row, EntryState state, std::u16string message);

  // Takes the job file for this session (a lock beside it, released when the session goes)
  // and replaces the list with the file's; a file that cannot be read whole is moved aside
  // (Deckscribe.job.bak, ...) so that saving does not destroy it. When another session of
  // the program holds the file, the list stays empty and is never saved.
  JobFileStart LoadJobFile();
  // Writes the list into the job file, unless an unread one could not be kept aside or the
  // file belongs to another session.
  JobFileSave SaveJobFile() const;

  // Appends a line to the activity log. A failure is kept, not thrown: the caller tells it
  // once an operation is over (TakeLogFailure).
  void Log(std::u16string_view message);
  // The first log failure since the last call; empty when there was none.
  std::string TakeLogFailure();

 private:
  void Index(const Entry& entry, int delta);
  void Append(std::vector<Entry> added);
  template <typename Notify>
  void NotifyAll(Notify notify);

  AppState& state_;
  EntryOrder order_;
  std::vector<Entry> entries_;
  // Upper-cased sources with their number of entries, so that adding stays fast in long lists.
  std::unordered_map<std::u16string, int> index_;
  std::vector<SessionObserver*> observers_;
  int sortColumn_ = -1;
  bool sortAscending_ = true;
  bool keepUnreadJobFile_ = false;
  std::unique_ptr<ListLock> lock_;
  bool listInUseElsewhere_ = false;
  std::string logFailure_;
};

// The job file's record of an entry and back. A record's "Name" text is not kept: it is the
// source's file name.
JobRecord RecordOf(const Entry& entry);
Entry EntryOf(const JobRecord& record);

}  // namespace dkscr
