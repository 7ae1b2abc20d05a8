// The built dkscrcmd run as a process on presentations from the test-side writers: every
// outcome's message, exit status as the shell sees it, and what happens to the files.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "cli/CmdOptions.h"
#include "deck/Deck.h"
#include "tests/support/LargeTextDeck.h"
#include "tests/support/PptBuilder.h"
#ifdef __linux__
#include "tests/support/SignalRun.h"
#endif
#include "tests/support/ZipWriter.h"

namespace dkscr {
namespace {

using test::ReadFile;

struct ProgramRun {
  int status = -1;  // as the shell sees it; 1000 + signal when killed
  std::string out;
};

// Runs the program in the C.UTF-8 locale; a file-size limit stands in for a full disk. With
// `readerGone` its standard output is a pipe nobody reads any more. A run that hangs is
// killed after a while (status 1000 + SIGALRM).
ProgramRun RunProgram(const std::vector<std::string>& args, rlim_t fileSizeLimit = RLIM_INFINITY,
                      bool readerGone = false) {
  int fds[2];
  if (::pipe(fds) != 0) std::abort();
  if (readerGone) ::close(fds[0]);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], STDOUT_FILENO);
    if (!readerGone) ::close(fds[0]);
    ::close(fds[1]);
    ::alarm(30);
    std::signal(SIGPIPE, SIG_DFL);  // as a shell starts it
    ::setenv("LC_ALL", "C.UTF-8", 1);
    const struct rlimit limit {fileSizeLimit, fileSizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<char*> argv{const_cast<char*>("dkscrcmd")};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(DKSCR_CMD_PATH, argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  ProgramRun run;
  char chunk[65536];
  for (ssize_t got; !readerGone && (got = ::read(fds[0], chunk, sizeof chunk)) != 0;) {
    if (got > 0) run.out.append(chunk, static_cast<size_t>(got));
    if (got < 0 && errno != EINTR) break;
  }
  if (!readerGone) ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
  return run;
}

std::string Encoded(std::u16string_view text, int32_t codePage) {
  OutputBuffer buffer;
  const ResultCode length = EncodeWideText(text, codePage, buffer);
  return std::string(reinterpret_cast<const char*>(buffer.Data()), static_cast<size_t>(length));
}

class ProgramTest : public ::testing::Test {
 protected:
  std::string Ppt(const std::string& name) { return dir_.Write(name, test::MakePptFile(deck_)); }
  std::string Pptx(const std::string& name) { return dir_.Write(name, test::MakePptxFile(deck_)); }
  std::string PptText(int32_t cp) { return Encoded(test::ExpectedPptText(deck_), cp); }
  std::string PptxText(int32_t cp) { return Encoded(test::ExpectedPptxText(deck_), cp); }
  void Expect(const std::vector<std::string>& args, int status, const std::string& out) {
    const ProgramRun run = RunProgram(args);
    EXPECT_EQ(run.status, status) << args.back();
    EXPECT_EQ(run.out, out) << args.back();
  }

  test::ScratchDir dir_;
  test::Deck deck_ = test::SampleDeck();
};

TEST_F(ProgramTest, CommandLinesThatShowTheUsage) {
  const std::string usage = UsageText("dkscrcmd") + "\r\n";
  const std::string ppt = Ppt("deck.ppt");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {ppt}, {"-o", ppt, "*", "extra"}, {"x", ppt, "*"}, {"-x", ppt, "*"},
           {"-c", ppt, "*"}, {"-t", ppt, "*"}, {"-sx", ppt, "*"}, {"-x", "-o", ppt, "*"}}) {
    const ProgramRun run = RunProgram(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, usage);
  }
  // Exactly two arguments are paths, whatever they look like.
  Expect({"-o", "a.ppt"}, 254, "Input file \"-o\" not exists\r\n");
  Expect({"--help", "a.ppt"}, 254, "Input file \"--help\" not exists\r\n");
}

TEST_F(ProgramTest, HelpAndVersionAloneSucceed) {
  Expect({"--help"}, 0, UsageText("dkscrcmd") + "\r\n");
  Expect({"--version"}, 0, std::string("dkscrcmd (Deckscribe) ") + DKSCR_EXPECTED_VERSION + "\r\n");
  // Every other single argument is still a wrong command line.
  for (const char* arg : {"--HELP", "--Version", "-h", "-V", "-?", "--help=x", "--versions", "-o",
                          "--", "-", "deck.ppt"}) {
    Expect({arg}, 2, UsageText("dkscrcmd") + "\r\n");
  }
}

TEST_F(ProgramTest, TextToFilesAndToStandardOutput) {
  const std::string ppt = Ppt("deck.ppt"), pptx = Pptx("deck.pptx"), out = dir_.Path("o.txt");
  Expect({"-c1252", ppt, out}, 0, "\"" + ppt + "\" --> \"" + out + "\" OK\r\n");
  EXPECT_EQ(ReadFile(out), PptText(1252));
  // A device named as the destination is written into where it is, here the pipe it leads to.
  Expect({"-o", "-c1252", ppt, "/dev/stdout"}, 0,
         PptText(1252) + "\"" + ppt + "\" --> \"/dev/stdout\" OK\r\n");
  for (int32_t cp : {1252, 65001, 1200}) {  // exact bytes, byte-order mark included
    Expect({"-c" + std::to_string(cp), ppt, "*"}, 0, PptText(cp));
    Expect({"-C" + std::to_string(cp), pptx, "*"}, 0, PptxText(cp));
  }
  // No -c and -c0 both mean the locale's code page; later options win; -s changes nothing.
  Expect({ppt, "*"}, 0, PptText(DefaultCodePage()));
  Expect({"-c0", ppt, "*"}, 0, PptText(DefaultCodePage()));
  Expect({"-c1252", "-s5", "-c65001", ppt, "*"}, 0, PptText(65001));
  // A forced type wins over any extension; other listed types are accepted, then refused.
  Expect({"-TPPT", "-c1200", Ppt("deck.pptx.bak"), "*"}, 0, PptText(1200));
  Expect({"-tpptx", "-c1200", Pptx("deck.ppt"), "*"}, 0, PptxText(1200));
  Expect({"-tDOC", ppt, "*"}, 253, "Input file \"" + ppt + "\" type not support\r\n");
  // PowerPoint's other extensions are the same two formats, in any case.
  for (const char* name : {"deck.PPS", "deck.pot"}) Expect({"-c1200", Ppt(name), "*"}, 0, PptText(1200));
  for (const char* name : {"deck.pptm", "deck.PPSX", "deck.ppsm", "deck.potx", "deck.Potm"}) {
    Expect({"-c1200", Pptx(name), "*"}, 0, PptxText(1200));
  }
  for (const char* name : {"deck.doc", "deck.", "deck", "deck.pptxx", "deck.ppt.txt"}) {
    const std::string other = Ppt(name);
    Expect({other, "*"}, 253, "Input file \"" + other + "\" type not support\r\n");
  }
}

TEST_F(ProgramTest, ModesOfOutput) {
  const std::string ppt = Ppt("deck.ppt"), pptx = Pptx("deck.pptx");
  // -mtext is the default text byte for byte.
  Expect({"-mtext", "-c1252", ppt, "*"}, 0, PptText(1252));
  Expect({"-MTEXT", "-c1200", pptx, "*"}, 0, PptxText(1200));
  for (const std::string& source : {ppt, pptx}) {
    const ProgramRun full = RunProgram({"-c1200", "-mfull", source, "*"});
    EXPECT_EQ(full.status, 0);
    EXPECT_TRUE(full.out.starts_with(std::string("\xFF\xFES\0l\0i\0d\0e\0 \0" "1\0\r\0\n\0", 20))) << source;
    const ProgramRun json = RunProgram({"-c1200", "-mjson", source, "*"});
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(json.out.starts_with("{\"schema\":\"deckscribe/slides-2\",\"metadata\":{")) << json.out;
    EXPECT_NE(json.out.find(",\"slides\":[{\"number\":1,"), std::string::npos) << json.out;
    const ProgramRun md = RunProgram({"-mmd", source, "*"});
    EXPECT_TRUE(md.out.starts_with("## 1.")) << md.out;
  }
  Expect({"-mhtml", ppt, "*"}, 2, UsageText("dkscrcmd") + "\r\n");
}

TEST_F(ProgramTest, SourcesThatCannotBeConverted) {
  const std::string gone = dir_.Path("gone.ppt"), folder = dir_.Path("folder.pptx");
  Expect({gone, "*"}, 254, "Input file \"" + gone + "\" not exists\r\n");
  std::filesystem::create_directory(folder);
  Expect({folder, "*"}, 254, "Input file \"" + folder + "\" not exists\r\n");

  const std::string text = dir_.Write("text.ppt", "plain text, not a compound document");
  Expect({text, "*"}, 251, "Input file \"" + text + "\" format not correct\r\n");
  test::ZipWriter noSlides;
  noSlides.Add("ppt/presentation.xml", "<p:presentation/>");
  const std::string package = dir_.Write("noslides.pptx", noSlides.Build());
  Expect({package, "*"}, 251, "Input file \"" + package + "\" format not correct\r\n");
  // A package whose directory lies beyond its end cannot be opened.
  const std::string broken = dir_.Write(
      "baddir.pptx", std::string("PK\5\6\0\0\0\0\5\0\5\0\0\0\0\0\377\377\377\0\0\0", 22));
  Expect({broken, "*"}, 252, "Input file \"" + broken + "\" open error\r\n");
  // A FIFO or device is never opened, so nothing waits for a writer.
  const std::string fifo = dir_.Path("fifo.ppt"), fifoX = dir_.Path("fifo.pptx");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(fifoX.c_str(), 0600), 0);
  for (const std::string& special : {fifo, fifoX}) {
    Expect({special, "*"}, 252, "Input file \"" + special + "\" open error\r\n");
    Expect({special, dir_.Path("fifo.txt")}, 252, "Input file \"" + special + "\" open error\r\n");
  }
  Expect({"-tppt", "/dev/zero", "*"}, 252, "Input file \"/dev/zero\" open error\r\n");
  EXPECT_FALSE(test::Exists(dir_.Path("fifo.txt")));
  const std::string locked = dir_.Write(
      "locked.ppt", test::BuildCfb(test::PresentationStreams(
                        test::MakePresentationStream({u"secret"}), test::kTokenEncrypted)));
  Expect({locked, "*"}, 245, "Input file \"" + locked + "\" is encrypted\r\n");
}

TEST_F(ProgramTest, ExistingDestinations) {
  const std::string ppt = Ppt("deck.ppt"), out = dir_.Write("out.txt", "old text");
  Expect({ppt, out}, 1, "Output file \"" + out + "\" already exists, convert canceled\r\n");
  EXPECT_EQ(ReadFile(out), "old text");
  // A failed conversion leaves it alone even with -o.
  EXPECT_EQ(RunProgram({"-o", dir_.Write("bad.ppt", "junk"), out}).status, 251);
  EXPECT_EQ(ReadFile(out), "old text");
  EXPECT_EQ(RunProgram({"-O", "-c1252", ppt, out}).status, 0);
  EXPECT_EQ(ReadFile(out), PptText(1252));
  // Standard output is never "existing"; the source is never replaced by its own text.
  EXPECT_EQ(RunProgram({"-c1252", ppt, "*"}).status, 0);
  Expect({"-o", ppt, ppt}, 250, "Output file \"" + ppt + "\" create error\r\n");
  // Without -o too, as the exit table says: not "already exists".
  Expect({ppt, ppt}, 250, "Output file \"" + ppt + "\" create error\r\n");
  Expect({ppt, dir_.Path("./deck.ppt")}, 250, "Output file \"" + dir_.Path("./deck.ppt") + "\" create error\r\n");
  EXPECT_EQ(ReadFile(ppt), test::MakePptFile(deck_));
}

TEST_F(ProgramTest, DestinationsThatCannotBeCreatedOrWritten) {
  const std::string ppt = Ppt("deck.ppt"), nowhere = dir_.Path("no/such/out.txt");
  Expect({ppt, nowhere}, 250, "Output file \"" + nowhere + "\" create error\r\n");
  std::filesystem::create_directory(dir_.Path("dir.txt"));
  EXPECT_EQ(RunProgram({ppt, dir_.Path("dir.txt")}).status, 250);
  if (test::Exists("/dev/full")) {
    Expect({"-o", ppt, "/dev/full"}, 249, "Output file \"/dev/full\" write error\r\n");
  }
  // A full disk part way through: no cut-off text file stays behind, and with -o the old
  // file is kept whole.
  deck_ = test::LargeDeck(200);
  const std::string big = Pptx("big.pptx"), out = dir_.Path("big.txt");
  EXPECT_EQ(RunProgram({big, out}, 1024).status, 249);
  EXPECT_FALSE(test::Exists(out));
  const std::string old = dir_.Write("old.txt", "the user's own text");
  const ProgramRun full = RunProgram({"-o", big, old}, 1024);
  EXPECT_EQ(full.status, 249);
  EXPECT_EQ(full.out, "Output file \"" + old + "\" write error\r\n");
  EXPECT_EQ(ReadFile(old), "the user's own text");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path("")), {}), 4);
}

TEST_F(ProgramTest, StandardOutputWithoutAReaderIsAWriteError) {
  // More than a pipe holds, so the program is still writing when it finds no reader.
  deck_ = test::LargeDeck(300);
  const ProgramRun run = RunProgram({"-c1200", Pptx("large.pptx"), "*"}, RLIM_INFINITY, true);
  EXPECT_EQ(run.status, 249);  // -7, not SIGPIPE
}

TEST_F(ProgramTest, EmptyPresentationAndOddFileNames) {
  deck_ = {};
  const std::string empty = Ppt("empty.ppt"), out = dir_.Path("empty.txt");
  Expect({"-c1252", empty, out}, 0, "\"" + empty + "\" --> \"" + out + "\" OK\r\n");
  EXPECT_EQ(ReadFile(out), "");
  EXPECT_EQ(RunProgram({"-o", "-c65001", empty, out}).status, 0);
  EXPECT_EQ(ReadFile(out), "\xEF\xBB\xBF");
  Expect({"-c1200", empty, "*"}, 0, "\xFF\xFE");
  Expect({"-c1252", empty, "*"}, 0, "");
  // Names that are no valid UTF-8 reach the converter and the file system unchanged.
  deck_ = test::SampleDeck();
  const std::string source = Ppt("caf\xE9 \xFF.ppt"), target = dir_.Path("r\xE9sum\xE9.txt");
  Expect({"-c1252", source, target}, 0, "\"" + source + "\" --> \"" + target + "\" OK\r\n");
  EXPECT_EQ(ReadFile(target), PptText(1252));
}

TEST_F(ProgramTest, LargeDecksAndTheBundledSamples) {
  deck_ = test::LargeDeck(300);
  Expect({"-c1200", Ppt("large.ppt"), "*"}, 0, PptText(1200));
  Expect({"-c1200", Pptx("large.pptx"), "*"}, 0, PptxText(1200));
  deck_ = test::SampleDeck();
  const std::string samples = std::string(DKSCR_TEST_SOURCE_DIR) + "/../../samples/";
  Expect({"-c1200", samples + "sample.ppt", "*"}, 0, PptText(1200));
  Expect({"-c1200", samples + "sample.pptx", "*"}, 0, PptxText(1200));
}

TEST_F(ProgramTest, ControlCharactersOfNamesAreEscapedInMessages) {
  // A name that would retitle the terminal and start a line of its own.
  const std::string evil = dir_.Path("a\x1B]0;owned\x07\nInput file \xC2\x9B.ppt");
  Expect({evil, "*"}, 254,
         "Input file \"" + dir_.Path("a\\x1B]0;owned\\x07\\x0AInput file \\xC2\\x9B.ppt") + "\" not exists\r\n");
  const std::string ppt = Ppt("deck.ppt");
  const ProgramRun out = RunProgram({"-c1252", ppt, dir_.Path("t\rx.txt")});
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.out.find('\r'), out.out.size() - 2) << out.out;  // only the line's own end
}

#ifdef __linux__
TEST_F(ProgramTest, SignalsLeaveNoTemporaryFile) {
  // Interrupted as soon as its temporary file appears, the program removes it and ends as the
  // signal asks.
  const std::string source = dir_.Write("large.pptx", test::LargeTextPptx(3, 12 << 20));
  const std::string folder = dir_.Path("out");
  std::filesystem::create_directory(folder);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    const test::SignalledRun run = test::RunAndSignal(DKSCR_CMD_PATH, {"-o", "-c1200", "-mfull", source, folder + "/t.txt"},
                                                      dir_.Path("stdout"), folder, ".tmp-", sig);
    ASSERT_TRUE(run.sent) << sig;
    EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == sig) << sig << " " << run.status;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
    }
  }
}
#endif

}  // namespace
}  // namespace dkscr
