// What the running program cannot show: converter codes that our converters never return,
// a missing converter, and standard output in blocks or failing.
#include "cli/ConvertOneFile.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "CliTestSupport.h"

namespace dkscr {
namespace {

using test::FakeState;

TEST(ConvertOneFileTest, ConverterCodesBecomeMessagesAndExitCodes) {
  test::ScratchDir dir;
  const std::string source = dir.Write("talk.ppt", "x");
  const std::string target = dir.Path("out.txt");
  const std::string format = "Input file \"" + source + "\" format not correct\r\n";
  const struct {
    ResultCode converter;
    int exit;
    std::string message;
  } rows[] = {
      {-1, -1, "Convert dll file load error\r\n"},
      {-2, -5, format}, {-3, -5, format}, {-6, -5, format}, {-7, -5, format}, {-9, -5, format},
      {INT32_MIN, -5, format},
      {kResultOutOfMemory, -5, format},  // only the library reports memory running out as such
      {-4, -4, "Input file \"" + source + "\" open error\r\n"},
      {-11, -11, "Input file \"" + source + "\" is encrypted\r\n"},
  };
  for (const auto& row : rows) {
    test::CapturedConsole console;
    OutputBuffer buffer;
    FakeState() = {};
    FakeState().result = row.converter;
    const CommandJob request{source, target, false, "", 0};
    EXPECT_EQ(ConvertOneFile(request, test::FakeConverters(), buffer, console.Console()),
              row.exit);
    EXPECT_EQ(console.Text(), row.message) << row.converter;
    EXPECT_FALSE(test::Exists(target));
    EXPECT_EQ(FakeState().codePage, DefaultCodePage());  // code page 0 is resolved first
  }
}

TEST(ConvertOneFileTest, DestinationThatAppearsDuringTheConversion) {
  test::ScratchDir dir;
  const std::string source = dir.Write("talk.ppt", "x");
  const std::string target = dir.Path("out.txt");
  // Without -o it is not replaced; with -o it is.
  for (const bool overwrite : {false, true}) {
    test::CapturedConsole console;
    OutputBuffer buffer;
    FakeState() = {};
    FakeState().text = "converted";
    FakeState().appearing = target;
    FakeState().appearingText = "another program's file";
    const CommandJob request{source, target, overwrite, "", 1252};
    EXPECT_EQ(ConvertOneFile(request, test::FakeConverters(), buffer, console.Console()),
              overwrite ? 0 : kExitDestinationExists);
    EXPECT_EQ(test::ReadFile(target), overwrite ? "converted" : "another program's file");
    EXPECT_EQ(console.Text(), overwrite ? "\"" + source + "\" --> \"" + target + "\" OK\r\n"
                                        : "Output file \"" + target + "\" already exists, convert canceled\r\n");
  }
}

#ifndef _WIN32  // FIFOs and devices on Windows: tests/windows
TEST(ConvertOneFileTest, SourceThatIsNoRegularFileIsNeverHandedOn) {
  test::ScratchDir dir;
  const std::string fifo = dir.Path("talk.ppt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& source : {fifo, std::string("/dev/null")}) {
    test::CapturedConsole console;
    OutputBuffer buffer;
    FakeState() = {};
    const CommandJob request{source, "*", false, "PPT", 1252};
    EXPECT_EQ(ConvertOneFile(request, test::FakeConverters(), buffer, console.Console()),
              kResultSourceOpenError);
    EXPECT_EQ(console.Text(), "Input file \"" + source + "\" open error\r\n");
    EXPECT_EQ(FakeState().calls, 0);
  }
}
#endif

// The conversion gets the form, the resolved code page and the format the extension names:
// dkscrcmd never lets the content decide.
TEST(ConvertOneFileTest, RequestCarriesFormTypeAndCodePage) {
  test::ScratchDir dir;
  const struct {
    const char* name;
    SlideMode mode;
    PresentationKind format;
  } rows[] = {
      {"a.ppt", SlideMode::kText, PresentationKind::kPpt}, {"a.pptx", SlideMode::kText, PresentationKind::kPptx},
      {"a.ppt", SlideMode::kJson, PresentationKind::kPpt}, {"a.pptx", SlideMode::kFull, PresentationKind::kPptx},
      {"a.PPTX", SlideMode::kMarkdown, PresentationKind::kPptx},
  };
  for (const auto& row : rows) {
    test::CapturedConsole console;
    OutputBuffer buffer;
    FakeState() = {};
    FakeState().text = "text";
    // An Open XML signature does not change what the extension says.
    const std::string source = dir.Write(row.name, "PK\x03\x04");
    CommandJob job{source, "*", false, "", 0};
    job.mode = row.mode;
    EXPECT_EQ(ConvertOneFile(job, test::FakeConverters(), buffer, console.Console()), 0) << row.name;
    EXPECT_EQ(console.Text(), "text") << row.name;
    EXPECT_EQ(FakeState().mode, row.mode) << row.name;
    EXPECT_EQ(FakeState().format, row.format) << row.name;
    EXPECT_EQ(FakeState().codePage, DefaultCodePage());
  }
}

TEST(ConvertOneFileTest, StandardOutputKeepsEveryByteInOrder) {
  test::CapturedConsole captured;
  // Longer than one write takes at a time, and not a whole number of them.
  std::string big((size_t{5} << 19) + 12345, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + (i >> 16));
  const auto* bytes = reinterpret_cast<const uint8_t*>(big.data());
  captured.Console().WriteOutputByte(0xFF);
  captured.Console().WriteOutputBytes(bytes, 65535);  // fills the block to the brim
  captured.Console().WriteOutputBytes(bytes, big.size());
  captured.Console().WriteMessage("done");
  EXPECT_EQ(captured.Text(), "\xFF" + big.substr(0, 65535) + big + "done\r\n");
}

#ifndef _WIN32
TEST(ConvertOneFileTest, StandardOutputThatRefusesTheTextIsAWriteError) {
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (full < 0) GTEST_SKIP() << "no /dev/full";
  test::ScratchDir dir;
  FakeState() = {};
  FakeState().text = "text";
  OutputBuffer buffer;
  {
    ConsoleOutput console(full);
    const std::string source = dir.Write("talk.ppt", "x");
    const CommandJob request{source, "*", false, "", 1252};
    EXPECT_EQ(ConvertOneFile(request, test::FakeConverters(), buffer, console),
              kResultTargetWriteError);
    EXPECT_TRUE(console.Failed());
  }
  ::close(full);
}
#endif

}  // namespace
}  // namespace dkscr
