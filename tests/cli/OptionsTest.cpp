// The option grammar: what each argument is taken as, and the usage text word for word.
#include <gtest/gtest.h>

#include "cli/CmdMain.h"
#include "cli/CmdOptions.h"

namespace dkscr {
namespace {

struct OptionCase {
  const char* arg;
  bool valid;
  bool overwrite = false;
  const char* type = "";
  int32_t codePage = 0;
};

TEST(OptionsTest, EachArgumentAlone) {
  const OptionCase cases[] = {
      {"-o", true, true}, {"-O", true, true}, {"-ox", false}, {"/o", false}, {"", false},
      {"-", false}, {"-x", false}, {"-c", false}, {"-t", false}, {"-s", false},
      {"-tppt", true, false, "PPT"}, {"-TPpTx", true, false, "PPTX"}, {"-tdoc", true, false, "DOC"},
      {"-tF P", true, false, "F P"},  // a substring test on the list text, not word by word
      {"-tabc", false}, {"-tpp", false}, {"-tpptxx", false}, {"-tdocm", false},
      {"-c1252", true, false, "", 1252}, {"-C65001", true, false, "", 65001},
      {"-c  932", true, false, "", 932}, {"-c$4E4", true, false, "", 1252},
      {"-cx4e4", true, false, "", 1252}, {"-c0X4E4", true, false, "", 1252},
      {"-c-1", true, false, "", -1}, {"-c$FFFFFFFF", true, false, "", -1},
      {"-c-2147483648", true, false, "", INT32_MIN}, {"-c2147483648", false},
      {"-c$100000000", false}, {"-c 12 ", false}, {"-c12a", false}, {"-c0x", false},
      {"-s5", true}, {"-S0abc", true}, {"-sx", false},
  };
  for (const OptionCase& c : cases) {
    CmdOptions options;
    ParseOption(c.arg, options);
    EXPECT_EQ(!options.optionError, c.valid) << c.arg;
    EXPECT_EQ(options.overwrite, c.overwrite) << c.arg;
    EXPECT_EQ(options.forcedType, c.type) << c.arg;
    EXPECT_EQ(options.codePage, c.codePage) << c.arg;
  }
}

TEST(OptionsTest, LaterOptionsWinAndInvalidOnesChangeNothing) {
  CmdOptions options;
  for (const char* arg : {"-c1252", "-tdoc", "-c65001", "-tpptx", "-c", "-tabc"}) {
    ParseOption(arg, options);
  }
  EXPECT_TRUE(options.optionError);
  EXPECT_EQ(options.codePage, 65001);
  EXPECT_EQ(options.forcedType, "PPTX");
}

TEST(OptionsTest, CodePagesThatGiveNoTextAreUsageErrors) {
  for (const char* page : {"-c42", "-c-1", "-c$FFFFFFFF", "-c99999"}) {
    const char* args[] = {"dkscrcmd", page, "a.ppt", "*"};
    EXPECT_TRUE(ParseCommandLine(args).optionError) << page;
  }
  for (const char* page : {"-c0", "-c65001", "-c1200", "-c1252", "-c437"}) {
    const char* args[] = {"dkscrcmd", page, "a.ppt", "*"};
    EXPECT_FALSE(ParseCommandLine(args).optionError) << page;
  }
}

TEST(OptionsTest, ModeOption) {
  const struct {
    const char* arg;
    bool valid;
    SlideMode mode;
  } cases[] = {
      {"-mtext", true, SlideMode::kText}, {"-mfull", true, SlideMode::kFull},
      {"-MMD", true, SlideMode::kMarkdown}, {"-mJson", true, SlideMode::kJson},
      {"-m", false, SlideMode::kText}, {"-mfulll", false, SlideMode::kText},
      {"-mhtml", false, SlideMode::kText}, {"-m json", false, SlideMode::kText},
  };
  for (const auto& c : cases) {
    CmdOptions options;
    ParseOption(c.arg, options);
    EXPECT_EQ(!options.optionError, c.valid) << c.arg;
    EXPECT_EQ(options.mode, c.mode) << c.arg;
  }
}

TEST(OptionsTest, UsageTextWordForWord) {
  EXPECT_EQ(UsageText(ProgramFileName("/usr/local/bin/dk.exe")),
            "Kel-Deckscribe Command Version 3.0\r\n"
            "\r\n"
            "Usage: dk.exe [-o] [-c99999] [-m<mode>] <Source File> <Destination Text File>\r\n"
            "Flag \"-o\": If output file exists then overwrite it.\r\n"
            "Flag \"-c\": Specify the code page identifier for output text file. (Default is "
            "system's code page)\r\n"
            "Flag \"-m\": Output form: text (default), full (complete text slide by slide), md "
            "(Markdown, UTF-8), json (JSON, UTF-8).\r\n"
            "If <Destination Text File> is \"*\", the text output NOT to a file but instead to "
            "standard output.\r\n"
            "\r\n"
            "Read Kel-Deckscribe help to get more details about command usage.");
}

}  // namespace
}  // namespace dkscr
