// Whole dkscrbatch runs in-process on folders of presentations made by the test writers:
// naming and layout, selection, content-decided types, lists, the overwrite policies, the
// JSON records, order under many jobs, hostile files, exit statuses and the progress line.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "batch/BatchRun.h"
#include "batch/SourceDigest.h"
#include "platform/NativePath.h"
#include "tests/cli/deck/Deck.h"
#include "tests/support/Conversions.h"
#include "tests/support/JsonValue.h"
#ifndef _WIN32
#include <sys/resource.h>

#include "tests/support/HostileDecks.h"
#include "tests/support/ProcessGuards.h"
#endif
#include "tests/support/LargeTextDeck.h"
#include "tests/support/ScratchDir.h"
#include "text/Encode.h"
#ifdef __linux__
#include "tests/support/SignalRun.h"
#endif

namespace dkscr {
namespace {

namespace fs = std::filesystem;

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Standard input holding these bytes, read from the start.
int InputFile(std::string_view input) {
  const int in = test::AnonymousFile();
#ifdef _WIN32
  if (::_write(in, input.data(), static_cast<unsigned>(input.size())) != static_cast<int>(input.size())) std::abort();
  ::_lseeki64(in, 0, SEEK_SET);
#else
  if (::write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size())) std::abort();
  ::lseek(in, 0, SEEK_SET);
#endif
  return in;
}

RunResult RunWith(std::vector<std::string> args, std::string_view input = {}, bool terminal = false) {
  const int in = InputFile(input);
  const int out = test::AnonymousFile();
  const int err = test::AnonymousFile();
  std::vector<const char*> argv{"dkscrbatch"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  RunResult run;
  run.status = RunBatch(argv, BatchStreams{in, out, err, terminal});
  run.out = test::ReadAll(out);
  run.err = test::ReadAll(err);
  for (const int fd : {in, out, err}) test::CloseFile(fd);
  return run;
}

std::string Utf8Text(std::u16string_view text) {
  OutputBuffer buffer;
  const ResultCode length = EncodeWideText(text, 65001, buffer);
  return std::string(reinterpret_cast<const char*>(buffer.Data()), static_cast<size_t>(length));
}

class BatchRunTest : public ::testing::Test {
 protected:
  std::string Ppt(const std::string& name) { return Put(name, test::MakePptFile(deck_)); }
  std::string Pptx(const std::string& name) { return Put(name, test::MakePptxFile(deck_)); }
  std::string Put(const std::string& name, const std::string& bytes) {
    fs::create_directories(test::FsPath(dir_.Path(name)).parent_path());
    return dir_.Write(name, bytes);
  }
  std::string PptText() { return Utf8Text(test::ExpectedPptText(deck_)); }
  std::string PptxText() { return Utf8Text(test::ExpectedPptxText(deck_)); }
  std::string Out(const std::string& name) { return test::ReadFile(dir_.Path("out/" + name)); }
  // The paths of the JSON records, in order.
  static std::vector<std::string> RecordPaths(const std::string& jsonl) {
    std::vector<std::string> paths;
    for (size_t at = 0, end; (end = jsonl.find('\n', at)) != std::string::npos; at = end + 1) {
      const auto record = test::JsonParser::Parse(jsonl.substr(at, end - at));
      paths.push_back(record ? (*record)["path"].text : "<not JSON>");
    }
    return paths;
  }

  test::ScratchDir dir_;
  test::Deck deck_ = test::SampleDeck();
};

TEST_F(BatchRunTest, FolderLayoutMirroredAndSharedNamesKeepTheirExtension) {
  Ppt("in/a.ppt");
  Pptx("in/a.pptx");
  Pptx("in/sub/b.PPTX");
  Ppt("in/sub/deeper/c.Pps");
  Put("in/sub/notes.txt", "not a presentation");
#ifndef _WIN32  // links to folders need privileges on Windows
  fs::create_directory_symlink(dir_.Path("in"), dir_.Path("in/sub/loop"));
#endif
  const RunResult run = RunWith({"-q", "-d", dir_.Path("out"), dir_.Path("in")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Out("a.ppt.txt"), PptText());
  EXPECT_EQ(Out("a.pptx.txt"), PptxText());
  EXPECT_EQ(Out("sub/b.txt"), PptxText());
  EXPECT_EQ(Out("sub/deeper/c.txt"), PptText());
  size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(test::FsPath(dir_.Path("out")))) {
    files += entry.is_regular_file() ? 1 : 0;
  }
  EXPECT_EQ(files, 4u) << "the link loop and the .txt file give nothing, no temporary remains";

  // Two PATHs claiming one text file: the later one fails, whichever finishes first.
  Ppt("other/sub/b.pptx");  // a binary deck under an Open XML name: content decides
  const RunResult twice =
      RunWith({"-q", "-j4", "-d", dir_.Path("out3"), dir_.Path("other"), dir_.Path("in")});
  EXPECT_EQ(twice.status, 1);
  EXPECT_EQ(test::ReadFile(dir_.Path("out3/sub/b.txt")), PptText());
  EXPECT_NE(twice.err.find("is also the text file of \"" + dir_.Path("other/sub/b.pptx")),
            std::string::npos)
      << twice.err;

  // A file named alone keeps its relative folder; a neighbour on disk with the same stem
  // still counts, so a list split over several runs names alike.
  const fs::path start = fs::current_path();
  fs::current_path(test::FsPath(dir_.Path("")));
  EXPECT_EQ(RunWith({"-q", "-d", "out2", "in/./a.pptx"}).status, 0);
  fs::current_path(start);
  EXPECT_EQ(test::ReadFile(dir_.Path("out2/in/a.pptx.txt")), PptxText());
}

TEST_F(BatchRunTest, FolderSearchTakesTheWholeFamilyOrTheChosenExtensions) {
  const char* const kTaken[] = {"1.ppt", "2.PPS", "3.pot", "4.pptx", "5.pptm",
                                "6.ppsx", "7.PpSm", "8.potx", "9.potm"};
  for (const char* name : kTaken) Ppt(std::string("in/") + name);
  for (const char* name : {"x.pptxx", "x.ppt~", "ppt", "x.txt"}) Ppt(std::string("in/") + name);
  const RunResult all = RunWith({"-q", dir_.Path("in")});
  EXPECT_EQ(RecordPaths(all.out).size(), 9u);
  EXPECT_EQ(all.status, 0) << all.err;  // content decides: .pptx files holding a .ppt convert

  const RunResult chosen = RunWith({"-q", "--ext", ".PPT,pptm", dir_.Path("in")});
  EXPECT_EQ(RecordPaths(chosen.out),
            (std::vector<std::string>{dir_.Path("in/1.ppt"), dir_.Path("in/5.pptm")}));
}

TEST_F(BatchRunTest, NamedFilesConvertByContentWhateverTheirExtension) {
  const std::string pptx = Pptx("deck.bin");
  const std::string swapped = Pptx("swapped.ppt");
  const std::string garbage = Put("notes.bin", "just some text");
  const RunResult run = RunWith({"-q", "-d", dir_.Path("out"), pptx, swapped, garbage});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Out("deck.txt"), PptxText());
  EXPECT_EQ(Out("swapped.txt"), PptxText());
  EXPECT_NE(run.err.find("Input file \"" + garbage + "\" type not support"), std::string::npos)
      << run.err;
}

TEST_F(BatchRunTest, ListsOnePerLineOrNulSeparated) {
#ifdef _WIN32  // no line break in a Windows file name
  const std::string odd = Ppt("in/two lines; one name.ppt");
#else
  const std::string odd = Ppt("in/two\nlines.ppt");
#endif
  const std::string plain = Pptx("in/plain.pptx");
  const RunResult nul = RunWith({"-q", "-0", "--files-from", "-"}, plain + '\0' + odd + '\0');
  EXPECT_EQ(nul.status, 0) << nul.err;
  EXPECT_EQ(RecordPaths(nul.out).size(), 2u);
#ifndef _WIN32
  EXPECT_NE(nul.out.find("two\\nlines.ppt"), std::string::npos);
#endif

  Put("list.txt", plain + "\n\n" + dir_.Path("in") + "\n");
  const RunResult lines = RunWith({"-q", "--files-from", dir_.Path("list.txt")});
  EXPECT_EQ(RecordPaths(lines.out).size(), 3u) << "the file, then the folder's two";
}

TEST_F(BatchRunTest, ExistingTextFilesKeptReplacedOrUpdated) {
  const std::string source = Ppt("in/a.ppt");
  const std::string target = Put("out/a.txt", "old text");
  const std::vector<std::string> base{"-q", "-d", dir_.Path("out"), dir_.Path("in")};
  auto with = [&](const std::string& option) {
    std::vector<std::string> args = base;
    args.insert(args.begin(), option);
    return RunWith(args);
  };
  auto setTime = [](const std::string& path, long long seconds) { test::SetMtime(path, seconds); };

  EXPECT_EQ(RunWith(base).status, 0);
  EXPECT_EQ(test::ReadFile(target), "old text") << "kept without --overwrite";

  setTime(source, 1000);
  setTime(target, 2000);
  EXPECT_EQ(with("--update").status, 0);
  EXPECT_EQ(test::ReadFile(target), "old text") << "text file newer than the presentation";
  setTime(source, 3000);
  EXPECT_EQ(with("--update").status, 0);
  EXPECT_EQ(test::ReadFile(target), PptText()) << "presentation newer";

  Put("out/a.txt", "old text");
  setTime(target, 9000);
  EXPECT_EQ(with("--overwrite").status, 0);
  EXPECT_EQ(test::ReadFile(target), PptText());
}

// A name that is no valid text: POSIX bytes (Windows' lone surrogates: tests/windows).
#ifndef _WIN32
TEST_F(BatchRunTest, JsonRecordsStayValidWithOddText) {
  deck_ = {{{u"say \"hi\" \\ back\x01\ttab", u"smile \U0001F600 caf\u00e9"}, u""}};
  const std::string name = "in/\xFFodd.ppt";
  const std::string path = Ppt(name);
  const RunResult run = RunWith({"-q", path});
  EXPECT_EQ(run.status, 0) << run.err;
  std::string hex;
  for (const char c : path) {
    static constexpr char kHex[] = "0123456789abcdef";
    hex += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
    hex += kHex[static_cast<unsigned char>(c) & 0xF];
  }
  const std::string shown = dir_.Path("in/\xEF\xBF\xBDodd.ppt");
  const std::string bytes = test::MakePptFile(deck_);
  const std::string expected =
      "{\"path\":\"" + shown + "\",\"path_bytes\":\"" + hex + "\",\"code\":" +
      std::to_string(Utf8Text(test::ExpectedPptText(deck_)).size()) +
      ",\"message\":\"OK\",\"sha256\":\"" + Sha256Hex(bytes) + "\",\"text\":\"say \\\"hi\\\" \\\\ back\\u0001\\ttab\\n"
      "smile \xF0\x9F\x98\x80 caf\xC3\xA9\\n\"}\n";
  EXPECT_EQ(run.out, expected);
}
#endif

// The bytes dkscrcmd -m gives for a file.
std::string FormOf(const std::string& path, SlideMode mode, int32_t codePage) {
  OutputBuffer buffer;
  const bool ppt = path.ends_with(".ppt");
  const ResultCode length = ppt ? test::ConvertPptFile(PathFromNative(path), buffer, codePage, mode)
                                : test::ConvertPptxFile(PathFromNative(path), buffer, codePage, mode);
  if (length < 0) return "<failed>";
  return std::string(reinterpret_cast<const char*>(buffer.Data()), static_cast<size_t>(length));
}

TEST_F(BatchRunTest, ModesGiveDkscrcmdsFormsInTextFilesAndRecords) {
  const std::string ppt = Ppt("in/a.ppt");
  const std::string pptx = Pptx("in/b.pptx");
  const struct {
    const char* mode;
    SlideMode form;
    const char* extension;
  } kModes[] = {{"full", SlideMode::kFull, ".txt"},
                {"MD", SlideMode::kMarkdown, ".md"},
                {"json", SlideMode::kJson, ".json"}};
  for (const auto& m : kModes) {
    const std::string out = std::string("out-") + m.extension;
    const std::vector<std::string> codePage =
        m.form == SlideMode::kFull ? std::vector<std::string>{"-c1252"} : std::vector<std::string>{};
    std::vector<std::string> args = {"-q", "--mode", m.mode, "-d", dir_.Path(out), dir_.Path("in")};
    args.insert(args.begin(), codePage.begin(), codePage.end());
    EXPECT_EQ(RunWith(args).status, 0) << m.mode;
    EXPECT_EQ(test::ReadFile(dir_.Path(out + "/a" + m.extension)), FormOf(ppt, m.form, 1252)) << m.mode;
    EXPECT_EQ(test::ReadFile(dir_.Path(out + "/b" + m.extension)), FormOf(pptx, m.form, 1252)) << m.mode;
  }

  // JSON Lines: full and md put the form in "text"; json puts dkscrcmd -mjson's slides there
  // instead, with its length as the code. A failure has neither.
  const std::string missing = dir_.Path("in/missing.ppt");
  for (const auto& m : kModes) {
    const RunResult run = RunWith({"-q", "-m", m.mode, ppt, pptx, missing});
    EXPECT_EQ(run.status, 1) << m.mode;
    std::vector<test::JsonValue> records;
    for (size_t at = 0, end; (end = run.out.find('\n', at)) != std::string::npos; at = end + 1) {
      const auto record = test::JsonParser::Parse(run.out.substr(at, end - at));
      ASSERT_TRUE(record.has_value()) << run.out;
      records.push_back(*record);
    }
    ASSERT_EQ(records.size(), 3u) << m.mode;
    for (size_t i = 0; i < 2; ++i) {
      std::string form = FormOf(i == 0 ? ppt : pptx, m.form, 65001);
      EXPECT_EQ(records[i]["code"].number, static_cast<double>(form.size())) << m.mode;
      EXPECT_EQ(records[i]["sha256"].text, Sha256Hex(test::ReadFile(i == 0 ? ppt : pptx))) << m.mode;
      if (m.form == SlideMode::kJson) {
        EXPECT_EQ(records[i]["text"].kind, test::JsonValue::Kind::kNull) << "no text beside slides";
        const auto whole = test::JsonParser::Parse(form);
        ASSERT_TRUE(whole.has_value());
        EXPECT_EQ(records[i]["slides"].items.size(), (*whole)["slides"].items.size());
        EXPECT_NE(run.out.find("," + form.substr(1, form.size() - 3) + "}\n"), std::string::npos)
            << "the very members of dkscrcmd -mjson";
      } else {
        if (form.starts_with("\xEF\xBB\xBF")) form.erase(0, 3);
        for (size_t at; (at = form.find("\r\n")) != std::string::npos;) form.erase(at, 1);
        EXPECT_EQ(records[i]["text"].text, form) << m.mode;
        EXPECT_EQ(records[i]["slides"].kind, test::JsonValue::Kind::kNull) << m.mode;
      }
    }
    EXPECT_EQ(records[2]["code"].number, -2) << m.mode;
    EXPECT_EQ(records[2]["sha256"].kind, test::JsonValue::Kind::kNull) << "no bytes, no digest";
    EXPECT_EQ(records[2]["slides"].kind, test::JsonValue::Kind::kNull) << m.mode;
  }
}

TEST_F(BatchRunTest, ManyJobsKeepInputOrderAndAHostileFileStopsNothing) {
  std::vector<std::string> list;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "in/" + std::to_string(39 - i);  // not in name order
    list.push_back(i % 2 == 0 ? Ppt(name + ".ppt") : Pptx(name + ".pptx"));
  }
  int failing = 3;
#ifndef _WIN32
  const std::string fifo = dir_.Path("in/pipe.ppt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  list.insert(list.begin() + 10, fifo);
  ++failing;
#endif
  list.insert(list.begin() + 20, Put("in/cut.pptx", test::MakePptxFile(deck_).substr(0, 300)));
  list.insert(list.begin() + 30, Put("in/garbage.ppt", std::string(5000, '\xD0')));
  list.insert(list.begin() + 31, dir_.Path("in/missing.ppt"));
  std::string input;
  for (const std::string& path : list) input += path + '\n';

  const RunResult run = RunWith({"-j", "8", "--files-from", "-"}, input);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(RecordPaths(run.out), list);
#ifndef _WIN32
  EXPECT_NE(run.out.find("\"code\":-4,\"message\":\"Input file \\\"" + fifo), std::string::npos);
#endif
  EXPECT_NE(run.out.find("\"code\":-2,"), std::string::npos);
  EXPECT_NE(run.err.find("40 converted, 0 kept, " + std::to_string(failing) + " failed"), std::string::npos)
      << run.err;
}

// Digests are taken on the workers or on the thread that writes the records, whichever is
// free: under any number of jobs each record carries the digest of its own source.
TEST_F(BatchRunTest, EveryRecordCarriesItsOwnSourcesDigest) {
  std::vector<std::string> list;
  for (int i = 0; i < 60; ++i) {
    test::Deck deck = deck_;
    deck[0].paragraphs[0] += u" " + std::u16string(static_cast<size_t>(i % 13) + 1, u'x');
    const std::string name = "in/" + std::to_string(i);
    if (i % 10 == 7) {
      list.push_back(dir_.Path(name + "-missing.ppt"));
    } else if (i % 10 == 3) {
      list.push_back(Put(name + ".ppt", std::string(static_cast<size_t>(100 + 1000 * i), static_cast<char>(i))));
    } else {
      list.push_back(Put(name + (i % 2 ? ".pptx" : ".ppt"), i % 2 ? test::MakePptxFile(deck) : test::MakePptFile(deck)));
    }
  }
  std::string input;
  for (const std::string& path : list) input += path + '\n';
  for (const char* jobs : {"1", "2", "7"}) {
    for (const char* mode : {"text", "json"}) {
      const RunResult run = RunWith({"-j", jobs, "-m", mode, "--files-from", "-"}, input);
      EXPECT_EQ(run.status, 1) << run.err;
      size_t line = 0;
      for (size_t at = 0, end; (end = run.out.find('\n', at)) != std::string::npos; at = end + 1, ++line) {
        const auto record = test::JsonParser::Parse(run.out.substr(at, end - at));
        ASSERT_TRUE(record) << run.out.substr(at, end - at);
        ASSERT_LT(line, list.size());
        EXPECT_EQ((*record)["path"].text, list[line]);
        const std::string expected = line % 10 == 7 ? "" : Sha256Hex(test::ReadFile(list[line]));
        EXPECT_EQ((*record)["sha256"].text, expected) << jobs << " jobs, " << mode << ", " << list[line];
      }
      EXPECT_EQ(line, list.size());
    }
  }
}

// Without digests a record is the same line less its "sha256" member, large and unreadable
// sources included, whatever the jobs and the form.
TEST_F(BatchRunTest, RecordsWithoutDigestsDifferOnlyByTheirDigest) {
  std::string input;
  for (int i = 0; i < 24; ++i) {
    const std::string name = "in/" + std::to_string(i);
    if (i % 8 == 5) {
      input += dir_.Path(name + "-missing.pptx") + '\n';
    } else if (i % 8 == 6) {
      input += Put(name + ".ppt", std::string(size_t{300} << 10, 'z')) + '\n';  // past the whole-read size
    } else {
      input += (i % 2 ? Pptx(name + ".pptx") : Ppt(name + ".ppt")) + '\n';
    }
  }
  for (const char* jobs : {"1", "3"}) {
    for (const char* mode : {"text", "json"}) {
      const RunResult with = RunWith({"-j", jobs, "-m", mode, "--files-from", "-"}, input);
      const RunResult without = RunWith({"-j", jobs, "-m", mode, "--no-sha256", "--files-from", "-"}, input);
      EXPECT_EQ(without.status, with.status);
      EXPECT_EQ(without.out.find("sha256"), std::string::npos);
      std::string stripped = with.out;
      for (size_t at; (at = stripped.find(",\"sha256\":")) != std::string::npos;) {
        const size_t end = stripped[at + 10] == 'n' ? at + 14 : at + 76;  // null or 64 digits in quotes
        stripped.erase(at, end - at);
      }
      EXPECT_EQ(without.out, stripped) << jobs << " jobs, " << mode;
    }
  }
}

#ifndef _WIN32
TEST_F(BatchRunTest, AnOutputThatCannotBeWrittenStopsTheBatch) {
  std::string input;
  for (int i = 0; i < 300; ++i) input += Ppt("in/" + std::to_string(i) + ".ppt") + '\n';
  const int in = InputFile(input);
  const int out = ::open("/dev/null", O_RDONLY);  // every write fails
  const int err = test::AnonymousFile();
  std::vector<const char*> argv{"dkscrbatch", "-j", "2", "--files-from", "-"};
  EXPECT_EQ(RunBatch(argv, BatchStreams{in, out, err, false}), 1);
  const std::string errors = test::ReadAll(err);
  EXPECT_NE(errors.find("dkscrbatch: standard output cannot be written; batch stopped\n"), std::string::npos) << errors;
  // Stopped early: the summary counts fewer files than were listed.
  EXPECT_EQ(errors.find("300 converted"), std::string::npos) << errors;
  for (const int fd : {in, out, err}) ::close(fd);
}
#endif

// The batch checks for a regular file before converting, but a FIFO may be put in its place
// just after: the converters' own opens must not wait for a writer either.
#ifndef _WIN32
TEST_F(BatchRunTest, ConvertersNeverWaitOnAFifo) {
  for (const char* name : {"pipe.ppt", "pipe.pptx"}) {
    const std::string fifo = dir_.Path(name);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    OutputBuffer buffer;
    EXPECT_LT(ConvertPpt(PathFromNative(fifo), buffer, 65001), 0) << name;
    EXPECT_LT(ConvertPptx(PathFromNative(fifo), buffer, 65001), 0) << name;
  }
}
#endif

TEST_F(BatchRunTest, ExitStatusesAndUsageErrors) {
  const std::string good = Ppt("a.ppt");
  EXPECT_EQ(RunWith({"-q", good}).status, 0);
  EXPECT_EQ(RunWith({"-q", good, dir_.Path("nothing.ppt")}).status, 1);
  EXPECT_EQ(RunWith({"--version"}).out.rfind("dkscrbatch (Deckscribe) ", 0), 0u);
  const std::vector<std::vector<std::string>> usage = {
      {},
      {"--jobs", "0", good},
      {"-j", "x", good},
      {"--bogus", good},
      {"-z", good},
      {"-d"},
      {"--jsonl", "-d", "out", good},
      {"--no-sha256", "-d", "out", good},
      {"--overwrite", "--update", "-d", "out", good},
      {"--overwrite", good},
      {"-c1252", good},
      {"-d", "out", "-c", "12x", good},
      {"-d", "out", "-c", "42", good},  // no text at all in that code page
      {"-0", good},
      {"--mode", "pdf", good},
      {"-m", "md", "-c1252", "-d", "out", good},
      {"--files-from", dir_.Path("no-list")},
  };
  for (const auto& args : usage) {
    const RunResult run = RunWith(args);
    EXPECT_EQ(run.status, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(run.err.find("Try 'dkscrbatch --help'"), std::string::npos);
    EXPECT_EQ(run.out, "");
  }
}

TEST_F(BatchRunTest, ProgressOnlyOnATerminalAndNeverWithQuiet) {
  for (int i = 0; i < 3; ++i) Ppt("in/" + std::to_string(i) + ".ppt");
  const RunResult piped = RunWith({dir_.Path("in")});
  EXPECT_EQ(piped.err.find('\r'), std::string::npos);
  EXPECT_NE(piped.err.find("3 converted"), std::string::npos) << "the summary still comes";
  const RunResult terminal = RunWith({dir_.Path("in")}, {}, true);
  EXPECT_NE(terminal.err.find("\r\x1b[K3/3 files"), std::string::npos) << terminal.err;
  const RunResult quiet = RunWith({"-q", dir_.Path("in")}, {}, true);
  EXPECT_EQ(quiet.err, "");
}

// What dkscrcmd writes for a corpus file into `expected`, and whether it converted: the program
// itself where a POSIX shell starts it; on Windows its converter (by the extension) in-process,
// the program being compared with the Linux build's by scripts/test-windows.sh.
bool DkscrcmdText(const fs::path& source, const char* codePage, const std::string& expected) {
#ifdef _WIN32
  OutputBuffer buffer;
  const std::u16string path = PathFromNative(test::NativeOf(source));
  const int32_t number = std::atoi(codePage);
  const ResultCode length = source.extension() == ".ppt" ? ConvertPpt(path, buffer, number)
                                                         : ConvertPptx(path, buffer, number);
  if (length < 0) return false;
  test::WriteFileBytes(expected, std::string_view(reinterpret_cast<const char*>(buffer.Data()),
                                                  static_cast<size_t>(length)));
  return true;
#else
  const std::string command = std::string(DKSCR_CMD_PATH) + " -c" + codePage + " '" +
                              source.string() + "' '" + expected + "' >/dev/null";
  return std::system(command.c_str()) == 0;
#endif
}

// The real samples, in several code pages, against dkscrcmd run on each file.
TEST_F(BatchRunTest, TextIsWhatDkscrcmdGivesForTheCorpus) {
  const fs::path corpus = DKSCR_CORPUS_DIR;
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  for (const char* codePage : {"1252", "65001", "1200"}) {
    const std::string out = dir_.Path(std::string("out") + codePage);
    RunWith({"-q", "-j3", "-c", codePage, "-d", out, test::NativeOf(corpus)});
    size_t compared = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".ppt" && ext != ".pptx") continue;
      const std::string expected = dir_.Path("expected.txt");
      fs::remove(expected);
      const bool converted = DkscrcmdText(entry.path(), codePage, expected);
      // The text file's name: the stem, or the whole name when a neighbour shares the stem.
      std::string target = out + "/" + test::NativeOf(entry.path().stem()) + ".txt";
      if (!test::Exists(target)) target = out + "/" + test::NativeOf(entry.path().filename()) + ".txt";
      EXPECT_EQ(test::Exists(target), converted) << entry.path();
      if (converted) {
        EXPECT_EQ(test::ReadFile(target), test::ReadFile(expected)) << entry.path();
      }
      ++compared;
    }
    EXPECT_GT(compared, 0u);
  }
}

#ifndef _WIN32
// The README's recipe for many hosts, on this one: GNU parallel splits the list and feeds
// several dkscrbatch processes through their standard input.
TEST_F(BatchRunTest, GnuParallelSplitsAListOverSeveralRuns) {
  if (std::system("command -v parallel >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "GNU parallel is not installed";
  }
  for (int i = 0; i < 7; ++i) Ppt("in/" + std::to_string(i) + ".ppt");
  Pptx("in/0.pptx");
  const std::string command =
      "cd '" + dir_.Path("") + "' && find in -type f -print0 | "
      "parallel --will-cite -0 --pipe -N3 -j2 '" DKSCR_BATCH_PATH " -q -0 --files-from - -d out'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (int i = 1; i < 7; ++i) EXPECT_EQ(Out("in/" + std::to_string(i) + ".txt"), PptText());
  EXPECT_EQ(Out("in/0.ppt.txt"), PptText()) << "named alike whichever run saw it";
  EXPECT_EQ(Out("in/0.pptx.txt"), PptxText());

  // JSON Lines from several runs, kept in the list's order.
  const std::string records = dir_.Path("records.jsonl");
  const std::string jsonl =
      "cd '" + dir_.Path("") + "' && find in -type f -print0 | sort -z | "
      "parallel --will-cite -0 -k --pipe -N3 -j2 '" DKSCR_BATCH_PATH " -q -0 --files-from -' >" +
      records;
  ASSERT_EQ(std::system(jsonl.c_str()), 0);
  std::vector<std::string> expected{"in/0.ppt", "in/0.pptx"};
  for (int i = 1; i < 7; ++i) expected.push_back("in/" + std::to_string(i) + ".ppt");
  EXPECT_EQ(RecordPaths(test::ReadFile(records)), expected);
}
#endif

#ifndef _WIN32
TEST_F(BatchRunTest, SpecialFilesAndFoldersWhereATextFileGoesAreFailures) {
  Ppt("in/a.ppt");
  Ppt("in/b.ppt");
  fs::create_directories(test::FsPath(dir_.Path("out/a.txt")));
  ASSERT_EQ(::mkfifo(dir_.Path("out/b.txt").c_str(), 0600), 0);
  for (const bool overwrite : {false, true}) {
    std::vector<std::string> args{"-d", dir_.Path("out"), dir_.Path("in")};
    if (overwrite) args.insert(args.begin(), "--overwrite");
    const RunResult run = RunWith(args);
    EXPECT_EQ(run.status, 1) << overwrite;
    EXPECT_NE(run.err.find("0 converted, 0 kept, 2 failed"), std::string::npos) << run.err;
  }
}

TEST_F(BatchRunTest, EveryModeEndsWithinTheBoundsOnHostileDecks) {
  // A text run of 250 MiB in 256 KB: a failed record, in a child held to 512 MiB and 10 s.
  const std::string deck = Put("run.pptx", test::hostile::HugeRunPackage(uint64_t{250} << 20, 1));
  for (const char* mode : {"full", "md", "json"}) {
    const auto report = test::ReportOfBoundedChild(
        [&] {
          const RunResult run = RunWith({"-q", "-m", mode, deck});
          const auto record = test::JsonParser::Parse(run.out.substr(0, run.out.find('\n')));
          return std::to_string(run.status) + " " + (record ? std::to_string(static_cast<int>((*record)["code"].number)) : "no record");
        },
        uint64_t{512} << 20, 10);
    EXPECT_EQ(report.value_or("died"), "1 -5") << mode;
  }
}

TEST_F(BatchRunTest, AnEndlessListLineIsAnError) {
  // /dev/zero is one line that never ends: refused once a path would pass 64 KiB, not by
  // running out of memory. Run in a child: a fault would take the memory of the test.
  EXPECT_EQ(test::StatusInChild([] {
              struct rlimit limit {};
              limit.rlim_cur = limit.rlim_max = uint64_t{1} << 30;
              if (test::kAddressSpaceLimited) ::setrlimit(RLIMIT_AS, &limit);
              const RunResult run = RunWith({"--files-from", "/dev/zero"});
              return run.status == 2 && run.err.find("File name too long") != std::string::npos ? 0 : 1;
            }),
            0);
  const RunResult run = RunWith({"--files-from", "-"}, std::string(100, '\n') + std::string(70 * 1024, 'x'));
  EXPECT_EQ(run.status, 2);
}
#endif

#ifndef _WIN32
TEST_F(BatchRunTest, LinksPlantedInTheOutputFolderAreNotFollowed) {
  Ppt("in/a.ppt");
  Ppt("in/sub/b.ppt");
  const std::string victim = Put("elsewhere/victim.txt", "precious");
  fs::create_directories(test::FsPath(dir_.Path("out")));
  ASSERT_EQ(::symlink(victim.c_str(), dir_.Path("out/a.txt").c_str()), 0);
  ASSERT_EQ(::symlink(dir_.Path("elsewhere").c_str(), dir_.Path("out/sub").c_str()), 0);
  const RunResult run = RunWith({"-q", "--overwrite", "-d", dir_.Path("out"), dir_.Path("in")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("a.txt"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("b.txt"), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadFile(victim), "precious");
  EXPECT_FALSE(fs::exists(test::FsPath(dir_.Path("elsewhere/b.txt"))));
}
#endif

#ifdef __linux__
TEST_F(BatchRunTest, SignalsLeaveNoTemporaryFileAndWholeLines) {
  for (int i = 0; i < 4; ++i) Put("in/" + std::to_string(i) + ".pptx", test::LargeTextPptx(3, 8 << 20));
  const std::string out = dir_.Path("out");
  fs::create_directories(test::FsPath(out));
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    // Text files: interrupted as soon as the first temporary file appears, none is left.
    const test::SignalledRun files = test::RunAndSignal(
        DKSCR_BATCH_PATH, {"-q", "-j2", "--overwrite", "-mfull", "-c1200", "-d", out, dir_.Path("in")},
        dir_.Path("stdout"), out, ".tmp-", sig);
    ASSERT_TRUE(files.sent) << sig;
    EXPECT_TRUE(WIFSIGNALED(files.status) && WTERMSIG(files.status) == sig) << sig;
    for (const auto& entry : fs::recursive_directory_iterator(test::FsPath(out))) {
      EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
    }
    // JSON Lines: interrupted as soon as the first bytes are written, they end on a whole line.
    const std::string records = dir_.Path("records.jsonl");
    const test::SignalledRun lines =
        test::RunAndSignal(DKSCR_BATCH_PATH, {"-q", "-j2", "-mfull", dir_.Path("in")}, records, "", "", sig);
    ASSERT_TRUE(lines.sent) << sig;
    EXPECT_TRUE(WIFSIGNALED(lines.status) && WTERMSIG(lines.status) == sig) << sig;
    const std::string jsonl = test::ReadFile(records);
    ASSERT_FALSE(jsonl.empty()) << sig;
    EXPECT_EQ(jsonl.back(), '\n') << sig;
    EXPECT_EQ(RecordPaths(jsonl).size(), static_cast<size_t>(std::count(jsonl.begin(), jsonl.end(), '\n')));
    for (const std::string& path : RecordPaths(jsonl)) EXPECT_NE(path, "<not JSON>") << sig;
  }
}
#endif

}  // namespace
}  // namespace dkscr
