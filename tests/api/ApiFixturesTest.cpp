// The C interface on presentations built here: the type chosen by content whatever the name,
// each error code from a file and from memory, and the block handed over.
#include <deckscribe/deckscribe.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/CfbWriter.h"
#include "tests/support/HostileDecks.h"
#include "tests/support/JsonValue.h"
#include "tests/support/PptBuilder.h"
#ifndef _WIN32
#include "tests/support/ProcessGuards.h"
#endif
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipWriter.h"

namespace dkscr {
namespace {

struct Outcome {
  int32_t code;
  std::string text;  // UTF-8 without its byte-order mark
};

Outcome Take(int32_t code, unsigned char* text, size_t size) {
  Outcome o{code, {}};
  if (code >= 0) {
    EXPECT_EQ(size, static_cast<size_t>(code));
    EXPECT_EQ(text[size], 0) << "no zero byte after the text";
    o.text.assign(reinterpret_cast<const char*>(text) + 3, size - 3);
  } else {
    EXPECT_EQ(text, nullptr);
  }
  dkscr_free(text);
  return o;
}

Outcome FromFile(const std::string& path, int32_t type = DKSCR_TYPE_AUTO) {
  dkscr_options options;
  dkscr_options_init(&options);
  options.code_page = 65001;
  options.type = type;
  unsigned char* text = nullptr;
  size_t size = 0;
  const int32_t code = dkscr_convert_file(path.c_str(), &options, &text, &size);
  return Take(code, text, size);
}

Outcome FromMemory(const std::string& bytes, int32_t type = DKSCR_TYPE_AUTO) {
  dkscr_options options;
  dkscr_options_init(&options);
  options.code_page = 65001;
  options.type = type;
  unsigned char* text = nullptr;
  size_t size = 0;
  const int32_t code = dkscr_convert_memory(bytes.data(), bytes.size(), &options, &text, &size);
  return Take(code, text, size);
}

std::string Ppt(const std::u16string& slide) { return test::MakePresentation({slide}); }

std::string Pptx(const std::string& words) {
  test::ZipWriter zip;
  zip.Add("[Content_Types].xml", "<Types/>");
  zip.Add("ppt/slides/slide1.xml",
          "<p:sld><p:cSld><p:spTree><p:sp><p:txBody><a:p><a:r><a:t>" + words +
              "</a:t></a:r></a:p></p:txBody></p:sp></p:spTree></p:cSld></p:sld>");
  return zip.Build();
}

TEST(CApi, TypeComesFromTheContentWhateverTheName) {
  test::ScratchDir dir;
  const std::string ppt = Ppt(u"Binary"), pptx = Pptx("Open XML");
  struct Case {
    std::string name, bytes, text;
  } cases[] = {
      {"a.ppt", ppt, "Binary\r\n"},        {"b.pptx", pptx, "slide1:\r\nOpen XML\r\n"},
      {"c.pptx", ppt, "Binary\r\n"},       {"d.pptm", pptx, "slide1:\r\nOpen XML\r\n"},
      {"e.txt", pptx, "slide1:\r\nOpen XML\r\n"}, {"no-extension", ppt, "Binary\r\n"},
  };
  for (const Case& c : cases) {
    const Outcome file = FromFile(dir.Write(c.name, c.bytes));
    EXPECT_EQ(file.code, 3 + static_cast<int32_t>(c.text.size())) << c.name;
    EXPECT_EQ(file.text, c.text) << c.name;
    EXPECT_EQ(FromMemory(c.bytes).text, c.text) << c.name;
  }
  // A package behind a stub does not start with a ZIP signature; the ZIP reader still finds it.
  const std::string stubbed = std::string(100, 'x') + pptx;
  EXPECT_EQ(FromMemory(stubbed).text, "slide1:\r\nOpen XML\r\n");
}

TEST(CApi, ForcedTypesAndTheirFailures) {
  test::ScratchDir dir;
  const std::string ppt = dir.Write("x.ppt", Ppt(u"Binary"));
  const std::string pptx = dir.Write("x.pptx", Pptx("Open XML"));
  EXPECT_EQ(FromFile(ppt, DKSCR_TYPE_PPT).text, "Binary\r\n");
  EXPECT_EQ(FromFile(pptx, DKSCR_TYPE_PPTX).text, "slide1:\r\nOpen XML\r\n");
  EXPECT_EQ(FromFile(ppt, DKSCR_TYPE_PPTX).code, DKSCR_ERROR_FORMAT);
  EXPECT_EQ(FromFile(pptx, DKSCR_TYPE_PPT).code, DKSCR_ERROR_FORMAT);
  EXPECT_EQ(FromMemory(Ppt(u"Binary"), DKSCR_TYPE_PPTX).code, DKSCR_ERROR_FORMAT);
  EXPECT_EQ(FromMemory(Pptx("Open XML"), DKSCR_TYPE_PPT).code, DKSCR_ERROR_FORMAT);
  EXPECT_EQ(FromFile(ppt, -1).code, DKSCR_ERROR_TYPE);
  EXPECT_EQ(FromMemory(Ppt(u"Binary"), 3).code, DKSCR_ERROR_TYPE);
}

TEST(CApi, EachErrorCodeFromFileAndMemory) {
  test::ScratchDir dir;
  const std::string encrypted = test::BuildCfb(
      {{u"Current User", test::CurrentUserAtom(0, test::kTokenEncrypted)}});
  // An end record whose directory lies nowhere and no local header to recover from.
  std::string broken("PK\x05\x06\0\0\0\0\x01\0\x01\0\x2e\0\0\0\x40\0\0\0\0\0", 22);
  broken = std::string(64, 'z') + broken;
  const std::string noSlides = test::ZipWriter().Add("docProps/app.xml", "<x/>").Build();
  struct Case {
    const char* name;
    std::string bytes;
    int32_t code;
  } cases[] = {
      {"encrypted.ppt", encrypted, DKSCR_ERROR_ENCRYPTED},
      {"broken.pptx", broken, DKSCR_ERROR_OPEN},
      {"noslides.pptx", noSlides, DKSCR_ERROR_FORMAT},
      {"empty.ppt", "", DKSCR_ERROR_FORMAT},
      {"text.ppt", "plain text that is no presentation", DKSCR_ERROR_FORMAT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FromFile(dir.Write(c.name, c.bytes)).code, c.code) << c.name;
    EXPECT_EQ(FromMemory(c.bytes).code, c.code) << c.name;
  }
  EXPECT_EQ(FromFile(dir.Path("gone.pptx")).code, DKSCR_ERROR_MISSING);
  EXPECT_EQ(FromFile(dir.Path("")).code, DKSCR_ERROR_MISSING);  // the folder itself
}

TEST(CApi, CodePagesAsAsked) {
  const std::string ppt = Ppt(u"H\u00e9");
  dkscr_options options;
  dkscr_options_init(&options);
  struct Case {
    int32_t codePage;
    std::string bytes;
  } cases[] = {
      {65001, "\xEF\xBB\xBFH\xC3\xA9\r\n"},
      {1200, std::string("\xFF\xFEH\0\xE9\0\r\0\n\0", 10)},
      {1252, "H\xE9\r\n"},
  };
  for (const Case& c : cases) {
    options.code_page = c.codePage;
    unsigned char* text = nullptr;
    size_t size = 0;
    ASSERT_EQ(dkscr_convert_memory(ppt.data(), ppt.size(), &options, &text, &size),
              static_cast<int32_t>(c.bytes.size()));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text), size), c.bytes) << c.codePage;
    dkscr_free(text);
  }
}

// The forms from memory (dkscrcmd's bytes from files and memory are the C test's): JSON
// stays UTF-8 whatever the code page and carries each type's paragraphs; a package without
// slides fails as in text mode.
TEST(CApi, JsonFromMemoryOfBothTypes) {
  dkscr_options options;
  dkscr_options_init(&options);
  options.code_page = 1200;
  options.mode = DKSCR_MODE_JSON;
  const std::pair<std::string, std::string> decks[] = {{Ppt(u"Binary words"), "Binary words"},
                                                       {Pptx("Open words"), "Open words"}};
  for (const auto& [bytes, words] : decks) {
    unsigned char* text = nullptr;
    size_t size = 0;
    const int32_t code = dkscr_convert_memory(bytes.data(), bytes.size(), &options, &text, &size);
    ASSERT_GT(code, 0) << words;
    const auto value = test::JsonParser::Parse(std::string(reinterpret_cast<char*>(text), size));
    dkscr_free(text);
    ASSERT_TRUE(value.has_value()) << words;
    EXPECT_EQ((*value)["slides"][0]["paragraphs"].Strings(), std::vector<std::string>{words});
  }
  unsigned char* text = nullptr;
  const std::string noSlides = test::ZipWriter().Add("docProps/app.xml", "<x/>").Build();
  EXPECT_EQ(dkscr_convert_memory(noSlides.data(), noSlides.size(), &options, &text, nullptr),
            DKSCR_ERROR_FORMAT);
}

#ifndef _WIN32
TEST(ApiHostile, EveryModeEndsWithinTheBoundsOnHostileDecks) {
  // One text run of 250 MiB in 256 KB, and one author of 16 MiB on 100,000 comments: every
  // mode ends with -5 in a child held to 512 MiB and 10 s.
  const std::string run = test::hostile::HugeRunPackage(uint64_t{250} << 20, 1);
  const std::string author = test::hostile::AuthorPackage(uint64_t{16} << 20, 100'000);
  for (const std::string* deck : {&run, &author}) {
    for (const int32_t mode : {DKSCR_MODE_FULL, DKSCR_MODE_MARKDOWN, DKSCR_MODE_JSON}) {
      const auto report = test::ReportOfBoundedChild(
          [&] {
            dkscr_options options;
            dkscr_options_init(&options);
            options.mode = mode;
            unsigned char* text = nullptr;
            size_t size = 0;
            const int32_t code = dkscr_convert_memory(deck->data(), deck->size(), &options, &text, &size);
            dkscr_free(text);
            return std::to_string(code);
          },
          uint64_t{512} << 20, 10);
      EXPECT_EQ(report.value_or("died"), "-5") << (deck == &run ? "run" : "author") << " mode " << mode;
    }
  }
}
#endif

}  // namespace
}  // namespace dkscr
