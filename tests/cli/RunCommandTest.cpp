// The main routine: argument count, option order and the usage text.
#include "cli/CmdMain.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <span>

#include "CliTestSupport.h"
#include "cli/CmdOptions.h"

namespace dkscr {
namespace {

using test::FakeState;

class RunCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { FakeState() = {}; }

  int Run(std::initializer_list<const char*> args) {
    const char* argv[8] = {"/opt/tools/dkscrcmd"};
    size_t count = 1;
    for (const char* arg : args) argv[count++] = arg;
    return RunCommand(std::span<const char* const>(argv, count), test::FakeConverters(),
                      console_.Console());
  }
  std::string Usage() const { return UsageText("dkscrcmd") + "\r\n"; }

  test::ScratchDir dir_;
  test::CapturedConsole console_;
};

TEST_F(RunCommandTest, WrongArgumentCountsShowTheUsage) {
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Run({"a.ppt"}), 2);
  EXPECT_EQ(console_.Text(), Usage() + Usage());
  EXPECT_EQ(RunCommand({}, test::FakeConverters(), console_.Console()), 2);
}

TEST_F(RunCommandTest, TwoArgumentsAreNeverOptions) {
  EXPECT_EQ(Run({"-o", "a.ppt"}), kResultSourceMissing);
  EXPECT_EQ(console_.Text(), "Input file \"-o\" not exists\r\n");
}

TEST_F(RunCommandTest, ThreeArgumentsNeedAValidOption) {
  const std::string source = dir_.Write("talk.ppt", "x");
  EXPECT_EQ(Run({"a", source.c_str(), "*"}), 2);
  EXPECT_EQ(Run({"-x", source.c_str(), "*"}), 2);
  EXPECT_EQ(Run({"-c", source.c_str(), "*"}), 2);
  EXPECT_EQ(FakeState().pptCalls, 0);
  EXPECT_EQ(Run({"-s5", source.c_str(), "*"}), 0);
  EXPECT_EQ(FakeState().pptCalls, 1);
}

TEST_F(RunCommandTest, FirstInvalidOptionStopsTheRun) {
  const std::string source = dir_.Write("talk.ppt", "x");
  EXPECT_EQ(Run({"-x", "-o", source.c_str(), "*"}), 2);
  EXPECT_EQ(Run({"-o", "-x", "-c1252", source.c_str(), "*"}), 2);
  EXPECT_EQ(FakeState().pptCalls, 0);
}

TEST_F(RunCommandTest, OptionsReachTheConversion) {
  const std::string source = dir_.Write("talk.bin", "x");
  const std::string target = dir_.Write("talk.txt", "old");
  FakeState().text = "new";
  EXPECT_EQ(Run({"-C1252", "-c65001", "-TPPTX", "-O", source.c_str(), target.c_str()}), 0);
  EXPECT_EQ(FakeState().pptxCalls, 1);
  EXPECT_EQ(FakeState().codePage, 65001);
  EXPECT_EQ(test::ReadFile(target), "new");
}

TEST_F(RunCommandTest, CodePageZeroIsTheDefault) {
  const std::string source = dir_.Write("talk.ppt", "x");
  EXPECT_EQ(Run({"-c0", source.c_str(), "*"}), 0);
  EXPECT_EQ(FakeState().codePage, DefaultCodePage());
}

}  // namespace
}  // namespace dkscr
