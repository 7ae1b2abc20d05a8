// The built dkscrcmd run as a process: every outcome's message, exit status and files, on
// presentations written by the test-side writers.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "cli/CmdOptions.h"
#include "core/KelCvtBase.h"
#include "deck/Deck.h"
#include "tests/support/CfbWriter.h"
#include "tests/support/PptBuilder.h"
#include "tests/support/ZipWriter.h"

namespace dkscr {
namespace {

using test::ReadFile;

struct ProgramRun {
  int status = -1;  // the exit status as the shell sees it; 1000 + signal when killed
  std::string out;  // everything on standard output
};

struct ChildSetup {
  rlim_t fileSizeLimit = RLIM_INFINITY;
};

ProgramRun RunProgram(const std::vector<std::string>& args, const ChildSetup& setup = {}) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) std::abort();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    if (setup.fileSizeLimit != RLIM_INFINITY) {
      const struct rlimit limit {setup.fileSizeLimit, setup.fileSizeLimit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      std::signal(SIGXFSZ, SIG_IGN);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("dkscrcmd"));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(DKSCR_CMD_PATH, argv.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  ProgramRun run;
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(pipeFds[0], chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    run.out.append(chunk, static_cast<size_t>(got));
  }
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
  return run;
}

std::string Usage() { return UsageText("dkscrcmd") + "\r\n"; }

std::string Encoded(std::u16string_view text, int32_t codePage) {
  OutputBuffer buffer;
  const ResultCode length = EncodeWideText(text, codePage, buffer);
  return std::string(reinterpret_cast<const char*>(buffer.Data()), static_cast<size_t>(length));
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ppt_ = dir_.Write("deck.ppt", test::MakePptFile(test::SampleDeck()));
    pptx_ = dir_.Write("deck.pptx", test::MakePptxFile(test::SampleDeck()));
    pptText_ = test::ExpectedPptText(test::SampleDeck());
    pptxText_ = test::ExpectedPptxText(test::SampleDeck());
  }
  static std::string OkLine(const std::string& source, const std::string& target) {
    return "\"" + source + "\" --> \"" + target + "\" OK\r\n";
  }

  test::ScratchDir dir_;
  std::string ppt_, pptx_;
  std::u16string pptText_, pptxText_;
};

TEST_F(ProgramTest, WrongArgumentCountsAndInvalidOptionsShowTheUsage) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {ppt_}, {"-o", ppt_, "*", "extra"}, {"x", ppt_, "*"}, {"-x", ppt_, "*"},
      {"-c", ppt_, "*"}, {"-t", ppt_, "*"}, {"-s", ppt_, "*"}, {"-sx", ppt_, "*"},
      {"-o", "-c1252x", ppt_, "*"}};
  for (const auto& args : cases) {
    const ProgramRun run = RunProgram(args);
    EXPECT_EQ(run.status, 2) << args.size();
    EXPECT_EQ(run.out, Usage()) << args.size();
  }
}

TEST_F(ProgramTest, TwoArgumentsAreAlwaysPaths) {
  const ProgramRun run = RunProgram({"-o", "a.ppt"});
  EXPECT_EQ(run.status, 254);
  EXPECT_EQ(run.out, "Input file \"-o\" not exists\r\n");
  EXPECT_FALSE(test::Exists("a.ppt"));
}

TEST_F(ProgramTest, ConvertsBothFormatsToFiles) {
  const std::string pptOut = dir_.Path("deck.ppt.txt");
  ProgramRun run = RunProgram({"-c1252", ppt_, pptOut});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, OkLine(ppt_, pptOut));
  EXPECT_EQ(ReadFile(pptOut), Encoded(pptText_, 1252));

  const std::string pptxOut = dir_.Path("deck.pptx.txt");
  run = RunProgram({"-C1252", pptx_, pptxOut});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, OkLine(pptx_, pptxOut));
  EXPECT_EQ(ReadFile(pptxOut), Encoded(pptxText_, 1252));
}

TEST_F(ProgramTest, StandardOutputCarriesExactlyTheEncodedBytes) {
  for (int32_t codePage : {1252, 65001, 1200}) {
    const std::string option = "-c" + std::to_string(codePage);
    ProgramRun run = RunProgram({option, ppt_, "*"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, Encoded(pptText_, codePage)) << codePage;
    run = RunProgram({option, pptx_, "*"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, Encoded(pptxText_, codePage)) << codePage;
  }
  EXPECT_EQ(RunProgram({"-c65001", ppt_, "*"}).out.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(RunProgram({"-c1200", pptx_, "*"}).out.substr(0, 2), "\xFF\xFE");
}

TEST_F(ProgramTest, DefaultCodePageAndRepeatedOptions) {
  const std::string plain = RunProgram({ppt_, "*"}).out;
  EXPECT_EQ(plain, Encoded(pptText_, DefaultCodePage()));  // C.UTF-8 here, as in the child
  EXPECT_EQ(RunProgram({"-c0", ppt_, "*"}).out, plain);
  EXPECT_EQ(RunProgram({"-c1252", "-c65001", ppt_, "*"}).out, Encoded(pptText_, 65001));
  EXPECT_EQ(RunProgram({"-c$4E4", ppt_, "*"}).out, Encoded(pptText_, 1252));
  EXPECT_EQ(RunProgram({"-s5", "-c1252", ppt_, "*"}).out, Encoded(pptText_, 1252));
}

TEST_F(ProgramTest, ForcedTypeWinsOverTheExtension) {
  const std::string disguised = dir_.Write("deck.pptx.bak", test::MakePptFile(test::SampleDeck()));
  ProgramRun run = RunProgram({"-TPPT", "-c1252", disguised, "*"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Encoded(pptText_, 1252));
  const std::string named = dir_.Write("pptx-as.ppt", test::MakePptxFile(test::SampleDeck()));
  run = RunProgram({"-tpptx", "-c1252", named, "*"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Encoded(pptxText_, 1252));

  run = RunProgram({"-tDOC", ppt_, "*"});
  EXPECT_EQ(run.status, 253);
  EXPECT_EQ(run.out, "Input file \"" + ppt_ + "\" type not support\r\n");
}

TEST_F(ProgramTest, UnsupportedExtensions) {
  for (const char* name : {"deck.doc", "deck.", "deck"}) {
    const std::string source = dir_.Write(name, test::MakePptFile(test::SampleDeck()));
    const ProgramRun run = RunProgram({source, "*"});
    EXPECT_EQ(run.status, 253) << name;
    EXPECT_EQ(run.out, "Input file \"" + source + "\" type not support\r\n");
  }
}

TEST_F(ProgramTest, MissingSourceAndDirectorySource) {
  ProgramRun run = RunProgram({dir_.Path("gone.ppt"), "*"});
  EXPECT_EQ(run.status, 254);
  EXPECT_EQ(run.out, "Input file \"" + dir_.Path("gone.ppt") + "\" not exists\r\n");
  ::mkdir(dir_.Path("folder.pptx").c_str(), 0700);
  run = RunProgram({dir_.Path("folder.pptx"), "*"});
  EXPECT_EQ(run.status, 254);
}

TEST_F(ProgramTest, ExistingDestinationNeedsOverwrite) {
  const std::string target = dir_.Write("out.txt", "old text");
  ProgramRun run = RunProgram({ppt_, target});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Output file \"" + target + "\" already exists, convert canceled\r\n");
  EXPECT_EQ(ReadFile(target), "old text");

  run = RunProgram({"-O", "-c1252", ppt_, target});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ReadFile(target), Encoded(pptText_, 1252));
}

TEST_F(ProgramTest, ExistingDestinationSurvivesAFailedConversion) {
  const std::string broken = dir_.Write("broken.ppt", "this is no compound document");
  const std::string target = dir_.Write("out.txt", "old text");
  const ProgramRun run = RunProgram({"-o", broken, target});
  EXPECT_NE(run.status, 0);
  EXPECT_EQ(ReadFile(target), "old text");
}

TEST_F(ProgramTest, ConverterFailures) {
  // No compound document: the format is wrong and nothing is created.
  const std::string notCfb = dir_.Write("text.ppt", "plain text, not a presentation");
  ProgramRun run = RunProgram({notCfb, dir_.Path("text.txt")});
  EXPECT_EQ(run.status, 251);
  EXPECT_EQ(run.out, "Input file \"" + notCfb + "\" format not correct\r\n");
  EXPECT_FALSE(test::Exists(dir_.Path("text.txt")));
  const std::string cut = dir_.Write("cut.ppt", test::MakePptFile(test::SampleDeck()).substr(0, 1024));
  EXPECT_EQ(RunProgram({cut, "*"}).status, 251);

  // A package whose directory lies beyond the end of the file cannot be opened.
  const std::string badDirectory = dir_.Write(
      "baddir.pptx", std::string("PK\5\6\0\0\0\0\5\0\5\0\0\0\0\0\377\377\377\0\0\0", 22));
  run = RunProgram({badDirectory, "*"});
  EXPECT_EQ(run.status, 252);
  EXPECT_EQ(run.out, "Input file \"" + badDirectory + "\" open error\r\n");
  // Plain text holds no slide part.
  const std::string notZip = dir_.Write("text.pptx", "plain text, not a package");
  EXPECT_EQ(RunProgram({notZip, "*"}).status, 251);
  // A package without slide parts is no presentation.
  test::ZipWriter noSlides;
  noSlides.Add("ppt/presentation.xml", "<p:presentation/>");
  const std::string empty = dir_.Write("noslides.pptx", noSlides.Build());
  run = RunProgram({empty, "*"});
  EXPECT_EQ(run.status, 251);
  EXPECT_EQ(run.out, "Input file \"" + empty + "\" format not correct\r\n");

  const std::string encrypted = dir_.Write(
      "locked.ppt", test::BuildCfb(test::PresentationStreams(
                        test::MakePresentationStream({u"secret"}), test::kTokenEncrypted)));
  run = RunProgram({encrypted, "*"});
  EXPECT_EQ(run.status, 245);
  EXPECT_EQ(run.out, "Input file \"" + encrypted + "\" is encrypted\r\n");
}

TEST_F(ProgramTest, EmptyPresentation) {
  const std::string empty = dir_.Write("empty.ppt", test::MakePptFile({}));
  const std::string target = dir_.Path("empty.txt");
  ProgramRun run = RunProgram({"-c1252", empty, target});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, OkLine(empty, target));
  EXPECT_TRUE(test::Exists(target));
  EXPECT_EQ(ReadFile(target), "");
  run = RunProgram({"-o", "-c65001", empty, target});
  EXPECT_EQ(ReadFile(target), "\xEF\xBB\xBF");
  run = RunProgram({"-c1200", empty, "*"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "\xFF\xFE");
  run = RunProgram({"-c1252", empty, "*"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
}

TEST_F(ProgramTest, DestinationThatCannotBeCreatedOrWritten) {
  const std::string nowhere = dir_.Path("missing/folder/out.txt");
  ProgramRun run = RunProgram({ppt_, nowhere});
  EXPECT_EQ(run.status, 250);
  EXPECT_EQ(run.out, "Output file \"" + nowhere + "\" create error\r\n");

  run = RunProgram({"-o", ppt_, ppt_});  // the source itself is never replaced
  EXPECT_EQ(run.status, 250);
  EXPECT_EQ(ReadFile(ppt_), test::MakePptFile(test::SampleDeck()));

  if (test::Exists("/dev/full")) {
    run = RunProgram({"-o", ppt_, "/dev/full"});
    EXPECT_EQ(run.status, 249);
    EXPECT_EQ(run.out, "Output file \"/dev/full\" write error\r\n");
  }
  // A full disk, simulated by a file-size limit: no cut-off text file stays behind.
  const std::string big = dir_.Write("big.pptx", test::MakePptxFile(test::LargeDeck(200)));
  ChildSetup limited;
  limited.fileSizeLimit = 1024;
  run = RunProgram({big, dir_.Path("big.txt")}, limited);
  EXPECT_EQ(run.status, 249);
  EXPECT_FALSE(test::Exists(dir_.Path("big.txt")));
}

TEST_F(ProgramTest, FileNamesThatAreNotValidInTheLocale) {
  const std::string source = dir_.Write("caf\xE9 \xFF\xFE.ppt", test::MakePptFile(test::SampleDeck()));
  const std::string target = dir_.Path("r\xE9sum\xE9.txt");
  const ProgramRun run = RunProgram({"-c1252", source, target});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, OkLine(source, target));
  EXPECT_EQ(ReadFile(target), Encoded(pptText_, 1252));
}

TEST_F(ProgramTest, LargeDeckComesOutWhole) {
  const test::Deck deck = test::LargeDeck(300);
  const std::string ppt = dir_.Write("large.ppt", test::MakePptFile(deck));
  const std::string pptx = dir_.Write("large.pptx", test::MakePptxFile(deck));
  EXPECT_EQ(RunProgram({"-c1200", ppt, "*"}).out, Encoded(test::ExpectedPptText(deck), 1200));
  EXPECT_EQ(RunProgram({"-c1200", pptx, "*"}).out, Encoded(test::ExpectedPptxText(deck), 1200));
}

}  // namespace
}  // namespace dkscr
