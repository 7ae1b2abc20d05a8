// The option grammar of dkscrcmd and the usage text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CmdOptions.h"

namespace dkscr {
namespace {

CmdOptions Parse(const std::vector<std::string>& args) {
  CmdOptions options;
  for (const auto& arg : args) ParseOption(arg, options);
  return options;
}

bool Valid(const std::string& arg) {
  CmdOptions options;
  ParseOption(arg, options);
  return !options.optionError;
}

TEST(ParseOptionTest, OverwriteIsExactlyTwoCharactersInEitherCase) {
  EXPECT_TRUE(Parse({"-o"}).overwrite);
  EXPECT_TRUE(Parse({"-O"}).overwrite);
  EXPECT_FALSE(Valid("-ox"));
  EXPECT_FALSE(Valid("-o "));
  EXPECT_FALSE(Valid("/o"));
  EXPECT_FALSE(Parse({"-c1252"}).overwrite);
}

TEST(ParseOptionTest, InvalidArgumentsSetTheErrorAndKeepTheState) {
  for (const char* arg : {"", "-", "o", "-x", "-c", "-t", "-s", "--", "-x1252", "c1252"}) {
    EXPECT_FALSE(Valid(arg)) << arg;
  }
  CmdOptions options;
  ParseOption("-c1252", options);
  ParseOption("-tppt", options);
  ParseOption("-c", options);
  EXPECT_TRUE(options.optionError);
  EXPECT_EQ(options.codePage, 1252);
  EXPECT_EQ(options.forcedType, "PPT");
  // A valid option after an invalid one clears the flag again: the caller stops at the first.
  ParseOption("-o", options);
  EXPECT_FALSE(options.optionError);
}

TEST(ParseOptionTest, TypeIsASubstringTestOnTheListText) {
  EXPECT_EQ(Parse({"-tppt"}).forcedType, "PPT");
  EXPECT_EQ(Parse({"-TPpT"}).forcedType, "PPT");
  EXPECT_EQ(Parse({"-tdoc"}).forcedType, "DOC");
  EXPECT_EQ(Parse({"-tpptx"}).forcedType, "PPTX");
  EXPECT_EQ(Parse({"-TXLSX"}).forcedType, "XLSX");
  // Pieces that straddle two words of the list are accepted too.
  EXPECT_EQ(Parse({"-tC H"}).forcedType, "C H");
  EXPECT_EQ(Parse({"-tF P"}).forcedType, "F P");
  EXPECT_EQ(Parse({"-tX PP"}).forcedType, "X PP");
  for (const char* arg : {"-tOC", "-tabc", "-tpp", "-tpptxx", "-tdocm", "-tTX", "-t    "}) {
    EXPECT_FALSE(Valid(arg)) << arg;
  }
}

TEST(ParseOptionTest, CodePageNumberForms) {
  EXPECT_EQ(Parse({"-c1252"}).codePage, 1252);
  EXPECT_EQ(Parse({"-C65001"}).codePage, 65001);
  EXPECT_EQ(Parse({"-c0"}).codePage, 0);
  EXPECT_EQ(Parse({"-c  932"}).codePage, 932);
  EXPECT_EQ(Parse({"-c+1200"}).codePage, 1200);
  EXPECT_EQ(Parse({"-c$4E4"}).codePage, 1252);
  EXPECT_EQ(Parse({"-cx4e4"}).codePage, 1252);
  EXPECT_EQ(Parse({"-c0X4E4"}).codePage, 1252);
  EXPECT_EQ(Parse({"-c-1"}).codePage, -1);
  for (const char* arg : {"-c 12 ", "-c12a", "-c0x", "-c$", "-c+", "-c1e3", "-c 0x 1"}) {
    EXPECT_FALSE(Valid(arg)) << arg;
  }
}

TEST(ParseOptionTest, LaterOptionsReplaceEarlierOnes) {
  const CmdOptions options = Parse({"-c1252", "-tdoc", "-c65001", "-tpptx"});
  EXPECT_EQ(options.codePage, 65001);
  EXPECT_EQ(options.forcedType, "PPTX");
  EXPECT_FALSE(options.optionError);
}

TEST(ParseOptionTest, STakesOneDigitAndIgnoresTheRest) {
  EXPECT_EQ(Parse({"-s5"}).sValue, 5);
  EXPECT_EQ(Parse({"-S0abc"}).sValue, 0);
  EXPECT_FALSE(Valid("-sx"));
  EXPECT_FALSE(Valid("-s-1"));
}

TEST(ParseInt32Test, RangeLimits) {
  EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
  EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseInt32("2147483648"), std::nullopt);
  EXPECT_EQ(ParseInt32("-2147483649"), std::nullopt);
  EXPECT_EQ(ParseInt32("99999999999999999999999"), std::nullopt);
  EXPECT_EQ(ParseInt32("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseInt32("$80000000"), INT32_MIN);
  EXPECT_EQ(ParseInt32("$100000000"), std::nullopt);
  EXPECT_EQ(ParseInt32("-$10"), -16);
  EXPECT_EQ(ParseInt32("000000000000000000001200"), 1200);
  EXPECT_EQ(ParseInt32(""), std::nullopt);
  EXPECT_EQ(ParseInt32("   "), std::nullopt);
}

TEST(UsageTextTest, WordForWord) {
  EXPECT_EQ(UsageText("dkscrcmd"),
            "Kel-Deckscribe Command Version 3.0\r\n"
            "\r\n"
            "Usage: dkscrcmd [-o] [-c99999] <Source File> <Destination Text File>\r\n"
            "Flag \"-o\": If output file exists then overwrite it.\r\n"
            "Flag \"-c\": Specify the code page identifier for output text file. (Default is "
            "system's code page)\r\n"
            "If <Destination Text File> is \"*\", the text output NOT to a file but instead to "
            "standard output.\r\n"
            "\r\n"
            "Read Kel-Deckscribe help to get more details about command usage.");
}

TEST(UsageTextTest, ProgramFileNameDropsTheFolder) {
  EXPECT_EQ(ProgramFileName("/usr/local/bin/dkscrcmd"), "dkscrcmd");
  EXPECT_EQ(ProgramFileName("./dk.exe"), "dk.exe");
  EXPECT_EQ(ProgramFileName("dkscrcmd"), "dkscrcmd");
}

}  // namespace
}  // namespace dkscr
