#pragma once
// Shared pieces of the console program's tests: captured standard output
// and converters whose behaviour each test sets.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli/ConsoleOutput.h"
#include "cli/ConvertOneFile.h"
#include "tests/support/ScratchDir.h"
#include "text/Encode.h"

namespace dkscr::test {

// Standard output stand-in: an anonymous file the console writes to and the test reads back.
class CapturedConsole {
 public:
  CapturedConsole() : fd_(AnonymousFile()), console_(fd_) {}
  ~CapturedConsole() { CloseFile(fd_); }
  CapturedConsole(const CapturedConsole&) = delete;
  CapturedConsole& operator=(const CapturedConsole&) = delete;

  ConsoleOutput& Console() { return console_; }
  std::string Text() {
    console_.Flush();
    return ReadAll(fd_);
  }

 private:
  int fd_;
  ConsoleOutput console_;
};

// What the fake converter saw and what it answers: a negative result as is, else `text`.
struct FakeConverterState {
  int32_t codePage = 0;
  SlideMode mode = SlideMode::kText;
  PresentationKind format = PresentationKind::kUnknown;
  ResultCode result = 0;
  std::string text;
  int calls = 0;
  // A file that another program puts here while the conversion runs, and its content.
  std::string appearing;
  std::string appearingText;
};

inline FakeConverterState& FakeState() {
  static FakeConverterState state;
  return state;
}

inline ResultCode FakeConvert(const std::string&, const ConvertRequest& request, OutputBuffer& output) {
  FakeState().codePage = request.codePage;
  FakeState().mode = request.mode;
  FakeState().format = request.format;
  ++FakeState().calls;
  if (!FakeState().appearing.empty()) WriteFileBytes(FakeState().appearing, FakeState().appearingText);
  if (FakeState().result < 0) return FakeState().result;
  return CopyToOutput(FakeState().text, output);
}

inline FileConverter FakeConverters() { return FakeConvert; }

}  // namespace dkscr::test
