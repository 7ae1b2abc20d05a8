// Standard output: exact bytes in any mix of sizes, messages in order, failures noticed.
#include "cli/ConsoleOutput.h"

#include <gtest/gtest.h>

#include "CliTestSupport.h"

namespace dkscr {
namespace {

TEST(ConsoleOutputTest, MixedPiecesArriveInOrderAndUnchanged) {
  test::CapturedConsole captured;
  ConsoleOutput& console = captured.Console();
  std::string expected;
  std::string big(200000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  console.WriteOutputByte(0xFF);
  expected += '\xFF';
  console.WriteOutputBytes(reinterpret_cast<const uint8_t*>(big.data()), 65535);
  expected.append(big, 0, 65535);
  console.WriteOutputBytes(reinterpret_cast<const uint8_t*>(big.data()), big.size());
  expected += big;
  console.WriteOutputBytes(reinterpret_cast<const uint8_t*>("\n\r"), 2);
  expected += "\n\r";
  console.WriteMessage("done");
  expected += "done\r\n";
  EXPECT_EQ(captured.Text(), expected);
  EXPECT_FALSE(console.Failed());
}

TEST(ConsoleOutputTest, WriteFailureIsRemembered) {
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (full < 0) GTEST_SKIP() << "no /dev/full";
  {
    ConsoleOutput console(full);
    console.WriteOutputByte('a');
    EXPECT_TRUE(console.Flush() == false);
    EXPECT_TRUE(console.Failed());
  }
  ::close(full);
}

}  // namespace
}  // namespace dkscr
