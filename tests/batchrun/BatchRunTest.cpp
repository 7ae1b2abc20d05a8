#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/batchrun/BatchRun.h"
#include "core/NativePath.h"
#include "core/Utf.h"
#include "app/session/AppState.h"
#include "core/KelPptCvt.h"
#include "tests/support/PptBuilder.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ProcessGuards.h"

namespace dkscr {
namespace {

namespace fs = std::filesystem;

struct Entry {
  int32_t state = kStateNew;
  bool selected = false;
  std::u16string source;
  std::u16string type = u"PPT";
  std::u16string target;
  std::u16string message;
};

// A main window reduced to what the run reads and writes, recording what it is told.
class FakeHost : public BatchRunHost {
 public:
  std::vector<Entry> entries;
  int32_t sourceCode = 1252;
  int policy = kPolicyAutoRename;
  std::u16string targetDir;  // with a trailing separator
  std::vector<std::string> log;
  int progressMax = -1, progress = 0, shown = 0, closed = 0, logFailuresReported = 0;
  bool cancel = false;
  int logFailsAt = -1;  // the WriteLog call (0-based) from which on the log is broken
  int logCalls = 0;
  int cancelAfterSteps = -1;

  int EntryCount() const override { return static_cast<int>(entries.size()); }
  int32_t EntryState(int i) const override { return entries[i].state; }
  bool EntrySelected(int i) const override { return entries[i].selected; }
  std::u16string EntrySource(int i) const override { return entries[i].source; }
  std::u16string EntryType(int i) const override { return entries[i].type; }
  std::u16string EntryTarget(int i) const override { return entries[i].target; }
  void SetEntryTarget(int i, const std::u16string& t) override { entries[i].target = t; }
  void SetEntryOutcome(int i, int32_t state, const std::u16string& message) override {
    entries[i].state = state;
    entries[i].message = message;
  }
  int32_t SourceCodeSetting() const override { return sourceCode; }
  int OverwritePolicySetting() const override { return policy; }
  std::u16string TargetFileName(const std::u16string& source) const override {
    std::u16string name = source.substr(source.rfind(u'/') + 1);
    return targetDir + name.substr(0, name.rfind(u'.')) + u".txt";
  }
  bool WriteLog(const std::u16string& text) override {
    if (logFailsAt >= 0 && logCalls++ >= logFailsAt) return false;
    log.push_back(WideToUtf8(text));
    return true;
  }
  void ReportLogFailure() override { ++logFailuresReported; }
  void ShowProgress(int maximum) override {
    progressMax = maximum;
    progress = 0;
    ++shown;
  }
  void ShowProgressFile(const std::u16string&) override {}
  void StepProgress() override {
    ++progress;
    if (progress == cancelAfterSteps) cancel = true;
  }
  void CloseProgress() override {
    ++closed;
    cancel = true;  // closing the dialog sets the cancel request
  }
  bool CancelRequested() const override { return cancel; }
  void ClearCancel() override { cancel = false; }
  void ProcessMessages() override {}
  // The prompt's answers are driven through the real dialog in the conversion-run suite.
  int PromptOverwrite(const std::u16string&) override { return kPromptCancel; }
};

// Converters that write the source's file name, so each target shows where it came from.
std::vector<int32_t> gCodePages;
std::string gAppearing;  // a file another program creates while the conversion runs
ResultCode FakeConvert(const std::u16string& source, OutputBuffer& out, int32_t codePage) {
  gCodePages.push_back(codePage);
  if (!gAppearing.empty()) std::ofstream(gAppearing, std::ios::binary) << "another program's";
  const std::string name = PathToNative(source.substr(source.rfind(u'/') + 1));
  if (name.rfind("fail", 0) == 0) return static_cast<ResultCode>(std::stoi(name.substr(4)));
  return CopyToOutput(name, out);
}

std::vector<ConverterForType> FakeConverters() {
  return {{u"PPT", &FakeConvert}, {u"PPTX", &FakeConvert}};
}

class BatchRunTest : public testing::Test {
 protected:
  void SetUp() override {
    gCodePages.clear();
    gAppearing.clear();
    root_ = fs::temp_directory_path() /
            ("batchrun-" + std::to_string(::getpid()) + "-" +
             testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "src");
    host_.targetDir = PathFromNative((root_ / "out").string() + "/");
  }
  void TearDown() override { fs::remove_all(root_); }

  std::u16string Source(const std::string& name) {
    return PathFromNative((root_ / "src" / name).string());
  }
  void Add(const std::string& name, int32_t state = kStateNew, bool selected = false,
           std::u16string type = u"PPT") {
    host_.entries.push_back({state, selected, Source(name), std::move(type), u"", u""});
  }
  std::string Out(const std::string& name) { return (root_ / "out" / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static void Write(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  BatchRunCounts Run(TConvertMode mode) {
    return RunConversion(mode, host_, buffer_, FakeConverters());
  }

  fs::path root_;
  FakeHost host_;
  OutputBuffer buffer_;
};

TEST_F(BatchRunTest, EmptyListDoesNothingAndNothingQualifyingStillLogsStartAndSummary) {
  Run(cmAll);
  EXPECT_TRUE(host_.log.empty());
  EXPECT_EQ(host_.shown, 0);
  Add("a.ppt");
  Run(cmSelected);
  EXPECT_EQ(host_.closed, 1);
  EXPECT_EQ(host_.log, (std::vector<std::string>{
                           "Conversion start...",
                           "Conversion end. Successful: 0, Failed: 0, Total: 0\r\n"}));
  EXPECT_EQ(host_.progress, 0);  // a passed-over new entry does not step the gauge
}

// Files, states and log lines of a whole run are checked on real presentations in the
// conversion-run suite; here what only a recorded host shows.
TEST_F(BatchRunTest, ConvertAllStepsTheGaugeForEveryEntry) {
  Add("one.ppt");
  Add("done.ppt", kStateConverted);
  EXPECT_EQ(Run(cmAll).succeeded, 1);
  EXPECT_EQ(Read(Out("one.txt")), "one.ppt");
  EXPECT_FALSE(fs::exists(Out("done.txt")));
  EXPECT_EQ(host_.entries[0].target, PathFromNative(Out("one.txt")));
  EXPECT_EQ(host_.progress, 2);  // the gauge reaches its maximum
  EXPECT_EQ(host_.progressMax, 2);
}

TEST_F(BatchRunTest, ModesPickTheirEntries) {
  Add("new-sel.ppt", kStateNew, true);
  Add("new.ppt", kStateNew, false);
  Add("done-sel.ppt", kStateConverted, true);
  Add("broken-sel.ppt", kStateFailed, true);
  Add("done.ppt", kStateConverted, false);
  Run(cmSelected);
  EXPECT_TRUE(fs::exists(Out("new-sel.txt")));
  EXPECT_FALSE(fs::exists(Out("new.txt")));
  EXPECT_EQ(host_.progress, 1 + 3);  // the handled entry and the three not in state 0

  fs::remove_all(root_ / "out");
  Run(cmReconvert);
  EXPECT_TRUE(fs::exists(Out("done-sel.txt")));
  EXPECT_TRUE(fs::exists(Out("broken-sel.txt")));
  EXPECT_TRUE(fs::exists(Out("new-sel.txt")));  // converted by the first run, selected
  EXPECT_FALSE(fs::exists(Out("done.txt")));
  EXPECT_FALSE(fs::exists(Out("new.txt")));
  EXPECT_EQ(host_.entries[3].state, kStateConverted);  // a failed entry converts again
}

TEST_F(BatchRunTest, OverwriteReplacesAndOutOfRangePolicyRefuses) {
  Write(Out("a.txt"), "a much longer old text");
  Add("a.ppt");
  host_.policy = kPolicyOverwrite;
  Run(cmAll);
  EXPECT_EQ(Read(Out("a.txt")), "a.ppt");

  host_.policy = 255;
  host_.entries[0].target = u"/earlier/a.txt";
  host_.log.clear();
  Run(cmReconvert);  // not selected: passed over
  host_.entries[0].selected = true;
  Run(cmReconvert);
  EXPECT_EQ(host_.entries[0].state, kStateFailed);
  EXPECT_EQ(host_.entries[0].message, u"Target file already exists, user canceled");
  EXPECT_EQ(host_.entries[0].target, u"/earlier/a.txt");
  EXPECT_EQ(host_.log[3], "Failed: Target file already exists, user canceled (/earlier/a.txt)");
  EXPECT_EQ(host_.log[4], "Conversion end. Successful: 0, Failed: 1, Total: 1\r\n");
}

TEST_F(BatchRunTest, CancelLetsTheCurrentEntryFinish) {
  Add("a.ppt");
  Add("b.ppt");
  host_.cancel = true;  // left over from the previous run: cleared at the start
  host_.cancelAfterSteps = 1;
  Run(cmAll);
  EXPECT_TRUE(fs::exists(Out("a.txt")));
  EXPECT_FALSE(fs::exists(Out("b.txt")));
  EXPECT_EQ(host_.entries[1].state, kStateNew);
  EXPECT_EQ(host_.log.back(), "Conversion end. Successful: 1, Failed: 0, Total: 1\r\n");
}

TEST_F(BatchRunTest, FailuresGetTheirMessagesAndPaths) {
  for (int code : {2, 3, 4, 6, 7, 11, 99}) Add("fail-" + std::to_string(code) + ".ppt");
  Add("deck.doc", kStateNew, false, u"DOC");
  Add("lower.ppt", kStateNew, false, u"ppt");
  Run(cmAll);
  const std::u16string expected[] = {
      u"Source file does not exist", u"File format not correct", u"Source file open error",
      u"Target file create error", u"Target file write error",
      u"Extracting text from source file not allowed", u"File format not correct",
      u"File type not support", u"File type not support",
  };
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(host_.entries[i].state, kStateFailed) << i;
    EXPECT_EQ(host_.entries[i].message, expected[i]) << i;
  }
  const std::string src = (root_ / "src").string();
  EXPECT_EQ(host_.log[1], "Failed: Source file does not exist (" + src + "/fail-2.ppt)");
  EXPECT_EQ(host_.log[4], "Failed: Target file create error (" + Out("fail-6.txt") + ")");
  EXPECT_EQ(host_.log[5], "Failed: Target file write error (" + src + "/fail-7.ppt)");
  EXPECT_EQ(host_.log.back(), "Conversion end. Successful: 0, Failed: 9, Total: 9\r\n");
}

TEST_F(BatchRunTest, FolderInTheWayIsACreateError) {
  Add("a.ppt");
  fs::create_directories(Out("a.txt"));  // a folder, not an existing file
  Run(cmAll);
  EXPECT_EQ(host_.entries[0].message, u"Target file create error");
  EXPECT_EQ(host_.log[1], "Failed: Target file create error (" + Out("a.txt") + ")");
}

TEST_F(BatchRunTest, TargetsAreReplacedWholeOrNotAtAll) {
  Write(Out("a.txt"), "the user's own text");
  Add("a.ppt");
  host_.policy = kPolicyOverwrite;
  {
    test::ScopedFileSizeLimit full(2);  // the text "a.ppt" does not fit
    Run(cmAll);
  }
  EXPECT_EQ(host_.entries[0].message, u"Target file write error");
  EXPECT_EQ(Read(Out("a.txt")), "the user's own text");
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "out"), {}), 1);  // no leftovers

  // A target that appears while its entry converts is not replaced without the policy's say.
  Add("b.ppt");
  gAppearing = Out("b.txt");
  Run(cmAll);
  EXPECT_EQ(host_.entries[1].message, u"Target file create error");
  EXPECT_EQ(Read(Out("b.txt")), "another program's");
}

TEST_F(BatchRunTest, SourcesAndSpecialFilesAreNeverReplaced) {
  host_.policy = kPolicyOverwrite;
  host_.targetDir = PathFromNative((root_ / "src").string() + "/");
  Write((root_ / "src" / "notes.txt").string(), "the presentation itself");
  Add("notes.txt");  // its target is itself
  ASSERT_EQ(::mkfifo((root_ / "src" / "pipe.txt").c_str(), 0600), 0);
  Add("pipe.ppt");  // its target is a FIFO nobody reads
  Run(cmAll);
  EXPECT_EQ(host_.entries[0].message, u"Target file create error");
  EXPECT_EQ(Read((root_ / "src" / "notes.txt").string()), "the presentation itself");
  EXPECT_EQ(host_.entries[1].message, u"Target file create error");
  EXPECT_TRUE(fs::is_fifo(root_ / "src" / "pipe.txt"));
}

TEST_F(BatchRunTest, FifoSourceFailsWithoutBlocking) {
  for (const char* name : {"pipe.ppt", "pipe.pptx"}) {
    ASSERT_EQ(::mkfifo((root_ / "src" / name).c_str(), 0600), 0);
    Add(name, kStateNew, false, std::string(name).ends_with("x") ? u"PPTX" : u"PPT");
  }
  // In a child: opening a FIFO for reading would wait for a writer forever.
  EXPECT_EQ(test::StatusInChild([this] {
              RunConversion(cmAll, host_, buffer_, StandardConverters());
              int opened = 0;
              for (const Entry& e : host_.entries) opened += e.message == u"Source file open error";
              return opened;
            }),
            2);
}

TEST_F(BatchRunTest, CodePageIsResolvedOnceAndNeverZero) {
  Add("a.ppt");
  Add("b.ppt");
  host_.sourceCode = 0;
  Run(cmAll);
  ASSERT_EQ(gCodePages.size(), 2u);
  EXPECT_EQ(gCodePages[0], DefaultCodePage());
  EXPECT_NE(gCodePages[0], 0);
  host_.sourceCode = 1200;
  host_.entries[0].selected = true;
  Run(cmReconvert);
  EXPECT_EQ(gCodePages.back(), 1200);
}

TEST_F(BatchRunTest, BrokenLogEndsTheRunAndIsReportedOnce) {
  Add("a.ppt");
  Add("b.ppt");
  host_.logFailsAt = 0;
  Run(cmAll);
  EXPECT_EQ(host_.logFailuresReported, 1);
  EXPECT_EQ(host_.shown, 0);  // the very first line failed: nothing started
  EXPECT_EQ(host_.entries[0].state, kStateNew);

  // Broken after the start line: the entry in hand is finished, the dialog closed, and the
  // user told once.
  host_.logFailsAt = 1;
  host_.logCalls = 0;
  host_.logFailuresReported = 0;
  Run(cmAll);
  EXPECT_EQ(host_.entries[0].state, kStateConverted);
  EXPECT_EQ(host_.entries[1].state, kStateNew);
  EXPECT_EQ(host_.closed, 1);
  EXPECT_EQ(host_.logFailuresReported, 1);
}

TEST(StandardConverters, TextFormChoosesTheConverters) {
  EXPECT_EQ(SlideModeOfTextForm(kTextFormSlides), SlideMode::kText);
  EXPECT_EQ(SlideModeOfTextForm(kTextFormComplete), SlideMode::kFull);
  EXPECT_EQ(SlideModeOfTextForm(kTextFormMarkdown), SlideMode::kMarkdown);
  EXPECT_EQ(SlideModeOfTextForm(7), SlideMode::kText);
  const std::vector<ConverterForType> standard = StandardConverters();
  const Converter* pptConverter = standard[0].convert.target<Converter>();
  ASSERT_NE(pptConverter, nullptr);
  EXPECT_EQ(*pptConverter, &ConvertPpt);

  test::ScratchDir dir;
  const std::u16string ppt = PathFromNative(dir.Write("a.ppt", test::MakePresentation({u"Hello"})));
  const struct {
    SlideMode mode;
    std::string text;
  } rows[] = {{SlideMode::kText, "Hello\r\n"}, {SlideMode::kFull, "Slide 1\r\nHello\r\n"},
              {SlideMode::kMarkdown, "## 1. Hello\n\n"}};
  for (const auto& row : rows) {
    const std::vector<ConverterForType> converters = StandardConverters(row.mode);
    ASSERT_EQ(converters.size(), 2u);
    EXPECT_EQ(converters[0].type, u"PPT");
    EXPECT_EQ(converters[1].type, u"PPTX");
    OutputBuffer out;
    const ResultCode code = converters[0].convert(ppt, out, 1252);
    ASSERT_GE(code, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)), row.text);
  }
}

TEST(AutoRenameTarget, NumbersBeforeTheTxtExtension) {
  EXPECT_EQ(AutoRenameTarget(u"/nonexistent-dir-xyz/intro.txt"), u"/nonexistent-dir-xyz/intro(1).txt");
  EXPECT_EQ(AutoRenameTarget(u"/nonexistent-dir-xyz/odd"), u"/nonexistent-dir-xyz/odd(1)");
  EXPECT_EQ(AutoRenameTarget(u"/nonexistent-dir-xyz/intro.md"), u"/nonexistent-dir-xyz/intro(1).md");
  EXPECT_EQ(AutoRenameTarget(u"/nonexistent-dir-xyz/intro.mdx"), u"/nonexistent-dir-xyz/intro.mdx(1)");
}

}  // namespace
}  // namespace dkscr
