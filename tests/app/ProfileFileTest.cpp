#include "app/ProfileFile.h"

#include <gtest/gtest.h>

#include "TempDir.h"

namespace dkscr {
namespace {

TEST(ProfileInteger, DecimalHexadecimalAndRejects) {
  int32_t v = 0;
  EXPECT_TRUE(ParseProfileInteger("0x3", v));
  EXPECT_EQ(v, 3);
  EXPECT_TRUE(ParseProfileInteger("0XfF", v));
  EXPECT_EQ(v, 255);
  EXPECT_TRUE(ParseProfileInteger("$1F", v));
  EXPECT_EQ(v, 31);
  EXPECT_TRUE(ParseProfileInteger("-$10", v));
  EXPECT_EQ(v, -16);
  EXPECT_TRUE(ParseProfileInteger("0xFFFFFFFF", v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(ParseProfileInteger("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_TRUE(ParseProfileInteger("+65001", v));
  EXPECT_EQ(v, 65001);
  EXPECT_TRUE(ParseProfileInteger("007", v));
  EXPECT_EQ(v, 7);

  v = 42;
  for (const char* bad : {"", "abc", "0x", "0x1G", "12a", "2147483648", "0x100000000", "-", "$",
                          "1 2", "-0x5"}) {
    EXPECT_FALSE(ParseProfileInteger(bad, v)) << bad;
  }
  EXPECT_EQ(v, 42);  // untouched by failures
}

TEST(ProfileFile, ReadsTrimmedUnquotedValuesIgnoringCase) {
  TProfileFile f;
  f.Parse("; comment\r\n[Other]\r\nkey=other\r\n  [ GENERAL ]  \r\n  Key  =  \" spaced \"  \r\n"
          "single='x'\r\nmismatch=\"x'\r\nempty=\r\nnoequals\r\nkey=second\r\n");
  EXPECT_EQ(f.ReadString("general", "KEY"), " spaced ");
  EXPECT_EQ(f.ReadString("other", "key"), "other");
  EXPECT_EQ(f.ReadString("general", "single"), "x");
  EXPECT_EQ(f.ReadString("general", "mismatch"), "\"x'");
  EXPECT_EQ(f.ReadString("general", "empty"), "");
  EXPECT_EQ(f.ReadString("general", "noequals"), std::nullopt);
  EXPECT_EQ(f.ReadString("missing", "key"), std::nullopt);
  EXPECT_EQ(f.ReadString("general", "missing", "dflt"), "dflt");
  EXPECT_EQ(f.ReadInteger("general", "empty", 9), 9);
}

TEST(ProfileFile, LongValuesAreCutTo2047Bytes) {
  TProfileFile f;
  f.Parse("[general]\nlong=" + std::string(5000, 'a') + "\n");
  EXPECT_EQ(f.ReadString("general", "long")->size(), 2047u);
}

TEST(ProfileFile, WritingReplacesInPlaceAndAppendsToTheSection) {
  TProfileFile f;
  f.Parse("top line\n[general]\nsamedir=1\nother=keep\n\n[next]\nsamedir=9\n");
  f.WriteString("GENERAL", "SameDir", "0");
  f.WriteString("general", "newkey", "v");
  f.WriteString("added", "k", "1");
  EXPECT_EQ(f.Serialize(),
            "top line\n[general]\nSameDir=0\nother=keep\nnewkey=v\n\n[next]\nsamedir=9\n"
            "[added]\nk=1\n");
  EXPECT_EQ(f.ReadString("next", "samedir"), "9");
}

TEST(ProfileFile, FreshFileUsesCrLf) {
  TProfileFile f;
  f.Parse("");
  f.WriteBool("general", "a", true);
  f.WriteInteger("general", "b", -5);
  EXPECT_EQ(f.Serialize(), "[general]\r\na=1\r\nb=-5\r\n");
}

TEST(ProfileFile, ValuesThatReadingWouldChangeAreQuoted) {
  TProfileFile f;
  f.Parse("");
  for (const std::string value : {" lead", "trail\t", "\"quoted\"", "'q'", "plain", "\""}) {
    f.WriteString("general", "k", value);
    EXPECT_EQ(f.ReadString("general", "k"), value) << value;
  }
  // A line break would start a new line (and could forge keys): the value stops there.
  f.WriteString("general", "k", "first\nnotlog=1");
  EXPECT_EQ(f.ReadString("general", "k"), "first");
  EXPECT_EQ(f.ReadString("general", "notlog"), std::nullopt);
  f.WriteString("general", "z", std::string("a\0b", 3));
  EXPECT_EQ(f.ReadString("general", "z"), "a");
}

TEST(ProfileFile, LoadAndSaveKeepOtherContent) {
  test::TempDir dir;
  const std::string path = dir / "x.dat";
  TProfileFile f;
  ASSERT_EQ(f.Load(path), 0);  // missing file: empty
  EXPECT_TRUE(f.Lines().empty());
  test::WriteFile(path, "[keep]\r\nz=1\r\n");
  ASSERT_EQ(f.Load(path), 0);
  f.WriteString("general", "a", "b");
  ASSERT_EQ(f.Save(path), 0);
  EXPECT_EQ(test::ReadFile(path), "[keep]\r\nz=1\r\n[general]\r\na=b\r\n");
  EXPECT_NE(f.Save(dir / "no/such/dir/x.dat"), 0);
}

}  // namespace
}  // namespace dkscr
