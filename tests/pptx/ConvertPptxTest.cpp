#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/NativePath.h"
#include "tests/support/Conversions.h"
#ifndef _WIN32
#include "tests/support/ProcessGuards.h"
#endif
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipWriter.h"

namespace dkscr {
namespace {

using test::ScratchDir;
using test::ZipWriter;

constexpr int32_t kUtf8 = 65001;
constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string Paragraphs(std::string_view body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
         "<p:sld xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
         "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\">"
         "<p:cSld><p:spTree><p:sp><p:txBody><a:bodyPr/>" +
         std::string(body) + "</p:txBody></p:sp></p:spTree></p:cSld></p:sld>";
}

std::string TextRun(std::string_view text) { return "<a:r><a:t>" + std::string(text) + "</a:t></a:r>"; }
std::string Para(std::string_view runs) { return "<a:p>" + std::string(runs) + "</a:p>"; }

// A package with the usual parts around the given slides.
ZipWriter Package() {
  ZipWriter zip;
  zip.Add("[Content_Types].xml", "<Types/>");
  zip.Add("_rels/.rels", "<Relationships/>");
  return zip;
}

class ConvertPptxTest : public ::testing::Test {
 protected:
  // Converts the package into UTF-8 and returns the text without its byte-order mark, or the
  // error code as text.
  std::string Convert(const ZipWriter& zip, int32_t codePage = kUtf8) {
    return ConvertFile(dir_.Put("deck.pptx", zip.Build()), codePage);
  }
  std::string ConvertFile(const std::u16string& path, int32_t codePage = kUtf8) {
    const ResultCode result = ConvertPptx(path, output_, codePage);
    if (result < 0) return "error " + std::to_string(result);
    std::string bytes(reinterpret_cast<const char*>(output_.Data()), static_cast<size_t>(result));
    if (codePage == kUtf8) {
      EXPECT_TRUE(bytes.starts_with(kBom));
      bytes.erase(0, kBom.size());
    }
    return bytes;
  }

  ScratchDir dir_;
  OutputBuffer output_;
};

TEST_F(ConvertPptxTest, WhichSlidePartsAreReadAndInWhatOrder) {
  const struct {
    std::vector<std::string> parts;  // slide part names, each holding one paragraph: its number
    std::string text;
  } cases[] = {
      // Number order, not the order of the package or of the presentation part.
      {{"ppt/presentation.xml", "ppt/slides/slide2.xml", "ppt/slides/slide1.xml"},
       "slide1:\r\n1\r\nslide2:\r\n2\r\n"},
      {{"ppt/slides/slide1.xml", "ppt/slides/slide0.xml"}, "slide0:\r\n0\r\nslide1:\r\n1\r\n"},
      // Numbers from 0 to the entry count - 1 are tried: with four entries slide4 is never read.
      {{"ppt/a.xml", "ppt/slides/slide4.xml"}, "error -5"},
      {{"ppt/slides/slide3.xml", "ppt/slides/slide4.xml"}, "slide3:\r\n3\r\n"},
      {{"ppt/slides/slide1.xml", "ppt/slides/slide4.xml", "ppt/slides/slide10.xml"},
       "slide1:\r\n1\r\nslide4:\r\n4\r\n"},  // gaps leave no trace
      {{"PPT/Slides/Slide1.XML"}, "slide1:\r\n1\r\n"},
      // Only the names asked for: no leading zeros.
      {{"ppt/slides/slide01.xml", "ppt/slides/slide2.xml"}, "slide2:\r\n2\r\n"},
  };
  for (const auto& c : cases) {
    ZipWriter zip = Package();
    for (const std::string& name : c.parts) {
      const size_t digits = name.find_first_of("0123456789");
      zip.Add(name, digits == std::string::npos
                        ? "<p:presentation><p:sldIdLst><p:sldId r:id=\"rId3\"/><p:sldId r:id=\"rId2\"/>"
                          "</p:sldIdLst></p:presentation>"
                        : Paragraphs(Para(TextRun(name.substr(digits, name.find('.', digits) - digits)))));
    }
    EXPECT_EQ(Convert(zip), c.text) << c.parts.back();
  }
}

TEST_F(ConvertPptxTest, LineBreaksInsideRuns) {
  ZipWriter zip = Package();
  zip.Add("ppt/slides/slide1.xml", Paragraphs(Para(TextRun("l1\nl2")) + Para(TextRun("l3\r\nl4"))));
  EXPECT_EQ(Convert(zip), "slide1:\r\nl1\r\nl2\r\nl3l4\r\n");
}

TEST_F(ConvertPptxTest, Utf16PartGivesHeaderOnly) {
  const std::string xml = Paragraphs(Para(TextRun("x")));
  std::string utf16 = "\xFF\xFE";
  for (char c : xml) {
    utf16.push_back(c);
    utf16.push_back('\0');
  }
  ZipWriter zip = Package();
  zip.Add("ppt/slides/slide1.xml", utf16);
  EXPECT_EQ(Convert(zip), "slide1:\r\n");
}

TEST_F(ConvertPptxTest, ZeroLengthPartsCountAsFoundWithoutHeader) {
  ZipWriter empty = Package();
  empty.Add("ppt/slides/slide1.xml", "");
  EXPECT_EQ(Convert(empty), "");
  EXPECT_EQ(ConvertPptx(dir_.Put("e.pptx", empty.Build()), output_, 1200), 2);
  EXPECT_EQ(ConvertPptx(dir_.Put("e.pptx", empty.Build()), output_, 1252), 0);
  ZipWriter mixed = Package();
  mixed.Add("ppt/slides/slide1.xml", "");
  mixed.Add("ppt/slides/slide2.xml", Paragraphs(Para(TextRun("b"))));
  EXPECT_EQ(Convert(mixed), "slide2:\r\nb\r\n");
}

TEST_F(ConvertPptxTest, DamagedSlideIsSkipped) {
  ZipWriter zip = Package();
  test::ZipEntrySpec bad = test::Entry("ppt/slides/slide1.xml", Paragraphs(Para(TextRun("bad"))));
  bad.crc = 0x12345678;
  zip.Add(bad);
  zip.Add("ppt/slides/slide2.xml", Paragraphs(Para(TextRun("good"))));
  EXPECT_EQ(Convert(zip), "slide2:\r\ngood\r\n");
}

TEST_F(ConvertPptxTest, EncodesForTheCodePage) {
  ZipWriter zip = Package();
  zip.Add("ppt/slides/slide1.xml", Paragraphs(Para(TextRun("caf\xC3\xA9"))));
  EXPECT_EQ(Convert(zip, 1252), "slide1:\r\ncaf\xE9\r\n");
  const std::string utf16 = Convert(zip, 1200);
  EXPECT_EQ(utf16.substr(0, 6), std::string("\xFF\xFEs\0l\0", 6));
  EXPECT_EQ(utf16.size(), 2u + 2u * 15u);
}

TEST_F(ConvertPptxTest, FailuresAndTheirCodes) {
  EXPECT_EQ(ConvertFile(PathFromNative(dir_.Path("missing.pptx"))), "error -2");
  std::filesystem::create_directory(dir_.Path("folder.pptx"));
  EXPECT_EQ(ConvertFile(PathFromNative(dir_.Path("folder.pptx"))), "error -2");
  EXPECT_EQ(ConvertFile(dir_.Put("zero.pptx", "")), "error -5");
  EXPECT_EQ(ConvertFile(dir_.Put("text.pptx", "just some text, no archive")), "error -5");
  // A compound document named .pptx.
  std::string cfb("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  cfb.resize(1536, '\0');
  EXPECT_EQ(ConvertFile(dir_.Put("binary.pptx", cfb)), "error -5");
  ZipWriter noSlides = Package();
  EXPECT_EQ(Convert(noSlides), "error -5");
}

// Permission bits, FIFOs and devices are POSIX matters; tests/windows has Windows' own.
#ifndef _WIN32
TEST_F(ConvertPptxTest, UnreadablePackageCannotBeOpened) {
  ZipWriter zip = Package();
  zip.Add("ppt/slides/slide1.xml", Paragraphs(Para(TextRun("x"))));
  const std::u16string path = dir_.Put("locked.pptx", zip.Build());
  const std::string native = PathToNative(path);
  ::chmod(native.c_str(), 0);
  if (::access(native.c_str(), R_OK) == 0) GTEST_SKIP() << "running with rights that read anything";
  EXPECT_EQ(ConvertFile(path), "error -4");
}

TEST_F(ConvertPptxTest, SpecialFilesCannotBeOpenedAndNeverBlock) {
  const std::string fifo = dir_.Path("fifo.pptx");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/dev/null"), std::string("/dev/zero")}) {
    // In a child: a blocking open of the FIFO would wait for a writer forever.
    EXPECT_EQ(test::StatusInChild([&] { return ConvertPptx(PathFromNative(path), output_, kUtf8); }),
              static_cast<uint8_t>(kResultSourceOpenError))
        << path;
  }
}
#endif

TEST_F(ConvertPptxTest, FailureLeavesTheBufferAndSuccessReusesIt) {
  ZipWriter zip = Package();
  zip.Add("ppt/slides/slide1.xml", Paragraphs(Para(TextRun("x"))));
  ASSERT_EQ(Convert(zip), "slide1:\r\nx\r\n");
  const uint8_t* block = output_.Data();
  EXPECT_EQ(ConvertPptx(PathFromNative(dir_.Path("missing.pptx")), output_, kUtf8), -2);
  EXPECT_EQ(output_.Data(), block);
  EXPECT_EQ(output_.BlockSize(), 3u + 12u + 1u);
}

TEST(ConvertPptxCorpus, EveryPresentationPackageConverts) {
  const std::filesystem::path corpus = DKSCR_CORPUS_DIR;
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  int packages = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext != ".pptx" && ext != ".pptm" && ext != ".ppsx") continue;
    ++packages;
    OutputBuffer output;
    const ResultCode result = ConvertPptx(PathFromNative(entry.path().string()), output, kUtf8);
    SCOPED_TRACE(entry.path().string());
    // A file that is not a package at all may fail as a format error; nothing else may.
    if (result < 0) {
      EXPECT_EQ(result, kResultFormatError);
      continue;
    }
    const std::string text(reinterpret_cast<const char*>(output.Data()), static_cast<size_t>(result));
    EXPECT_TRUE(text.starts_with(std::string(kBom) + "slide")) << text.substr(0, 40);
  }
  EXPECT_GT(packages, 0);
}

}  // namespace
}  // namespace dkscr
