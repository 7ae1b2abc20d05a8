// One conversion with fake converters: checks, converter choice, outcomes and destinations.
#include "cli/ConvertOneFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "CliTestSupport.h"
#include "core/NativePath.h"

namespace dkscr {
namespace {

using test::CapturedConsole;
using test::FakeState;
using test::ReadFile;
using test::ScratchDir;

class ConvertOneFileTest : public ::testing::Test {
 protected:
  void SetUp() override { FakeState() = {}; }

  int Run(const std::string& source, const std::string& destination, bool overwrite = false,
          const std::string& forcedType = "", int32_t codePage = 0) {
    ConvertRequest request;
    request.source = source;
    request.destination = destination;
    request.overwrite = overwrite;
    request.forcedType = forcedType;
    request.codePage = codePage;
    return ConvertOneFile(request, test::FakeConverters(), buffer_, console_.Console());
  }
  std::string Said() { return console_.Text(); }

  ScratchDir dir_;
  CapturedConsole console_;
  OutputBuffer buffer_;
};

TEST_F(ConvertOneFileTest, SuccessWritesTheBytesAndTheMessage) {
  const std::string source = dir_.Write("talk.ppt", "x");
  const std::string target = dir_.Path("talk.txt");
  FakeState().text = std::string("a\r\nb\0c", 6);
  EXPECT_EQ(Run(source, target), 0);
  EXPECT_EQ(ReadFile(target), std::string("a\r\nb\0c", 6));
  EXPECT_EQ(Said(), "\"" + source + "\" --> \"" + target + "\" OK\r\n");
  EXPECT_EQ(FakeState().pptCalls, 1);
  EXPECT_EQ(FakeState().pptxCalls, 0);
}

TEST_F(ConvertOneFileTest, StandardOutputGetsExactlyTheBytesAndNoMessage) {
  const std::string source = dir_.Write("talk.pptx", "x");
  FakeState().text = "\xEF\xBB\xBFslide1:\r\nHello";
  EXPECT_EQ(Run(source, "*"), 0);
  EXPECT_EQ(Said(), "\xEF\xBB\xBFslide1:\r\nHello");
  EXPECT_EQ(FakeState().pptxCalls, 1);
}

TEST_F(ConvertOneFileTest, EmptyTextCreatesAnEmptyFileAndReportsSuccess) {
  const std::string source = dir_.Write("empty.ppt", "x");
  const std::string target = dir_.Path("empty.txt");
  EXPECT_EQ(Run(source, target), 0);
  EXPECT_TRUE(test::Exists(target));
  EXPECT_EQ(ReadFile(target), "");
  EXPECT_NE(Said().find(" OK\r\n"), std::string::npos);
}

TEST_F(ConvertOneFileTest, MissingSourceOrDirectory) {
  EXPECT_EQ(Run(dir_.Path("nothing.ppt"), "*"), kResultSourceMissing);
  EXPECT_EQ(Said(), "Input file \"" + dir_.Path("nothing.ppt") + "\" not exists\r\n");
  ::mkdir(dir_.Path("folder.ppt").c_str(), 0700);
  EXPECT_EQ(Run(dir_.Path("folder.ppt"), "*"), kResultSourceMissing);
  EXPECT_EQ(FakeState().pptCalls, 0);
}

TEST_F(ConvertOneFileTest, ExistingDestinationWithoutOverwriteCancelsBeforeConverting) {
  const std::string source = dir_.Write("talk.ppt", "x");
  const std::string target = dir_.Write("talk.txt", "keep me");
  EXPECT_EQ(Run(source, target), kExitDestinationExists);
  EXPECT_EQ(Said(), "Output file \"" + target + "\" already exists, convert canceled\r\n");
  EXPECT_EQ(ReadFile(target), "keep me");
  EXPECT_EQ(FakeState().pptCalls, 0);
}

TEST_F(ConvertOneFileTest, ExistingDestinationWithOverwriteIsReplaced) {
  const std::string source = dir_.Write("talk.ppt", "x");
  const std::string target = dir_.Write("talk.txt", "a much longer old text");
  FakeState().text = "new";
  EXPECT_EQ(Run(source, target, true), 0);
  EXPECT_EQ(ReadFile(target), "new");
}

TEST_F(ConvertOneFileTest, FailedConversionLeavesAnExistingDestinationUntouched) {
  const std::string source = dir_.Write("talk.ppt", "x");
  const std::string target = dir_.Write("talk.txt", "keep me");
  FakeState().result = kResultFormatError;
  EXPECT_EQ(Run(source, target, true), kResultFormatError);
  EXPECT_EQ(ReadFile(target), "keep me");
  EXPECT_FALSE(test::Exists(dir_.Path("other.txt")));
  EXPECT_EQ(Run(source, dir_.Path("other.txt")), kResultFormatError);
  EXPECT_FALSE(test::Exists(dir_.Path("other.txt")));
}

TEST_F(ConvertOneFileTest, ConverterCodesMapToMessagesAndExitCodes) {
  const std::string source = dir_.Write("talk.ppt", "x");
  struct Row {
    ResultCode converter;
    int exit;
    std::string message;
  };
  const Row rows[] = {
      {-1, -1, "Convert dll file load error"},
      {-2, -5, "Input file \"" + source + "\" format not correct"},
      {-3, -5, "Input file \"" + source + "\" format not correct"},
      {-4, -4, "Input file \"" + source + "\" open error"},
      {-5, -5, "Input file \"" + source + "\" format not correct"},
      {-6, -5, "Input file \"" + source + "\" format not correct"},
      {-7, -5, "Input file \"" + source + "\" format not correct"},
      {-9, -5, "Input file \"" + source + "\" format not correct"},
      {-11, -11, "Input file \"" + source + "\" is encrypted"},
      {INT32_MIN, -5, "Input file \"" + source + "\" format not correct"},
  };
  const std::string target = dir_.Path("out.txt");
  for (const Row& row : rows) {
    CapturedConsole console;
    FakeState().result = row.converter;
    ConvertRequest request;
    request.source = source;
    request.destination = target;
    EXPECT_EQ(ConvertOneFile(request, test::FakeConverters(), buffer_, console.Console()),
              row.exit);
    EXPECT_EQ(console.Text(), row.message + "\r\n") << row.converter;
    EXPECT_FALSE(test::Exists(target));
  }
}

TEST_F(ConvertOneFileTest, TypeComesFromTheExtensionOfTheFileName) {
  EXPECT_EQ(TypeOfPath("a/b.PpTx"), "PPTX");
  EXPECT_EQ(TypeOfPath("talk.ppt"), "PPT");
  EXPECT_EQ(TypeOfPath("talk."), ".");
  EXPECT_EQ(TypeOfPath("talk"), "");
  EXPECT_EQ(TypeOfPath("dir.ppt/talk"), "");
  EXPECT_EQ(TypeOfPath("x.tar.ppt"), "PPT");
  EXPECT_EQ(TypeOfPath(".ppt"), "PPT");
}

TEST_F(ConvertOneFileTest, UnsupportedTypesNeverReachAConverter) {
  for (const char* name : {"talk.doc", "talk.", "talk", "talk.ppsx", "talk.ppt.bak"}) {
    CapturedConsole console;
    const std::string source = dir_.Write(name, "x");
    ConvertRequest request;
    request.source = source;
    request.destination = "*";
    EXPECT_EQ(ConvertOneFile(request, test::FakeConverters(), buffer_, console.Console()),
              kResultTypeNotSupported);
    EXPECT_EQ(console.Text(), "Input file \"" + source + "\" type not support\r\n");
  }
  EXPECT_EQ(FakeState().pptCalls + FakeState().pptxCalls, 0);
}

TEST_F(ConvertOneFileTest, ForcedTypeOverridesTheExtension) {
  const std::string source = dir_.Write("talk.pptx", "x");
  EXPECT_EQ(Run(source, "*", false, "PPT"), 0);
  EXPECT_EQ(FakeState().pptCalls, 1);
  EXPECT_EQ(Run(source, "*", false, "DOC"), kResultTypeNotSupported);
  const std::string other = dir_.Write("deck.bin", "x");
  EXPECT_EQ(Run(other, "*", false, "PPTX"), 0);
  EXPECT_EQ(FakeState().pptxCalls, 1);
}

TEST_F(ConvertOneFileTest, MissingConverterIsALoadError) {
  const std::string source = dir_.Write("talk.ppt", "x");
  ConvertRequest request;
  request.source = source;
  request.destination = "*";
  EXPECT_EQ(ConvertOneFile(request, ConverterTable{}, buffer_, console_.Console()),
            kResultLoadError);
  EXPECT_EQ(Said(), "Convert dll file load error\r\n");
}

TEST_F(ConvertOneFileTest, CodePageZeroBecomesTheDefault) {
  const std::string source = dir_.Write("talk.ppt", "x");
  EXPECT_EQ(Run(source, "*", false, "", 0), 0);
  EXPECT_EQ(FakeState().codePage, DefaultCodePage());
  EXPECT_EQ(Run(source, "*", false, "", 1200), 0);
  EXPECT_EQ(FakeState().codePage, 1200);
}

TEST_F(ConvertOneFileTest, UndecodableFileNameReachesTheConverterLosslessly) {
  const std::string source = dir_.Write("caf\xE9\xFF.ppt", "x");
  EXPECT_EQ(Run(source, "*"), 0);
  const std::u16string& seen = FakeState().source;
  ASSERT_GE(seen.size(), 6u);
  EXPECT_EQ(seen.substr(seen.size() - 6), u"\xDCE9\xDCFF.ppt");
  EXPECT_EQ(PathToNative(seen), source);
}

TEST_F(ConvertOneFileTest, DestinationThatCannotBeCreated) {
  const std::string source = dir_.Write("talk.ppt", "x");
  const std::string target = dir_.Path("no/such/folder/out.txt");
  EXPECT_EQ(Run(source, target), kResultTargetCreateError);
  EXPECT_EQ(Said(), "Output file \"" + target + "\" create error\r\n");
  // A folder is no file, so the existence check lets it through to the create error.
  ::mkdir(dir_.Path("folder.txt").c_str(), 0700);
  EXPECT_EQ(Run(source, dir_.Path("folder.txt")), kResultTargetCreateError);
}

TEST_F(ConvertOneFileTest, SourceIsNeverOverwrittenByItsOwnText) {
  const std::string source = dir_.Write("talk.ppt", "presentation");
  FakeState().text = "text";
  EXPECT_EQ(Run(source, source, true), kResultTargetCreateError);
  EXPECT_EQ(ReadFile(source), "presentation");
  ::link(source.c_str(), dir_.Path("alias.txt").c_str());
  EXPECT_EQ(Run(source, dir_.Path("alias.txt"), true), kResultTargetCreateError);
  EXPECT_EQ(ReadFile(source), "presentation");
}

TEST_F(ConvertOneFileTest, DeviceThatRefusesTheTextIsAWriteError) {
  const std::string source = dir_.Write("talk.ppt", "x");
  FakeState().text = "text";
  if (!test::Exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(Run(source, "/dev/full", true), kResultTargetWriteError);
  EXPECT_EQ(Said(), "Output file \"/dev/full\" write error\r\n");
  EXPECT_TRUE(test::Exists("/dev/full"));
}

TEST_F(ConvertOneFileTest, CutOffTextFileIsRemoved) {
  const std::string source = dir_.Write("talk.ppt", "x");
  const std::string target = dir_.Path("out.txt");
  FakeState().text = std::string(100000, 'a');
  // A file-size limit makes the write stop part way, as a full disk would.
  struct rlimit old {};
  ::getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const int code = Run(source, target);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(code, kResultTargetWriteError);
  EXPECT_FALSE(test::Exists(target));
}

TEST_F(ConvertOneFileTest, StandardOutputThatFailsIsAWriteError) {
  const std::string source = dir_.Write("talk.ppt", "x");
  FakeState().text = "text";
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (full < 0) GTEST_SKIP() << "no /dev/full";
  ConsoleOutput console(full);
  ConvertRequest request;
  request.source = source;
  request.destination = "*";
  EXPECT_EQ(ConvertOneFile(request, test::FakeConverters(), buffer_, console),
            kResultTargetWriteError);
  ::close(full);
}

}  // namespace
}  // namespace dkscr
