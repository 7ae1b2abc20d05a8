// dkscrcmd.exe run as a Windows process: its 32-bit exit code and its standard output.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/NativePath.h"
#include "tests/windows/WindowsTestSupport.h"

namespace dkscr {
namespace {

struct ProgramRun {
  DWORD exitCode = 0;
  std::string output;
};

std::wstring Quoted(const std::wstring& arg) { return L"\"" + arg + L"\""; }

// Runs the program with the arguments, its standard output through a pipe.
ProgramRun RunProgram(const std::vector<std::wstring>& args) {
  std::wstring command = Quoted(WidePath(DKSCR_CMD_PATH));
  for (const std::wstring& arg : args) command += L" " + Quoted(arg);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {~0u, "<no pipe>"};
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
  ::CloseHandle(writeEnd);
  ProgramRun run;
  if (!started) {
    ::CloseHandle(readEnd);
    return {~0u, "<not started>"};
  }
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) run.output.append(chunk, got);
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::GetExitCodeProcess(process.hProcess, &run.exitCode);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  ::CloseHandle(readEnd);
  return run;
}

TEST(WindowsProgram, ExitCodesKeepTheirSign) {
  test::WideScratchDir dir;
  test::WriteWide(dir.Path(u"notes.doc"), "not a presentation");
  std::filesystem::create_directory(dir.Path(u"folder.ppt"));
  const struct {
    std::vector<std::wstring> args;
    int32_t code;
  } rows[] = {
      {{}, 2},
      {{L"-x", L"a.ppt", L"b.txt"}, 2},
      {{dir.Path(u"missing.ppt").wstring(), L"*"}, -2},
      {{dir.Path(u"notes.doc").wstring(), L"*"}, -3},
      {{dir.Path(u"folder.ppt").wstring(), L"*"}, -2},
  };
  for (const auto& row : rows) {
    const ProgramRun run = RunProgram(row.args);
    EXPECT_EQ(static_cast<int32_t>(run.exitCode), row.code) << run.output;
  }
}

TEST(WindowsProgram, StandardOutputCarriesTheExactBytes) {
  test::WideScratchDir dir;
  const std::wstring source = WidePath(DKSCR_TEST_SOURCE_DIR "/../../samples/sample.pptx");
  const std::u16string name = u"\u0442\u0435\u043a\u0441\u0442.txt";
  const ProgramRun toFile = RunProgram({L"-c1200", source, dir.Path(name).wstring()});
  ASSERT_EQ(toFile.exitCode, 0u) << toFile.output;
  EXPECT_NE(toFile.output.find("\" OK\r\n"), std::string::npos);  // no CR CR LF
  const std::string text = test::ReadWide(dir.Path(name));
  ASSERT_GT(text.size(), 2u);
  EXPECT_EQ(text.substr(0, 2), "\xFF\xFE");

  const ProgramRun toOutput = RunProgram({L"-c1200", source, L"*"});
  EXPECT_EQ(toOutput.exitCode, 0u);
  EXPECT_EQ(toOutput.output, text);
}

}  // namespace
}  // namespace dkscr
