#include <gtest/gtest.h>

#include <utility>

#include "text/Encode.h"

namespace dkscr {
namespace {

TEST(CopyToOutput, AllocatesOneSpareByteAndReusesTheBlock) {
  OutputBuffer out;
  EXPECT_FALSE(out.HasBlock());
  EXPECT_EQ(CopyToOutput("", out), 0);
  EXPECT_EQ(out.BlockSize(), 1u);
  EXPECT_EQ(CopyToOutput("hello", out), 5);
  EXPECT_EQ(out.BlockSize(), 6u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Data()), 5), "hello");
}

TEST(OutputBuffer, MovesOwnership) {
  OutputBuffer a;
  ASSERT_EQ(CopyToOutput("abc", a), 3);
  OutputBuffer b = std::move(a);
  EXPECT_FALSE(a.HasBlock());  // NOLINT(bugprone-use-after-move): moved-from state is defined
  EXPECT_TRUE(b.HasBlock());
  EXPECT_EQ(b.Data()[2], 'c');
  b.Free();
  EXPECT_FALSE(b.HasBlock());
}

}  // namespace
}  // namespace dkscr
