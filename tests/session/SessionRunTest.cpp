// The conversion run over a session, driven by a stub observer on the test's thread: which
// entries each scope handles, the overwrite answers, the outcomes written into the session,
// the target files and the log lines.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QString>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/session/AppState.h"
#include "app/session/JobFile.h"
#include "app/session/Session.h"
#include "app/session/SessionRun.h"
#include "convert/Convert.h"
#include "platform/NativePath.h"
#include "platform/Utf.h"
#include "tests/session/RunStubs.h"
#include "text/CodePage.h"
#include "tests/support/PptBuilder.h"
#ifndef _WIN32
#include "tests/support/ProcessGuards.h"
#endif
#include "tests/support/ScratchDir.h"

namespace dkscr {
namespace {

namespace fs = std::filesystem;

// Converters that write the source's file name, so each target shows where it came from;
// a name "fail<code>" fails with that code.
std::vector<int32_t> gCodePages;
std::vector<SlideMode> gForms;
std::string gAppearing;  // a file another program creates while the conversion runs
ResultCode FakeConvert(const std::string& source, const ConvertRequest& request, OutputBuffer& out) {
  gCodePages.push_back(request.codePage);
  gForms.push_back(request.mode);
  if (!gAppearing.empty()) std::ofstream(gAppearing, std::ios::binary) << "another program's";
  const std::string name = source.substr(source.rfind('/') + 1);
  if (name.rfind("fail", 0) == 0) return static_cast<ResultCode>(std::stoi(name.substr(4)));
  if (name.rfind("blank", 0) == 0) return CopyToOutput("\xEF\xBB\xBF\r\n", out);
  return CopyToOutput(name, out);
}

// Writes the source's whole path, so that targets of sources with the same name differ.
ResultCode PathConvert(const std::string& source, const ConvertRequest&, OutputBuffer& out) {
  return CopyToOutput(source, out);
}

class SessionRunTest : public testing::Test {
 protected:
  void SetUp() override {
    gCodePages.clear();
    gForms.clear();
    gAppearing.clear();
    fs::create_directories(dir_.Path("src"));
    fs::create_directories(dir_.Path("home"));
    state_.settings.targetDir = PathFromNative(dir_.Path("out") + "/");
    state_.settings.codePage = 1252;
  }

  std::u16string Source(const std::string& name) { return PathFromNative(dir_.Path("src/" + name)); }
  // Entries with any state and type go in as a saved list would bring them.
  void Add(const std::string& name, EntryState state = EntryState::kNew, bool selected = false,
           std::u16string kind = u"PPT") {
    if (selected) selected_.push_back(session_.Count());
    std::vector<JobRecord> records;
    for (const Entry& e : session_.Entries()) records.push_back(RecordOf(e));
    records.push_back(RecordOf({Source(name), 1, std::move(kind), u"", state, u""}));
    ASSERT_TRUE(SaveJobFile(records, state_.JobFilePath()).Ok());
    session_.LoadJobFile();
  }
  const Entry& At(int row) const { return session_.At(row); }
  std::string Out(const std::string& name) { return dir_.Path("out/" + name); }
  static std::string Read(const std::string& path) { return test::ReadFile(path); }
  static void Write(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    test::WriteFileBytes(path, text);
  }
  RunSummary Run(RunScope scope) {
    SessionRun run(session_, scope, selected_, observer_);
    return RunToEnd(run, converter_);
  }
  std::vector<std::string> Log() const { return test::LogMessages(state_); }

  test::ScratchDir dir_;
  AppState state_{PathFromNative(dir_.Path("home/")), PathFromNative(dir_.Path("docs/"))};
  Session session_{state_};
  std::vector<int> selected_;
  test::RunRecorder observer_;
  StandardTargetConverter converter_{{{u"PPT", &FakeConvert}, {u"PPTX", &FakeConvert}}};
};

TEST_F(SessionRunTest, EmptyListDoesNothingAndNothingQualifyingStillLogsStartAndSummary) {
  Run(RunScope::kAll);
  EXPECT_TRUE(Log().empty());
  EXPECT_TRUE(observer_.progress.empty());
  EXPECT_EQ(observer_.finished, 0);
  Add("a.ppt");
  Run(RunScope::kSelected);
  EXPECT_EQ(observer_.finished, 1);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Conversion start...",
                                             "Conversion end. Successful: 0, Failed: 0, Total: 0",
                                             ""}));
  EXPECT_EQ(observer_.Position(), 0);  // a passed-over new entry does not step the gauge
}

TEST_F(SessionRunTest, ConvertAllStepsTheGaugeForEveryEntry) {
  Add("one.ppt");
  Add("done.ppt", EntryState::kConverted);
  EXPECT_EQ(Run(RunScope::kAll).succeeded, 1);
  EXPECT_EQ(Read(Out("one.txt")), "one.ppt");
  EXPECT_FALSE(fs::exists(Out("done.txt")));
  EXPECT_EQ(At(0).target, PathFromNative(Out("one.txt")));
  EXPECT_EQ(At(0).state, EntryState::kConverted);
  EXPECT_EQ(At(0).message, u"Convert successfully");
  EXPECT_EQ(observer_.Position(), 2);  // the gauge reaches its maximum
  EXPECT_EQ(observer_.progress.front().maximum, 2);
  EXPECT_EQ(observer_.progress.back().source, Source("done.ppt"));
}

TEST_F(SessionRunTest, ScopesPickTheirEntries) {
  Add("new-sel.ppt", EntryState::kNew, true);
  Add("new.ppt", EntryState::kNew, false);
  Add("done-sel.ppt", EntryState::kConverted, true);
  Add("broken-sel.ppt", EntryState::kFailed, true);
  Add("done.ppt", EntryState::kConverted, false);
  Run(RunScope::kSelected);
  EXPECT_TRUE(fs::exists(Out("new-sel.txt")));
  EXPECT_FALSE(fs::exists(Out("new.txt")));
  EXPECT_EQ(observer_.Position(), 1 + 3);  // the handled entry and the three not in state 0

  fs::remove_all(dir_.Path("out"));
  Run(RunScope::kReconvert);
  EXPECT_TRUE(fs::exists(Out("done-sel.txt")));
  EXPECT_TRUE(fs::exists(Out("broken-sel.txt")));
  EXPECT_TRUE(fs::exists(Out("new-sel.txt")));  // converted by the first run, selected
  EXPECT_FALSE(fs::exists(Out("done.txt")));
  EXPECT_FALSE(fs::exists(Out("new.txt")));
  EXPECT_EQ(At(3).state, EntryState::kConverted);  // a failed entry converts again

  fs::remove_all(dir_.Path("out"));
  Run(RunScope::kAll);  // the one entry never converted
  EXPECT_TRUE(fs::exists(Out("new.txt")));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path("out")), {}), 1);
}

TEST_F(SessionRunTest, OverwriteReplacesAndOutOfRangePolicyRefuses) {
  Write(Out("a.txt"), "a much longer old text");
  Add("a.ppt");
  state_.settings.overwritePolicy = kOverwriteReplace;
  Run(RunScope::kAll);
  EXPECT_EQ(Read(Out("a.txt")), "a.ppt");

  // A policy outside the list skips, and says so: the entry names the file that was there.
  state_.settings.overwritePolicy = 255;
  session_.SetTarget(0, u"/earlier/a.txt");
  Run(RunScope::kReconvert);  // not selected: passed over
  selected_ = {0};
  const RunSummary summary = Run(RunScope::kReconvert);
  EXPECT_EQ(summary.skipped, 1);
  EXPECT_EQ(summary.failed, 0);
  EXPECT_EQ(At(0).state, EntryState::kFailed);
  EXPECT_EQ(At(0).message, u"Skipped: target exists");
  EXPECT_EQ(LookOf(At(0)), EntryLook::kSkipped);
  EXPECT_EQ(At(0).target, PathFromNative(Out("a.txt")));
  const std::vector<std::string> log = Log();
  EXPECT_EQ(log[log.size() - 3], "Skipped: target exists (" + Out("a.txt") + ")");
  EXPECT_EQ(log[log.size() - 2], "Conversion end. Successful: 0, Failed: 0, Skipped: 1, Total: 1");
}

TEST_F(SessionRunTest, EachPromptAnswer) {
  state_.settings.overwritePolicy = kOverwritePrompt;
  for (const char* n : {"r", "o", "c", "s", "later"}) {
    Add(std::string(n) + ".ppt");
    Write(Out(std::string(n) + ".txt"), "old");
  }
  observer_.answers = {OverwriteAnswer::kAutoRename, OverwriteAnswer::kOverwrite,
                       OverwriteAnswer::kCancel, OverwriteAnswer::kStop};
  const RunSummary summary = Run(RunScope::kAll);
  EXPECT_EQ(observer_.asked, (std::vector<std::u16string>{PathFromNative(Out("r.txt")),
                                                          PathFromNative(Out("o.txt")),
                                                          PathFromNative(Out("c.txt")),
                                                          PathFromNative(Out("s.txt"))}));
  EXPECT_EQ(Read(Out("r(1).txt")), "r.ppt");
  EXPECT_EQ(At(0).target, PathFromNative(Out("r(1).txt")));
  EXPECT_EQ(Read(Out("o.txt")), "o.ppt");
  EXPECT_EQ(Read(Out("c.txt")), "old");
  EXPECT_EQ(At(2).state, EntryState::kFailed);
  EXPECT_EQ(At(2).message, u"Skipped: target exists");
  // Stop Convert: that entry and every later one stay as they were, and are not counted.
  EXPECT_EQ(At(3).state, EntryState::kNew);
  EXPECT_EQ(At(3).target, u"");
  EXPECT_EQ(Read(Out("s.txt")), "old");
  EXPECT_EQ(At(4).state, EntryState::kNew);
  EXPECT_TRUE(summary.stopped);
  EXPECT_TRUE(summary.cancelled);
  EXPECT_EQ(observer_.last.succeeded, 2);
  EXPECT_EQ(Log()[4], "Conversion cancelled after 3 file(s)");
  EXPECT_EQ(Log()[5], "Conversion end. Successful: 2, Failed: 0, Skipped: 1, Total: 3");
  EXPECT_EQ(observer_.Position(), 3);
}

TEST_F(SessionRunTest, AutoRenameSkipsEveryTakenNumber) {
  Add("intro.ppt");
  Add("other.ppt");
  for (const char* n : {"intro.txt", "intro(1).txt", "other.txt"}) Write(Out(n), "old");
  fs::create_directories(Out("intro(2).txt"));  // a folder takes the name too
  Run(RunScope::kAll);
  EXPECT_EQ(At(0).target, PathFromNative(Out("intro(3).txt")));
  EXPECT_EQ(At(1).target, PathFromNative(Out("other(1).txt")));  // numbering starts at 1 again
  EXPECT_EQ(Read(Out("intro.txt")), "old");
}

TEST_F(SessionRunTest, CancelLetsTheCurrentEntryFinish) {
  Add("a.ppt");
  Add("b.ppt");
  observer_.cancelAtPosition = 1;  // pressed while the first entry converts
  const RunSummary summary = Run(RunScope::kAll);
  EXPECT_TRUE(fs::exists(Out("a.txt")));
  EXPECT_FALSE(fs::exists(Out("b.txt")));
  EXPECT_EQ(At(1).state, EntryState::kNew);
  EXPECT_TRUE(summary.stopped);
  EXPECT_TRUE(summary.cancelled);
  // The log says the run did not end by itself.
  EXPECT_EQ(Log()[2], "Conversion cancelled after 1 file(s)");
  EXPECT_EQ(Log()[3], "Conversion end. Successful: 1, Failed: 0, Total: 1");
}

TEST_F(SessionRunTest, FailuresGetTheirMessagesAndPaths) {
  for (int code : {2, 3, 4, 6, 7, 11, 99}) Add("fail-" + std::to_string(code) + ".ppt");
  Add("deck.doc", EntryState::kNew, false, u"DOC");
  Add("lower.ppt", EntryState::kNew, false, u"ppt");
  Run(RunScope::kAll);
  const std::u16string expected[] = {
      u"Source file does not exist", u"File format not correct", u"Source file open error",
      u"Target file create error", u"Target file write error",
      u"Source file is encrypted (password-protected)", u"File format not correct",
      u"File type not support", u"File type not support",
  };
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(At(int(i)).state, EntryState::kFailed) << i;
    EXPECT_EQ(At(int(i)).message, expected[i]) << i;
  }
  const std::string src = dir_.Path("src");
  const std::vector<std::string> log = Log();
  EXPECT_EQ(log[1], "Failed: Source file does not exist (" + src + "/fail-2.ppt)");
  EXPECT_EQ(log[4], "Failed: Target file create error (" + Out("fail-6.txt") + ")");
  EXPECT_EQ(log[5], "Failed: Target file write error (" + src + "/fail-7.ppt)");
  EXPECT_EQ(log[8], "Failed: File type not support (" + src + "/deck.doc)");
  EXPECT_EQ(log[10], "Conversion end. Successful: 0, Failed: 9, Total: 9");
}

TEST_F(SessionRunTest, FolderInTheWayIsACreateError) {
  Add("a.ppt");
  fs::create_directories(Out("a.txt"));  // a folder, not an existing file
  Run(RunScope::kAll);
  EXPECT_EQ(At(0).message, u"Target file create error: " + PathFromNative(std::strerror(EISDIR)));
  EXPECT_EQ(Log()[1], "Failed: Target file create error: " + std::string(std::strerror(EISDIR)) +
                          " (" + Out("a.txt") + ")");
}

#ifndef _WIN32  // a full disk through the file-size limit
TEST_F(SessionRunTest, TargetsAreReplacedWholeOrNotAtAll) {
  Write(Out("a.txt"), "the user's own text");
  Add("a.ppt");
  state_.settings.overwritePolicy = kOverwriteReplace;
  {
    test::ScopedFileSizeLimit full(2);  // the text "a.ppt" does not fit
    Run(RunScope::kAll);
  }
  EXPECT_EQ(At(0).message, u"Target file write error");
  EXPECT_EQ(Read(Out("a.txt")), "the user's own text");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path("out")), {}), 1);  // no leftovers

  // A target that appears while its entry converts is not replaced without the policy's say.
  state_.settings.overwritePolicy = kOverwriteAutoRename;
  Add("b.ppt");
  gAppearing = Out("b.txt");
  Run(RunScope::kAll);
  EXPECT_EQ(At(1).message, u"Target file create error: " + PathFromNative(std::strerror(EEXIST)));
  EXPECT_EQ(Read(Out("b.txt")), "another program's");
}
#endif

#ifndef _WIN32  // FIFOs
TEST_F(SessionRunTest, SourcesAndSpecialFilesAreNeverReplaced) {
  state_.settings.overwritePolicy = kOverwriteReplace;
  state_.settings.targetDir = PathFromNative(dir_.Path("src") + "/");
  Write(dir_.Path("src/notes.txt"), "the presentation itself");
  Add("notes.txt");  // its target is itself
  ASSERT_EQ(::mkfifo(dir_.Path("src/pipe.txt").c_str(), 0600), 0);
  Add("pipe.ppt");  // its target is a FIFO nobody reads
  Run(RunScope::kAll);
  EXPECT_EQ(At(0).message, u"Target file create error");
  EXPECT_EQ(Read(dir_.Path("src/notes.txt")), "the presentation itself");
  EXPECT_EQ(At(1).message, u"Target file create error");
  EXPECT_TRUE(fs::is_fifo(dir_.Path("src/pipe.txt")));
}
#endif

#ifndef _WIN32  // FIFOs
TEST_F(SessionRunTest, FifoSourceFailsWithoutBlocking) {
  for (const char* name : {"pipe.ppt", "pipe.pptx"}) {
    ASSERT_EQ(::mkfifo(dir_.Path(std::string("src/") + name).c_str(), 0600), 0);
    Add(name, EntryState::kNew, false, std::string(name).ends_with("x") ? u"PPTX" : u"PPT");
  }
  // In a child: opening a FIFO for reading would wait for a writer forever.
  EXPECT_EQ(test::StatusInChild([this] {
              StandardTargetConverter standard;
              SessionRun run(session_, RunScope::kAll, {}, observer_);
              RunToEnd(run, standard);
              int opened = 0;
              for (const Entry& e : session_.Entries()) opened += e.message == u"Source file open error";
              return opened;
            }),
            2);
}
#endif

TEST_F(SessionRunTest, CodePageIsResolvedOnceAndNeverZeroAndTheFormGoesWithIt) {
  Add("a.ppt");
  Add("b.ppt");
  state_.settings.codePage = 0;
  Run(RunScope::kAll);
  ASSERT_EQ(gCodePages.size(), 2u);
  EXPECT_EQ(gCodePages[0], DefaultCodePage());
  EXPECT_NE(gCodePages[0], 0);
  EXPECT_EQ(gForms[0], SlideMode::kText);
  state_.settings.codePage = 1200;
  state_.settings.textForm = kTextFormMarkdown;
  selected_ = {0};
  Run(RunScope::kReconvert);
  EXPECT_EQ(gCodePages.back(), 1200);
  EXPECT_EQ(gForms.back(), SlideMode::kMarkdown);
  EXPECT_EQ(At(0).target, PathFromNative(Out("a.md")));
  state_.settings.textForm = kTextFormJson;
  Run(RunScope::kReconvert);
  EXPECT_EQ(gForms.back(), SlideMode::kJson);
  EXPECT_EQ(At(0).target, PathFromNative(Out("a.json")));
}

TEST_F(SessionRunTest, BrokenLogCostsNoOutcomeAndIsToldOnce) {
  Add("a.ppt");
  Add("b.ppt");
  fs::create_directories(PathToNative(state_.LogFilePath()));  // a folder where the log goes
  Run(RunScope::kAll);
  EXPECT_EQ(At(0).state, EntryState::kConverted);
  EXPECT_EQ(At(1).state, EntryState::kConverted);
  EXPECT_EQ(observer_.finished, 1);
  const std::string failure = session_.TakeLogFailure();
  EXPECT_NE(failure.find(PathToNative(state_.LogFilePath())), std::string::npos) << failure;
  EXPECT_EQ(session_.TakeLogFailure(), "");  // told once
}

TEST(StandardConverters, EachFormReachesItsConverter) {
  EXPECT_EQ(SlideModeOfTextForm(kTextFormSlides), SlideMode::kText);
  EXPECT_EQ(SlideModeOfTextForm(kTextFormComplete), SlideMode::kFull);
  EXPECT_EQ(SlideModeOfTextForm(kTextFormMarkdown), SlideMode::kMarkdown);
  EXPECT_EQ(SlideModeOfTextForm(7), SlideMode::kText);

  test::ScratchDir dir;
  const std::u16string ppt = dir.Put("a.ppt", test::MakePresentation({u"Hello"}));
  const struct {
    SlideMode mode;
    std::string text;
  } rows[] = {{SlideMode::kText, "Hello\r\n"}, {SlideMode::kFull, "Slide 1\r\nHello\r\n"},
              {SlideMode::kMarkdown, "## 1. Hello\n\n"}};
  StandardTargetConverter converter;
  const std::atomic<bool> notCancelled{false};
  for (const auto& row : rows) {
    const std::u16string target = PathFromNative(dir.Path("a.txt"));
    const ConvertResult result =
        converter.Convert({ppt, u"PPT", target, true, 1252, row.mode}, notCancelled);
    ASSERT_EQ(result.status, ConvertResult::Status::kWritten);
    EXPECT_EQ(test::ReadFile(dir.Path("a.txt")), row.text);
  }
  // The default text is ConvertPpt's, byte for byte.
  OutputBuffer direct;
  const ResultCode code = ConvertPpt(ppt, direct, 1252);
  ASSERT_GE(code, 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(direct.Data()), size_t(code)), rows[0].text);
  EXPECT_EQ(converter.Convert({ppt, u"DOC", u"/nowhere.txt", true, 1252, SlideMode::kText},
                              notCancelled).status,
            ConvertResult::Status::kNoConverter);
}

// The run's Cancel reaches the conversion itself, which stops between slides or parts; nothing
// of it is written.
TEST(StandardConverters, TheCancelFlagReachesTheConversion) {
  test::ScratchDir dir;
  const std::atomic<bool>* seen = nullptr;
  StandardTargetConverter converter{{{u"PPT", [&](const std::string&, const ConvertRequest& request,
                                                  OutputBuffer& out) {
    seen = request.cancel;
    return request.cancel != nullptr && *request.cancel ? kResultCancelled : CopyToOutput("x", out);
  }}}};
  std::atomic<bool> cancel{false};
  const std::u16string target = PathFromNative(dir.Path("a.txt"));
  EXPECT_EQ(converter.Convert({u"/x/a.ppt", u"PPT", target, false, 1252, SlideMode::kText}, cancel).status,
            ConvertResult::Status::kWritten);
  EXPECT_EQ(seen, &cancel);
  cancel = true;
  const std::u16string other = PathFromNative(dir.Path("b.txt"));
  EXPECT_EQ(converter.Convert({u"/x/b.ppt", u"PPT", other, false, 1252, SlideMode::kText}, cancel).status,
            ConvertResult::Status::kCancelled);
  EXPECT_FALSE(fs::exists(dir.Path("b.txt")));
}

// Cancel pressed while the last part converts, too late to stop it: the text is written, and
// the entry says so rather than claiming that nothing was written.
TEST(StandardConverters, ATextWrittenBeforeTheCancelWasSeenCounts) {
  test::ScratchDir dir;
  std::atomic<bool> cancel{false};
  StandardTargetConverter converter{{{u"PPT", [&](const std::string&, const ConvertRequest&,
                                                  OutputBuffer& out) {
    cancel = true;
    return CopyToOutput("x", out);
  }}}};
  const std::u16string target = PathFromNative(dir.Path("a.txt"));
  EXPECT_EQ(converter.Convert({u"/x/a.ppt", u"PPT", target, false, 1252, SlideMode::kText}, cancel).status,
            ConvertResult::Status::kWritten);
  EXPECT_TRUE(fs::exists(dir.Path("a.txt")));
}

TEST(AutoRenameTarget, NumbersBeforeTheTxtExtension) {
  EXPECT_EQ(AutoRenameTarget(u"/nonexistent-dir-xyz/intro.txt"), u"/nonexistent-dir-xyz/intro(1).txt");
  EXPECT_EQ(AutoRenameTarget(u"/nonexistent-dir-xyz/odd"), u"/nonexistent-dir-xyz/odd(1)");
  EXPECT_EQ(AutoRenameTarget(u"/nonexistent-dir-xyz/intro.md"), u"/nonexistent-dir-xyz/intro(1).md");
  EXPECT_EQ(AutoRenameTarget(u"/nonexistent-dir-xyz/intro.mdx"), u"/nonexistent-dir-xyz/intro.mdx(1)");
  EXPECT_EQ(AutoRenameTarget(u"/nonexistent-dir-xyz/intro.json"), u"/nonexistent-dir-xyz/intro(1).json");
}

// Entries that share a target within one run (the same name in two folders, or .ppt and .pptx
// of one name): under every policy each text is kept, none replaces another.
class CollisionTest : public SessionRunTest {
 protected:
  void AddDuplicates() {
    for (const char* name : {"dup1/same.ppt", "dup2/same.ppt", "dup2/same.pptx"}) {
      Write(dir_.Path(std::string("src/") + name), "deck");
      Add(name, EntryState::kNew, false, std::string(name).ends_with("x") ? u"PPTX" : u"PPT");
    }
  }
  RunSummary RunWithPaths() {
    SessionRun run(session_, RunScope::kAll, {}, observer_);
    return RunToEnd(run, pathConverter_);
  }
  std::string Src(const std::string& name) { return dir_.Path("src/" + name); }
  StandardTargetConverter pathConverter_{{{u"PPT", &PathConvert}, {u"PPTX", &PathConvert}}};
};

TEST_F(CollisionTest, AutoRenameNumbersEachLaterClaim) {
  AddDuplicates();
  EXPECT_EQ(RunWithPaths().succeeded, 3);
  EXPECT_EQ(Read(Out("same.txt")), Src("dup1/same.ppt"));
  EXPECT_EQ(Read(Out("same(1).txt")), Src("dup2/same.ppt"));
  EXPECT_EQ(Read(Out("same(2).txt")), Src("dup2/same.pptx"));
  EXPECT_EQ(At(2).target, PathFromNative(Out("same(2).txt")));
}

TEST_F(CollisionTest, OverwriteReplacesOnlyWhatWasThereBeforeTheRun) {
  state_.settings.overwritePolicy = kOverwriteReplace;
  Write(Out("same.txt"), "old");
  Write(Out("same(1).txt"), "old too");
  AddDuplicates();
  const RunSummary summary = RunWithPaths();
  EXPECT_EQ(summary.succeeded, 3);
  EXPECT_EQ(Read(Out("same.txt")), Src("dup1/same.ppt"));
  EXPECT_EQ(Read(Out("same(1).txt")), Src("dup2/same.ppt"));  // from before: replaced
  EXPECT_EQ(Read(Out("same(2).txt")), Src("dup2/same.pptx"));
  for (int row = 0; row < 3; ++row) EXPECT_EQ(At(row).message, u"Convert successfully");

  // The next run replaces the same files again rather than numbering ever more of them.
  selected_ = {0, 1, 2};
  SessionRun again(session_, RunScope::kReconvert, selected_, observer_);
  RunToEnd(again, pathConverter_);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path("out")), {}), 3);
}

TEST_F(CollisionTest, PromptAsksOnlyAboutFilesFromBeforeTheRun) {
  state_.settings.overwritePolicy = kOverwritePrompt;
  Write(Out("same.txt"), "old");
  AddDuplicates();
  observer_.answers = {OverwriteAnswer::kOverwrite, OverwriteAnswer::kOverwrite};
  RunWithPaths();
  EXPECT_EQ(observer_.asked, std::vector<std::u16string>{PathFromNative(Out("same.txt"))});
  EXPECT_EQ(Read(Out("same.txt")), Src("dup1/same.ppt"));
  EXPECT_EQ(Read(Out("same(1).txt")), Src("dup2/same.ppt"));
  EXPECT_EQ(Read(Out("same(2).txt")), Src("dup2/same.pptx"));
}

TEST_F(CollisionTest, CancelFailsALaterClaimNamingTheEntryThatHoldsTheName) {
  state_.settings.overwritePolicy = kOverwriteRefuse;
  AddDuplicates();
  const RunSummary summary = RunWithPaths();
  EXPECT_EQ(summary.succeeded, 1);
  EXPECT_EQ(summary.failed, 2);
  EXPECT_EQ(Read(Out("same.txt")), Src("dup1/same.ppt"));
  const std::u16string taken =
      u"Target file name is taken by another entry: " + PathFromNative(Src("dup1/same.ppt"));
  EXPECT_EQ(At(1).message, taken);
  EXPECT_EQ(At(2).message, taken);
  EXPECT_EQ(At(1).state, EntryState::kFailed);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path("out")), {}), 1);
}

TEST_F(CollisionTest, BesideTheSourceThePptAndPptxOfOneNameBothStay) {
  state_.settings.targetBesideSource = true;
  for (uint8_t policy : {kOverwriteAutoRename, kOverwriteReplace}) {
    state_.settings.overwritePolicy = policy;
    session_.RemoveRows({0, 1});
    fs::remove_all(dir_.Path("src/talks"));
    Write(Src("talks/same.ppt"), "deck");
    Write(Src("talks/same.pptx"), "deck");
    Add("talks/same.ppt");
    Add("talks/same.pptx", EntryState::kNew, false, u"PPTX");
    EXPECT_EQ(RunWithPaths().succeeded, 2) << int(policy);
    EXPECT_EQ(Read(Src("talks/same.txt")), Src("talks/same.ppt")) << int(policy);
    EXPECT_EQ(Read(Src("talks/same(1).txt")), Src("talks/same.pptx")) << int(policy);
  }
}

// A presentation that gives no text is converted, and says so.
TEST_F(SessionRunTest, NoTextIsSaidInTheListAndTheLog) {
  Add("blank.ppt");
  Add("full.ppt");
  const RunSummary summary = Run(RunScope::kAll);
  EXPECT_EQ(summary.succeeded, 2);
  EXPECT_EQ(summary.withoutText, 1);
  EXPECT_EQ(At(0).state, EntryState::kConverted);  // the result codes stay
  EXPECT_EQ(At(0).message, u"Converted: no text found");
  EXPECT_EQ(LookOf(At(0)), EntryLook::kConvertedNoText);
  EXPECT_EQ(LookOf(At(1)), EntryLook::kConverted);
  EXPECT_EQ(Log()[1], "Converted: no text found (" + dir_.Path("src/blank.ppt") + ")");
  EXPECT_EQ(Log()[2], "Convert successfully (" + dir_.Path("src/full.ppt") + ")");
}

TEST(HoldsNoText, EachFormHasItsOwnEmptiness) {
  using namespace std::string_literals;
  EXPECT_TRUE(HoldsNoText("\xEF\xBB\xBF", SlideMode::kText, 65001));
  EXPECT_TRUE(HoldsNoText("", SlideMode::kText, 1252));
  EXPECT_TRUE(HoldsNoText(" \r\n\x0B\f", SlideMode::kText, 1252));
  EXPECT_FALSE(HoldsNoText("\r\nx", SlideMode::kText, 1252));
  EXPECT_FALSE(HoldsNoText("\x82\xA0", SlideMode::kText, 932));
  EXPECT_TRUE(HoldsNoText("\xFF\xFE\r\0\n\0"s, SlideMode::kFull, 1200));
  EXPECT_FALSE(HoldsNoText("\xFF\xFE\r\0a\0"s, SlideMode::kText, 1200));
  EXPECT_FALSE(HoldsNoText("\x20\x30"s, SlideMode::kText, 1200));  // U+3020, not a blank
  EXPECT_TRUE(HoldsNoText("## 1.\n\n## 2. (hidden)\n\n", SlideMode::kMarkdown, 65001));
  EXPECT_FALSE(HoldsNoText("## 1. Title\n\n", SlideMode::kMarkdown, 65001));
  EXPECT_FALSE(HoldsNoText("## 1.\n\nA line\n\n", SlideMode::kMarkdown, 65001));
  EXPECT_TRUE(HoldsNoText("{\"slides\":[]}\n", SlideMode::kJson, 65001));
  EXPECT_TRUE(HoldsNoText("{\"slides\":[{\"number\":1,\"title\":\"\",\"paragraphs\":[]}]}\n",
                          SlideMode::kJson, 65001));
  EXPECT_FALSE(HoldsNoText("{\"slides\":[{\"title\":\"\\\"\",\"notes\":[]}]}", SlideMode::kJson, 65001));
  EXPECT_FALSE(HoldsNoText("{\"slides\":[{\"paragraphs\":[\"Hi\"]}]}", SlideMode::kJson, 65001));
  // What describes the deck is not its text: properties, sections, layouts, kinds, names.
  const std::string described =
      "{\"schema\":\"deckscribe/slides-2\",\"metadata\":{\"author\":\"A\",\"custom\":{\"k\":\"v\"}},"
      "\"sections\":[{\"name\":\"S\",\"slides\":[1]}],\"slides\":[{\"number\":1,\"id\":256,"
      "\"section\":\"S\",\"layout\":\"Title Slide\",\"title\":\"\",\"blocks\":[{\"type\":\"text\","
      "\"name\":\"Title 1\",\"placeholder\":\"title\",\"paragraphs\":[{\"text\":\"\",\"bullet\":\"-\"}]}]";
  EXPECT_TRUE(HoldsNoText(described + "}]}", SlideMode::kJson, 65001));
  EXPECT_FALSE(HoldsNoText(described + ",\"notes\":[\"n\"]}]}", SlideMode::kJson, 65001));
  EXPECT_FALSE(HoldsNoText(described + ",\"blocks\":[{\"type\":\"picture\",\"alt\":\"A cat\"}]}]}",
                           SlideMode::kJson, 65001));
}

// The real converters on a deck without text, in every form: the list says so.
TEST(HoldsNoText, EmptyDecksOfTheRealConverters) {
  test::ScratchDir dir;
  const std::u16string ppt = dir.Put("empty.ppt", test::MakePresentation({}));
  const std::u16string garbage = dir.Put("cut.ppt", test::MakePresentation({u"Hello"}).substr(0, 1536));
  StandardTargetConverter converter;
  const std::atomic<bool> notCancelled{false};
  for (SlideMode mode : {SlideMode::kText, SlideMode::kFull, SlideMode::kMarkdown, SlideMode::kJson}) {
    const ConvertResult result = converter.Convert(
        {ppt, u"PPT", PathFromNative(dir.Path("e.txt")), true, 65001, mode}, notCancelled);
    ASSERT_EQ(result.status, ConvertResult::Status::kWritten) << int(mode);
    EXPECT_TRUE(result.noText) << int(mode);
  }
  const ConvertResult cut = converter.Convert(
      {garbage, u"PPT", PathFromNative(dir.Path("c.txt")), true, 65001, SlideMode::kText}, notCancelled);
  if (cut.status == ConvertResult::Status::kWritten) {
    EXPECT_TRUE(cut.noText);  // a cut deck may read as nothing, never as a text
  }
  const ConvertResult full = converter.Convert(
      {dir.Put("hello.ppt", test::MakePresentation({u"Hello"})), u"PPT",
       PathFromNative(dir.Path("h.txt")), true, 65001, SlideMode::kText}, notCancelled);
  EXPECT_FALSE(full.noText);
}

// What a path through a file gives: Windows says "not found" where POSIX systems say "not a
// folder".
#ifdef _WIN32
constexpr int kThroughAFile = ENOENT;
#else
constexpr int kThroughAFile = ENOTDIR;
#endif

// A target folder that cannot take files: the system's reason, and the run stops at the first
// such failure; beside the sources each folder is tried.
TEST_F(SessionRunTest, UnwritableTargetFolderStopsTheRunWithTheReason) {
  Write(dir_.Path("blocker"), "a file where the folder should be");
  state_.settings.targetDir = PathFromNative(dir_.Path("blocker/out/"));
  Add("a.ppt");
  Add("b.ppt");
  const RunSummary summary = Run(RunScope::kAll);
  const std::u16string reason = PathFromNative(std::strerror(kThroughAFile));
  EXPECT_EQ(At(0).message, u"Target file create error: " + reason);
  EXPECT_EQ(At(1).state, EntryState::kNew);  // not tried
  EXPECT_TRUE(summary.stopped);
  EXPECT_FALSE(summary.cancelled);
  EXPECT_EQ(summary.unwritableFolder, PathFromNative(dir_.Path("blocker/out/")));
  EXPECT_EQ(summary.unwritableReason, reason);
  EXPECT_EQ(Log()[2], "Conversion stopped: the target folder " + dir_.Path("blocker/out/") +
                          " cannot be written (" + std::strerror(kThroughAFile) + ")");

  state_.settings.targetBesideSource = true;
  selected_ = {0};
  session_.SetOutcome(0, EntryState::kNew, u"");
  Write(dir_.Path("src/a.txt/in-the-way"), "");  // a folder where a.txt should go
  const RunSummary beside = Run(RunScope::kAll);
  EXPECT_FALSE(beside.stopped);
  EXPECT_EQ(At(1).state, EntryState::kConverted);
}

}  // namespace
}  // namespace dkscr
