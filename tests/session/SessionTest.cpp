// The session without any window: adding with its refusals, folder scans, sorting by values in
// two languages, removing runs of rows, the job file, and the worker thread for runs and scans.
#include <gtest/gtest.h>

#include <sys/stat.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <QCoreApplication>
#include <QSysInfo>
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "app/session/AppState.h"
#include "app/session/BackgroundRun.h"
#include "app/session/BackgroundScan.h"
#include "app/session/ProgramDir.h"
#include "app/session/Session.h"
#include "app/session/TargetPreview.h"
#include "app/session/WorkerThread.h"
#include "platform/NativePath.h"
#include "tests/session/RunStubs.h"
#include "tests/support/ScratchDir.h"

namespace dkscr {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Texts = std::vector<std::u16string>;

// Records the notifications as text, "+first-last", "-first-last", "~row", "sort", "reset".
class ChangeLog : public SessionObserver {
 public:
  void RowsAboutToBeInserted(int first, int last) override { Add("+", first, last); }
  void RowsAboutToBeRemoved(int first, int last) override { Add("-", first, last); }
  void RowsChanged(int first, int last) override { Add("~", first, last); }
  void RowsMoved(const std::vector<int>& newRowOf) override {
    changes.push_back("sort");
    moved = newRowOf;
  }
  void ResetDone() override { changes.push_back("reset"); }

  std::vector<std::string> changes;
  std::vector<int> moved;

 private:
  void Add(const char* kind, int first, int last) {
    changes.push_back(kind + std::to_string(first) + "-" + std::to_string(last));
  }
};

class SessionTest : public testing::Test {
 protected:
  SessionTest() { session_.AddObserver(changes_); }
  ~SessionTest() override { session_.RemoveObserver(changes_); }

  std::u16string File(const std::string& name, size_t size = 1) {
    fs::create_directories(fs::path(dir_.Path(name)).parent_path());
    return dir_.Put(name, std::string(size, 'x'));
  }
  std::u16string Path(const std::string& name) { return PathFromNative(dir_.Path(name)); }
  Texts Names() const {
    Texts out;
    for (const Entry& e : session_.Entries()) out.push_back(e.source.substr(e.source.rfind(u'/') + 1));
    return out;
  }
  std::vector<std::string> Log() const { return test::LogMessages(state_); }

  test::ScratchDir dir_;
  AppState state_{PathFromNative(dir_.Path("")), PathFromNative(dir_.Path("docs/"))};
  Session session_{state_, QLocale(QLocale::German, QLocale::Germany)};
  ChangeLog changes_;
};

TEST_F(SessionTest, AddingTakesTheEntryFromItsPathAndRefusesDuplicatesAndOtherTypes) {
  state_.settings.targetDir = Path("out/");
  const std::u16string talk = File("data/Talk.PPT", 100);
  EXPECT_EQ(session_.AddFile(talk), AddOutcome::kAdded);
  const Entry& e = session_.At(0);
  EXPECT_EQ(e.source, talk);
  EXPECT_EQ(e.size, 100);
  EXPECT_EQ(e.kind, u"PPT");
  EXPECT_EQ(e.target, Path("out/Talk.txt"));
  EXPECT_EQ(e.state, EntryState::kNew);
  EXPECT_EQ(e.message, u"");

  // The same path in other letter case is already there.
  const std::u16string lower = Path("data/talk.ppt");
  EXPECT_EQ(session_.AddFile(lower), AddOutcome::kAlreadyAdded);
  // Extensions match whole: pieces of "ppt" are no presentations.
  for (const char* name : {"data/notes.txt", "data/README", "data/deck.pt", "x.y/noext",
                           "data/deck.pp", "data/deck.p", "data/deck.ppt.bak"})
    EXPECT_EQ(session_.AddFile(File(name)), AddOutcome::kNotSupported) << name;
  // The whole family, as the console programs take it; a missing file comes with size 0.
  EXPECT_EQ(session_.AddFile(File("data/show.PPS")), AddOutcome::kAdded);
  EXPECT_EQ(session_.At(1).kind, u"PPT");
  EXPECT_EQ(session_.At(1).target, Path("out/show.txt"));
  EXPECT_EQ(session_.AddFile(Path("data/gone.pptx")), AddOutcome::kAdded);
  EXPECT_EQ(session_.At(2).size, 0);
  EXPECT_EQ(session_.At(2).kind, u"PPTX");
  const char* family[][2] = {{"f.pot", "PPT"},   {"f.pptm", "PPTX"}, {"f.ppsx", "PPTX"},
                             {"f.ppsm", "PPTX"}, {"f.potx", "PPTX"}, {"f.potm", "PPTX"}};
  for (const auto& [name, kind] : family) {
    ASSERT_EQ(session_.AddFile(File(std::string("data/") + name)), AddOutcome::kAdded) << name;
    EXPECT_EQ(session_.Entries().back().kind, QString(kind).toStdU16String()) << name;
  }
  EXPECT_EQ(session_.Count(), 9);
  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 8u);
  EXPECT_EQ(log[0], "Add file failed: already added (" + dir_.Path("data/talk.ppt") + ")");
  EXPECT_EQ(log[1], "Add file failed: type not support (" + dir_.Path("data/notes.txt") + ")");

  // A batch is one insertion, and a duplicate within the batch is refused too.
  changes_.changes.clear();
  const std::vector<AddOutcome> outcomes =
      session_.AddFiles({File("b/one.ppt"), File("b/two.pptx"), Path("b/ONE.ppt"), talk});
  EXPECT_EQ(outcomes, (std::vector<AddOutcome>{AddOutcome::kAdded, AddOutcome::kAdded,
                                               AddOutcome::kAlreadyAdded,
                                               AddOutcome::kAlreadyAdded}));
  EXPECT_EQ(changes_.changes, std::vector<std::string>{"+9-10"});
}

TEST_F(SessionTest, FolderScansFollowMasksAndRecursionAndStopBeforeTheNextFolder) {
  for (const char* name : {"tree/a.ppt", "tree/B.PPT", "tree/c.Pptx", "tree/d.ppt.bak",
                           "tree/sub/e.pptx", "tree/sub/deeper/f.ppt", "tree/.hidden/g.ppt",
                           "second/h.ppt", "second/show.PPS", "second/x.pp"})
    File(name);
  state_.settings.scanFolders = u";" + Path("tree") + u";;" + Path("second") + u";";
  ScanRequest request{SplitScanFolders(state_.settings.scanFolders),
                      BuildScanMasks(state_.settings, true, true), false};
  test::ScanRecorder flat;
  EXPECT_EQ(session_.AddFolders(request, flat).added, 5);
  EXPECT_EQ(flat.folders, (Texts{Path("tree/"), Path("second/")}));
  EXPECT_EQ(flat.finished, 1);

  // Recursive, PPTX only: the earlier c.Pptx is a duplicate.
  session_.AddFile(Path("tree/a.ppt"));  // logged as a duplicate, not added
  request = {{Path("tree")}, BuildScanMasks(state_.settings, false, true), true};
  test::ScanRecorder deep;
  const ScanSummary summary = session_.AddFolders(request, deep);
  EXPECT_EQ(summary.added, 1);
  EXPECT_FALSE(summary.stopped);
  EXPECT_EQ(session_.At(5).source, Path("tree/sub/e.pptx"));
  EXPECT_NE(std::find(deep.folders.begin(), deep.folders.end(), Path("tree/sub/deeper/")),
            deep.folders.end());
  EXPECT_EQ(std::find(deep.folders.begin(), deep.folders.end(), Path("tree/.hidden/")),
            deep.folders.end());

  // Stopped in the first folder: the second is never entered.
  Session other(state_);
  request = {{Path("tree"), Path("second")}, u"*.ppt|", true};
  test::ScanRecorder stopping;
  stopping.stopAfterFolders = 1;
  EXPECT_TRUE(other.AddFolders(request, stopping).stopped);
  EXPECT_FALSE(other.Contains(Path("second/h.ppt")));
  EXPECT_EQ(stopping.last.stopped, true);
}

TEST_F(SessionTest, EveryColumnSortsByItsValuesInEitherLanguage) {
  state_.settings.targetDir = Path("out/");
  session_.AddFile(File("s/Zebra.ppt", 9));
  session_.AddFile(File("s/\u00C4rger.pptx", 10000));
  session_.AddFile(File("s/apfel.ppt", 100));
  session_.AddFile(File("s/Bild 10.ppt", 2500));
  session_.AddFile(File("s/Bild 9.ppt", 0));
  session_.SetOutcome(0, EntryState::kFailed, u"Source file does not exist");
  session_.SetOutcome(1, EntryState::kConverted, u"Convert successfully");
  session_.SetOutcome(2, EntryState::kFailed, u"File format not correct");

  // German: "Ä" sorts with "A", case is ignored, "9" comes before "10".
  EXPECT_TRUE(session_.SortByColumn(kColName));
  EXPECT_EQ(Names(), (Texts{u"apfel.ppt", u"\u00C4rger.pptx", u"Bild 9.ppt", u"Bild 10.ppt", u"Zebra.ppt"}));
  EXPECT_EQ(session_.SortColumn(), kColName);
  // A second click reverses; the same for the paths of the source and target columns.
  EXPECT_FALSE(session_.SortByColumn(kColName));
  EXPECT_EQ(Names().front(), u"Zebra.ppt");
  EXPECT_TRUE(session_.SortByColumn(kColSource));
  EXPECT_EQ(Names().front(), u"apfel.ppt");
  EXPECT_TRUE(session_.SortByColumn(kColTarget));
  EXPECT_EQ(Names().back(), u"Zebra.ppt");
  // Sizes as numbers, states by their number, types and messages as texts; ties keep order.
  session_.Sort(kColSize, true);
  EXPECT_EQ(Names(), (Texts{u"Bild 9.ppt", u"Zebra.ppt", u"apfel.ppt", u"Bild 10.ppt", u"\u00C4rger.pptx"}));
  session_.Sort(kColState, true);
  EXPECT_EQ(Names(), (Texts{u"Bild 9.ppt", u"Bild 10.ppt", u"\u00C4rger.pptx", u"Zebra.ppt", u"apfel.ppt"}));
  session_.Sort(kColType, false);
  EXPECT_EQ(Names().front(), u"\u00C4rger.pptx");
  session_.Sort(kColMessage, true);
  EXPECT_EQ(Names(), (Texts{u"Bild 9.ppt", u"Bild 10.ppt", u"\u00C4rger.pptx", u"apfel.ppt", u"Zebra.ppt"}));

  // The observer can follow each entry to its new row.
  const std::vector<Entry> before = session_.Entries();
  session_.Sort(kColSize, false);
  ASSERT_EQ(changes_.moved.size(), before.size());
  for (size_t r = 0; r < before.size(); ++r)
    EXPECT_EQ(session_.At(changes_.moved[r]), before[r]);

  // Swedish: "Ä" comes after "Z".
  Session swedish(state_, QLocale(QLocale::Swedish, QLocale::Sweden));
  for (const Entry& e : session_.Entries()) swedish.AddFile(e.source);
  swedish.Sort(kColName, true);
  EXPECT_EQ(swedish.At(4).source, Path("s/\u00C4rger.pptx"));
}

TEST(EntryOrder, ComparesValuesNotTheirTexts) {
  const EntryOrder order(QLocale::c());
  auto entry = [](std::u16string name, int64_t size, EntryState state, std::u16string kind = u"PPT") {
    return Entry{u"/d/" + name, size, std::move(kind), u"", state, u""};
  };
  auto first = [&](std::vector<Entry> two, int column) {
    return two[size_t(order.Sorted(two, column, true).front())].source;
  };
  // States and sizes as numbers, not as texts; a size no saved list could read comes first.
  EXPECT_EQ(first({entry(u"a", 0, EntryState::kFailed), entry(u"b", 0, EntryState::kNew)}, kColState), u"/d/b");
  EXPECT_EQ(first({entry(u"a", 10, EntryState::kNew), entry(u"b", 9, EntryState::kNew)}, kColSize), u"/d/b");
  EXPECT_EQ(first({entry(u"a", 3000000000, EntryState::kNew), entry(u"b", 2999999999, EntryState::kNew)}, kColSize), u"/d/b");
  EXPECT_EQ(first({entry(u"a", 0, EntryState::kNew), entry(u"b", -1, EntryState::kNew)}, kColSize), u"/d/b");
  // Names: letter case is ignored, equal keys keep their order, shorter first.
  EXPECT_EQ(first({entry(u"talk.ppt", 0, EntryState::kNew), entry(u"Talk.PPT", 0, EntryState::kNew)}, kColName), u"/d/talk.ppt");
  EXPECT_EQ(first({entry(u"Banana", 0, EntryState::kNew), entry(u"apple", 0, EntryState::kNew)}, kColName), u"/d/apple");
  EXPECT_EQ(first({entry(u"b", 0, EntryState::kNew), entry(u"ab", 0, EntryState::kNew)}, kColName), u"/d/ab");
  EXPECT_EQ(first({entry(u"x", 0, EntryState::kNew, u"PPTX"), entry(u"y", 0, EntryState::kNew, u"PPT")}, kColType), u"/d/y");
  EXPECT_EQ(ParseSize(u"42"), 42);
  EXPECT_EQ(ParseSize(u"abc"), -1);
  EXPECT_EQ(ParseSize(u""), -1);
}

TEST_F(SessionTest, RemovingRunsOfRowsFromTheBottomUp) {
  for (int i = 0; i < 10; ++i) session_.AddFile(Path("r/" + std::to_string(i) + ".ppt"));
  changes_.changes.clear();
  EXPECT_EQ(session_.RemoveRows({9, 1, 5, 2, 8, 5, 42}), 5u);
  EXPECT_EQ(changes_.changes, (std::vector<std::string>{"-8-9", "-5-5", "-1-2"}));
  EXPECT_EQ(Names(), (Texts{u"0.ppt", u"3.ppt", u"4.ppt", u"6.ppt", u"7.ppt"}));
  // A removed entry may be added again; the others are still there.
  EXPECT_EQ(session_.AddFile(Path("r/1.ppt")), AddOutcome::kAdded);
  EXPECT_EQ(session_.AddFile(Path("r/3.ppt")), AddOutcome::kAlreadyAdded);

  // Many scattered rows go in one pass.
  for (int i = 10; i < 200; ++i) session_.AddFile(Path("r/" + std::to_string(i) + ".ppt"));
  std::vector<int> every;
  for (int r = 0; r < session_.Count(); r += 2) every.push_back(r);
  changes_.changes.clear();
  const int before = session_.Count();
  EXPECT_EQ(session_.RemoveRows(every), every.size());
  EXPECT_EQ(changes_.changes, std::vector<std::string>{"reset"});
  EXPECT_EQ(session_.Count(), before - int(every.size()));
  EXPECT_FALSE(session_.Contains(Path("r/0.ppt")));
  EXPECT_TRUE(session_.Contains(Path("r/3.ppt")));
}

TEST_F(SessionTest, JobFileRoundTripAndItsEmptyForm) {
  session_.AddFile(File("j/Talk.PPT", 100));
  session_.AddFile(Path("j/\u00DCbersicht \u4E2D\U0001F600.pptx"));
  session_.SetOutcome(0, EntryState::kConverted, u"Convert successfully");
  session_.SetOutcome(1, EntryState::kFailed, u"Source file does not exist");
  session_.SetTarget(1, u"/elsewhere/x(1).txt");
  ASSERT_TRUE(session_.SaveJobFile().result.Ok());

  Session again(state_);
  ChangeLog seen;
  again.AddObserver(seen);
  EXPECT_EQ(again.LoadJobFile().status, JobFileLoadStatus::Loaded);
  EXPECT_EQ(seen.changes, std::vector<std::string>{"reset"});
  EXPECT_EQ(again.Entries(), session_.Entries());
  EXPECT_TRUE(again.Contains(Path("j/talk.ppt")));  // loaded entries count as added
  again.RemoveObserver(seen);

  const std::string job = PathToNative(state_.JobFilePath());
  session_.RemoveRows({0, 1});
  ASSERT_TRUE(session_.SaveJobFile().result.Ok());
  EXPECT_EQ(test::ReadFile(job), "LFW\0\0"s);
  EXPECT_EQ(again.LoadJobFile().status, JobFileLoadStatus::Loaded);
  EXPECT_EQ(again.Count(), 0);
}

TEST_F(SessionTest, UnreadableJobFileIsKeptAsideAndNeverSavedOver) {
  const std::string job = PathToNative(state_.JobFilePath());
  test::WriteFileBytes(job, "LFX not a list");
  const JobFileStart start = session_.LoadJobFile();
  EXPECT_EQ(start.status, JobFileLoadStatus::UnknownTag);
  EXPECT_TRUE(start.Problem());
  EXPECT_EQ(start.backup, state_.JobFilePath() + u".bak");
  EXPECT_EQ(test::ReadFile(job + ".bak"), "LFX not a list");
  EXPECT_FALSE(fs::exists(job));
  session_.AddFile(Path("a.ppt"));
  ASSERT_TRUE(session_.SaveJobFile().result.Ok());
  EXPECT_EQ(test::ReadFile(job).substr(0, 5), "LFW\1\0"s);
  EXPECT_EQ(test::ReadFile(job + ".bak"), "LFX not a list");

  // A list that ends early (in another folder, as this session keeps its own list): what was
  // read completely is loaded, the file kept aside too, beside the earlier backup.
  std::string bytes = test::ReadFile(job);
  bytes[3] = 2;
  test::ScratchDir elsewhere;
  AppState other(PathFromNative(elsewhere.Path("")), PathFromNative(elsewhere.Path("docs/")));
  test::WriteFileBytes(PathToNative(other.JobFilePath()), bytes);
  test::WriteFileBytes(PathToNative(other.JobFilePath()) + ".bak", "older");
  Session damaged(other);
  const JobFileStart second = damaged.LoadJobFile();
  EXPECT_EQ(second.status, JobFileLoadStatus::Damaged);
  EXPECT_EQ(damaged.Count(), 1);
  EXPECT_EQ(second.backup, other.JobFilePath() + u".bak2");
}

// --- the worker thread ---------------------------------------------------------------------

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "session_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

// Lets queued calls from the worker arrive until `done` holds; false after ten seconds.
template <typename Done>
bool WaitFor(Done done) {
  App();
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > 10000) return false;
    QCoreApplication::processEvents();
    QThread::msleep(1);
  }
  return true;
}

// Converts on the worker and remembers on which thread; the file "slow.ppt" waits there until
// the run is cancelled, as a long presentation would convert until told to stop.
class ThreadedConverter : public TargetConverter {
 public:
  ConvertResult Convert(const ConvertJob& job, const std::atomic<bool>& cancel) override {
    thread = QThread::currentThread();
    if (job.source.ends_with(u"slow.ppt")) {
      inSlowFile = true;
      while (!cancel) QThread::msleep(1);
      return {ConvertResult::Status::kCancelled, 0};
    }
    return {ConvertResult::Status::kWritten, 1};
  }
  std::atomic<QThread*> thread{nullptr};
  std::atomic<bool> inSlowFile{false};
};

TEST_F(SessionTest, RunsConvertOnTheWorkerAndCancelStopsInsideAFile) {
  App();
  WorkerThread worker;
  ThreadedConverter converter;
  BackgroundRun background(worker, converter);
  session_.AddFile(Path("w/a.ppt"));
  session_.AddFile(Path("w/slow.ppt"));
  session_.AddFile(Path("w/after.ppt"));
  session_.SetTarget(1, u"/before/slow.txt");

  test::RunRecorder observer;
  ASSERT_TRUE(background.Start(std::make_unique<SessionRun>(session_, RunScope::kAll,
                                                            std::vector<int>{}, observer)));
  EXPECT_TRUE(background.Running());
  ASSERT_TRUE(WaitFor([&] { return converter.inSlowFile.load(); }));
  EXPECT_EQ(session_.At(0).state, EntryState::kConverted);  // written back on this thread
  EXPECT_NE(converter.thread.load(), QThread::currentThread());
  EXPECT_EQ(observer.finished, 0);
  background.Cancel();
  ASSERT_TRUE(WaitFor([&] { return observer.finished == 1; }));
  EXPECT_FALSE(background.Running());
  EXPECT_TRUE(observer.last.stopped);
  // The file it was in stays as it was; the one after it is never started.
  EXPECT_EQ(session_.At(1).state, EntryState::kNew);
  EXPECT_EQ(session_.At(1).target, u"/before/slow.txt");
  EXPECT_EQ(session_.At(2).state, EntryState::kNew);
  EXPECT_EQ(Log().at(Log().size() - 2), "Conversion end. Successful: 1, Failed: 0, Total: 1");

  // An empty list starts nothing.
  Session empty(state_);
  EXPECT_FALSE(background.Start(std::make_unique<SessionRun>(empty, RunScope::kAll,
                                                             std::vector<int>{}, observer)));
}

TEST_F(SessionTest, ScansWalkOnTheWorkerAndStopBeforeTheNextEntry) {
  App();
  for (int i = 0; i < 1200; ++i) File("big/" + std::to_string(i) + ".ppt");
  File("big/sub/inner.pptx");
  File("later/z.ppt");
  WorkerThread worker;
  BackgroundScan scan(worker);
  test::ScanRecorder observer;
  scan.Start(session_, {{Path("big"), Path("later")}, u"*.ppt|*.pptx|", true}, observer);
  EXPECT_TRUE(scan.Running());
  ASSERT_TRUE(WaitFor([&] { return observer.finished == 1; }));
  EXPECT_EQ(observer.last.added, 1202);
  EXPECT_FALSE(observer.last.stopped);
  EXPECT_EQ(session_.Count(), 1202);
  EXPECT_EQ(observer.folders.front(), Path("big/"));
  EXPECT_EQ(observer.folders.back(), Path("later/"));
  // In batches, not one insertion per file.
  EXPECT_LT(changes_.changes.size(), 100u);

  // Stopped as the first folder shows: nothing of it or after it is added.
  Session other(state_);
  struct StopAtFirstFolder : test::ScanRecorder {
    BackgroundScan* scan = nullptr;
    void FolderEntered(const std::u16string& folder) override {
      ScanRecorder::FolderEntered(folder);
      scan->Stop();
    }
  } stopping;
  stopping.scan = &scan;
  scan.Start(other, {{Path("big"), Path("later")}, u"*.ppt|", true}, stopping);
  ASSERT_TRUE(WaitFor([&] { return stopping.finished == 1; }));
  EXPECT_TRUE(stopping.last.stopped);
  EXPECT_EQ(other.Count(), 0);
  EXPECT_EQ(stopping.folders, Texts{Path("big/")});
}

// Two windows on one settings folder: the second neither loads nor saves the first's list; a
// lock its program left behind when it died is taken over.
TEST_F(SessionTest, OneSessionKeepsTheJobFileAtATime) {
  session_.AddFile(File("l/first.ppt"));
  ASSERT_TRUE(session_.SaveJobFile().result.Ok());
  EXPECT_FALSE(session_.LoadJobFile().inUseElsewhere);
  ASSERT_EQ(session_.Count(), 1);
  const std::string job = PathToNative(state_.JobFilePath());
  const std::string saved = test::ReadFile(job);
  {
    Session second(state_);
    const JobFileStart start = second.LoadJobFile();
    EXPECT_TRUE(start.inUseElsewhere);
    EXPECT_FALSE(start.Problem());
    EXPECT_EQ(second.Count(), 0);
    second.AddFile(File("l/second.ppt"));
    const JobFileSave save = second.SaveJobFile();
    EXPECT_TRUE(save.notOurs);
    EXPECT_EQ(test::ReadFile(job), saved);  // the first window's list is untouched
  }
  session_.AddFile(File("l/more.ppt"));
  EXPECT_TRUE(session_.SaveJobFile().result.Ok());
  EXPECT_NE(test::ReadFile(job), saved);
}

TEST(SessionLock, TheNextSessionTakesTheListAndAStaleLockIsTakenOver) {
  test::ScratchDir dir;
  AppState state(PathFromNative(dir.Path("")), PathFromNative(dir.Path("docs/")));
  {
    Session first(state);
    EXPECT_FALSE(first.LoadJobFile().inUseElsewhere);
  }
  Session next(state);  // the first is gone, and its lock with it
  EXPECT_FALSE(next.LoadJobFile().inUseElsewhere);

#ifndef _WIN32  // a process that is gone, made with fork
  // A lock file whose process is gone: a crash left it.
  test::ScratchDir other;
  AppState crashed(PathFromNative(other.Path("")), PathFromNative(other.Path("docs/")));
  const pid_t child = ::fork();
  if (child == 0) _exit(0);
  ::waitpid(child, nullptr, 0);
  test::WriteFileBytes(PathToNative(crashed.JobFilePath()) + ".lock",
                       std::to_string(child) + "\nDeckscribe\n" + QSysInfo::machineHostName().toStdString() + "\n");
  Session after(crashed);
  EXPECT_FALSE(after.LoadJobFile().inUseElsewhere);
#endif
}

// The options change the folder and the form: the entries not yet converted follow them, a
// converted entry keeps the path its text went to.
TEST_F(SessionTest, TargetsFollowTheOptions) {
  state_.settings.targetDir = Path("out/");
  session_.AddFiles({File("r/a.ppt"), File("r/b.pptx"), File("r/c.ppt")});
  session_.SetOutcome(1, EntryState::kConverted, u"Convert successfully");
  session_.SetOutcome(2, EntryState::kFailed, u"File format not correct");
  changes_.changes.clear();
  state_.settings.targetDir = Path("elsewhere/");
  state_.settings.textForm = kTextFormJson;
  EXPECT_EQ(session_.RetargetEntries(), 2);
  EXPECT_EQ(session_.At(0).target, Path("elsewhere/a.json"));
  EXPECT_EQ(session_.At(1).target, Path("out/b.txt"));
  EXPECT_EQ(session_.At(2).target, Path("elsewhere/c.json"));
  EXPECT_EQ(changes_.changes, std::vector<std::string>{"~0-2"});
  state_.settings.targetBesideSource = true;
  state_.settings.textForm = kTextFormSlides;
  session_.RetargetEntries();
  EXPECT_EQ(session_.At(0).target, Path("r/a.txt"));
  changes_.changes.clear();
  EXPECT_EQ(session_.RetargetEntries(), 0);  // nothing changed: nothing told
  EXPECT_TRUE(changes_.changes.empty());
}

TEST(TargetPreview, DecodesAsTheRunWroteAndReadsOnlyRegularFiles) {
  test::ScratchDir dir;
  auto put = [&](const std::string& name, const std::string& bytes) {
    test::WriteFileBytes(dir.Path(name), bytes);
    return PathFromNative(dir.Path(name));
  };
  EXPECT_EQ(ReadTargetPreview(put("a.txt", "\xFF\xFEH\0i\0\r\0\n\0"s), 0, 100).text, u"Hi\n");
  EXPECT_EQ(ReadTargetPreview(put("b.txt", "\xEF\xBB\xBF\xC3\xBC\r\nx\ry"), 1252, 100).text,
            u"\u00FC\nx\ny");
  EXPECT_EQ(ReadTargetPreview(put("c.txt", "\xFC"), 1252, 100).text, u"\u00FC");
  EXPECT_EQ(ReadTargetPreview(put("d.md", "## 1. \xC3\xBC"), 1252, 100).text, u"## 1. \u00FC");
  const TargetPreview cut = ReadTargetPreview(put("e.txt", std::string(100, 'x')), 1252, 10);
  EXPECT_EQ(cut.text, std::u16string(10, u'x'));
  EXPECT_TRUE(cut.truncated);
  EXPECT_EQ(ReadTargetPreview(PathFromNative(dir.Path("gone.txt")), 0, 10).error, ENOENT);
#ifndef _WIN32  // FIFOs
  ASSERT_EQ(::mkfifo(dir.Path("pipe.txt").c_str(), 0600), 0);  // never waited on
  EXPECT_NE(ReadTargetPreview(PathFromNative(dir.Path("pipe.txt")), 0, 10).error, 0);
#endif
}

TEST(FolderWriteError, TellsAFolderThatTakesNoFiles) {
  test::ScratchDir dir;
  EXPECT_EQ(FolderWriteError(dir.Path("")), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path("")), {}), 0);  // nothing left behind
  test::WriteFileBytes(dir.Path("file"), "x");
#ifdef _WIN32
  EXPECT_EQ(FolderWriteError(dir.Path("file/sub")), ENOENT);  // Windows: the path is not found
#else
  EXPECT_EQ(FolderWriteError(dir.Path("file/sub")), ENOTDIR);
#endif
}

}  // namespace
}  // namespace dkscr
