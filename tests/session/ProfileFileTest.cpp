#include "app/session/ProfileFile.h"

#include <gtest/gtest.h>

namespace dkscr {
namespace {

TEST(ProfileInteger, DecimalHexadecimalAndRejects) {
  const std::pair<const char*, int32_t> good[] = {
      {"0x3", 3},   {"0XfF", 255},          {"$1F", 31}, {"-$10", -16}, {"0xFFFFFFFF", -1},
      {"+65001", 65001}, {"-2147483648", INT32_MIN}};
  for (const auto& [text, expected] : good) {
    int32_t v = 0;
    EXPECT_TRUE(ParseProfileInteger(text, v)) << text;
    EXPECT_EQ(v, expected) << text;
  }
  for (const char* bad : {"", "abc", "0x", "0x1G", "12a", "2147483648", "0x100000000", "-", "$",
                          "1 2", "-0x5"}) {
    int32_t v = 42;
    EXPECT_FALSE(ParseProfileInteger(bad, v)) << bad;
    EXPECT_EQ(v, 42);
  }
}

TEST(ProfileFile, ReadsTrimmedUnquotedCutValuesIgnoringCase) {
  ProfileFile f;
  f.Parse("[Other]\r\nkey=other\r\n  [ GENERAL ]  \r\n  Key  =  \" spaced \"  \r\nsingle='x'\r\n"
          "mismatch=\"x'\r\nnoequals\r\nkey=second\r\nlong=" + std::string(5000, 'a') + "\r\n");
  EXPECT_EQ(f.ReadString("general", "KEY"), " spaced ");  // the first one counts
  EXPECT_EQ(f.ReadString("other", "key"), "other");
  EXPECT_EQ(f.ReadString("general", "single"), "x");
  EXPECT_EQ(f.ReadString("general", "mismatch"), "\"x'");
  EXPECT_EQ(f.ReadString("general", "noequals"), std::nullopt);
  EXPECT_EQ(f.ReadString("missing", "key", "dflt"), "dflt");
  EXPECT_EQ(f.ReadString("general", "long")->size(), 2047u);
}

TEST(ProfileFile, WritingReplacesInPlaceAndAppendsToTheSection) {
  ProfileFile f;
  f.Parse("top line\n[general]\nsamedir=1\nother=keep\n\n[next]\nsamedir=9\n");
  f.WriteString("GENERAL", "SameDir", "0");
  f.WriteString("general", "newkey", "v");
  f.WriteString("added", "k", "1");
  EXPECT_EQ(f.Serialize(),
            "top line\n[general]\nSameDir=0\nother=keep\nnewkey=v\n\n[next]\nsamedir=9\n"
            "[added]\nk=1\n");
}

TEST(ProfileFile, WrittenValuesReadBackAndCannotForgeLines) {
  ProfileFile f;
  for (const std::string value : {" lead", "trail\t", "\"quoted\"", "'q'", "plain", "\""}) {
    f.WriteString("general", "k", value);
    EXPECT_EQ(f.ReadString("general", "k"), value) << value;
  }
  f.WriteString("general", "k", "first\nnotlog=1");
  EXPECT_EQ(f.ReadString("general", "k"), "first");
  EXPECT_EQ(f.ReadString("general", "notlog"), std::nullopt);
  f.WriteString("general", "z", std::string("a\0b", 3));
  EXPECT_EQ(f.ReadString("general", "z"), "a");
}

}  // namespace
}  // namespace dkscr
