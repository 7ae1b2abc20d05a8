// Packages built to hurt: more slide XML than the package could honestly hold, element trees
// past their bound, entry counts past 65535, and password-protected packages.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "pptx/PptxBudget.h"
#include "tests/support/CfbWriter.h"
#include "tests/support/Conversions.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipWriter.h"

namespace dkscr {
namespace {

using test::ZipWriter;

std::string Slide(std::string_view body) {
  return "<p:sld xmlns:a=\"a\"><p:txBody>" + std::string(body) + "</p:txBody></p:sld>";
}

// Slide numbers are tried up to the entry count - 1 only: the usual parts make room for them.
ZipWriter Package() {
  ZipWriter zip;
  zip.Add("[Content_Types].xml", "<Types/>");
  zip.Add("_rels/.rels", "<Relationships/>");
  return zip;
}

std::string Repeat(std::string_view unit, size_t bytes) {
  std::string out;
  out.reserve(bytes + unit.size());
  while (out.size() < bytes) out += unit;
  return out;
}

// Incompressible bytes, as a picture would be: they make the package large honestly.
std::string Picture(size_t size) {
  std::mt19937 rng(7);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

class PptxHostileTest : public ::testing::Test {
 protected:
  ResultCode Convert(const ZipWriter& zip) { return Convert(zip.Build()); }
  ResultCode Convert(const std::string& bytes) {
    return ConvertPptx(dir_.Put("deck.pptx", bytes), output_, 65001);
  }
  std::string Text(ResultCode result) const {
    return std::string(reinterpret_cast<const char*>(output_.Data()) + 3, static_cast<size_t>(result) - 3);
  }

  test::ScratchDir dir_;
  OutputBuffer output_;
};

TEST_F(PptxHostileTest, SlideXmlIsBoundedByThePackageSize) {
  // Slides of 12 MiB that pack into a few kilobytes each: one fits the budget of a small
  // package, three together do not.
  const std::string big = Slide(Repeat("<a:p><a:t>" + std::string(200, 'w') + "</a:t></a:p>", 12u << 20));
  ZipWriter one = Package();
  one.Add("ppt/slides/slide1.xml", big);
  one.Add("ppt/slides/slide2.xml", Slide("<a:p><a:t>last</a:t></a:p>"));
  const ResultCode result = Convert(one);
  ASSERT_GT(result, 0);
  EXPECT_TRUE(Text(result).ends_with("slide2:\r\nlast\r\n"));

  ZipWriter three = Package();
  auto packed = test::Entry("", big);
  packed.compressed = test::RawDeflate(big);
  for (int n = 1; n <= 3; ++n) {
    packed.name = "ppt/slides/slide" + std::to_string(n) + ".xml";
    three.Add(packed);
  }
  EXPECT_EQ(Convert(three), kResultFormatError);
}

TEST_F(PptxHostileTest, TextIsCountedAsEncoded) {
  // Lone line feeds become CR LF: 7 MiB of them encode to 14 MiB, within the text budget of a
  // small package; 10 MiB encode to 20 MiB, past it, though 10 MiB of slide XML would fit.
  for (const size_t feeds : {size_t{7} << 20, size_t{10} << 20}) {
    ZipWriter zip = Package();
    zip.Add("ppt/slides/slide1.xml", Slide("<a:p><a:t>x" + std::string(feeds, '\n') + "x</a:t></a:p>"));
    const ResultCode result = Convert(zip);
    if (feeds == size_t{7} << 20) {
      EXPECT_EQ(result, static_cast<ResultCode>(3 + 9 + 2 * feeds + 4));
    } else {
      EXPECT_EQ(result, kResultFormatError);
    }
  }
}

TEST_F(PptxHostileTest, OneSlideIsBoundedWhateverThePackageSize) {
  // A large package allows more in total, but no single slide past the cap.
  ZipWriter zip = Package();
  zip.Add("ppt/media/image1.png", Picture(600u << 10), 0);
  zip.Add("ppt/slides/slide1.xml", Repeat("x", PptxBudget::kSlideBytesCap + 1));
  EXPECT_EQ(Convert(zip), kResultFormatError);

  // One tag more than a slide's element tree may hold.
  ZipWriter tags = Package();
  tags.Add("ppt/slides/slide1.xml", Slide(Repeat("<a/>", 4 * (PptxBudget::kSlideTagsCap - 3))));
  EXPECT_EQ(Convert(tags), kResultFormatError);
}

TEST_F(PptxHostileTest, SlidesPastEntry65535AreRead) {
  for (const auto end : {ZipWriter::Zip64End::kWhenNeeded, ZipWriter::Zip64End::kNever}) {
    ZipWriter zip;
    for (int i = 0; i < 70000; ++i) zip.Add("ppt/media/m" + std::to_string(i), "", 0);
    zip.Add("ppt/slides/slide2.xml", Slide("<a:p><a:t>two</a:t></a:p>"), 0);
    zip.Add("ppt/slides/slide69999.xml", Slide("<a:p><a:t>far</a:t></a:p>"), 0);
    zip.Zip64(end);
    const ResultCode result = Convert(zip);
    ASSERT_GT(result, 0);
    EXPECT_EQ(Text(result), "slide2:\r\ntwo\r\nslide69999:\r\nfar\r\n");
  }
}

TEST_F(PptxHostileTest, PasswordProtectedPackageIsEncrypted) {
  const std::string encrypted = test::BuildCfb(
      {{u"EncryptionInfo", std::string(200, '\x04')}, {u"EncryptedPackage", Picture(5000)}});
  EXPECT_EQ(Convert(encrypted), kResultEncrypted);
  // Another compound document is still no package.
  EXPECT_EQ(Convert(test::BuildCfb({{u"PowerPoint Document", Picture(600)}})), kResultFormatError);
}

}  // namespace
}  // namespace dkscr
