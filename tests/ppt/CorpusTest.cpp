// Every real sample of the shared corpus converts without a crash, with the text we expect
// from reading the files' records.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/NativePath.h"
#include "tests/support/Conversions.h"

namespace dkscr {
namespace {

namespace fs = std::filesystem;

std::string Convert(const fs::path& file, ResultCode& code) {
  OutputBuffer out;
  code = ConvertPpt(PathFromNative(file.string()), out, 65001);
  return code >= 3 ? std::string(reinterpret_cast<const char*>(out.Data()) + 3, static_cast<size_t>(code) - 3) : "";
}

TEST(PptCorpus, EveryFileConvertsAsExpected) {
  const fs::path dir = DKSCR_CORPUS_DIR;
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  // Text expected in order (each after the previous one), or a result code.
  const std::map<std::string, std::vector<std::string>> expected = {
      {"SampleShow.ppt", {"Title of the first slide\r\n", "It has bullet points on it\r\n", "I am the notes of the first slide\r\n",
                          "These are the notes of the 2nd slide\r\n"}},
      {"basic_test_ppt_file.ppt", {"This is a test title\r\n", "This is page two\r\n", "These are the notes for page 1\r\n"}},
      {"54880_chinese.ppt", {"\xE8\xA4\x87\xE6\x95\xB0\xE3\x81\xAE\xE6\x96\x87\xE5\xAD\x97", "\xF0\xA0\xAE\x9F"}},
      {"incorrect_slide_order.ppt", {"First slide I added", "Third slide I added", "Second slide I added"}},
      {"with_textbox.ppt", {"Hello, World!!!\r\n"}},
      {"text_shapes.ppt", {"Title Placeholder\r\n", "Text in a TextBox\r\n", "Octagon"}},
      {"badzip.ppt", {"Test PPt\r\n"}},
      {"41071.ppt", {"Fundera, planera och involvera.\r\n"}},
  };
  const std::map<std::string, ResultCode> codes = {
      {"Password_Protected-hello.ppt", -11}, {"ppt_with_png_encrypted.ppt", -11},
      // No text: older formats, a broken edit chain, empty decks, text only on masters.
      {"PPT95.ppt", 3}, {"pp40only.ppt", 3}, {"empty.ppt", 3}, {"master_text.ppt", 3},
      {"57272_corrupted_usereditatom.ppt", 3}, {"headers_footers.ppt", 3}, {"table_test.ppt", 3},
      {"clusterfuzz-testcase-minimized-POIHSLFFuzzer-6192650357112832.ppt", 3},  // empty "Current User"
      {"clusterfuzz-testcase-minimized-POIHSLFFuzzer-4630915954114560.ppt", 3},
  };
  int converted = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    ResultCode code = 0;
    const std::string text = Convert(entry.path(), code);
    if (entry.path().extension() != ".ppt") {
      if (entry.path().extension() != ".md") {
        EXPECT_EQ(code, -5);  // packages are no compound documents
      }
      continue;
    }
    ++converted;
    if (const auto it = codes.find(name); it != codes.end()) {
      EXPECT_EQ(code, it->second);
      continue;
    }
    EXPECT_GT(code, 3);
    EXPECT_EQ(text.find("Click to edit Master"), std::string::npos);
    if (const auto it = expected.find(name); it != expected.end()) {
      size_t at = 0;
      for (const std::string& piece : it->second) {
        const size_t found = text.find(piece, at);
        EXPECT_NE(found, std::string::npos) << piece;
        if (found != std::string::npos) at = found + piece.size();
      }
    }
  }
  EXPECT_GE(converted, 20);
}

}  // namespace
}  // namespace dkscr
