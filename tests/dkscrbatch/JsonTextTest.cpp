// JSON Lines records: text only on success, recoverable bytes of odd paths.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "batch/JsonText.h"
#include "batch/SourceDigest.h"

namespace dkscr {
namespace {

TEST(JsonTextTest, RecordsCarryTextOnlyOnSuccessAndRawBytesOfOddPaths) {
  EXPECT_EQ(JsonRecord("d/a.ppt", 8, "OK", "\xEF\xBB\xBFhi\r\n\"x\""),
            R"({"path":"d/a.ppt","code":8,"message":"OK","text":"hi\n\"x\""})" "\n");
  EXPECT_EQ(JsonRecord("a.ppt", -5, "Input file \"a.ppt\" format not correct", "ignored"),
            R"({"path":"a.ppt","code":-5,"message":"Input file \"a.ppt\" format not correct"})"
            "\n");
  EXPECT_EQ(JsonRecord("\xFF/\n.ppt", 0, "OK", ""),
            "{\"path\":\"\xEF\xBF\xBD/\\n.ppt\",\"path_bytes\":\"ff2f0a2e707074\","
            "\"code\":0,\"message\":\"OK\",\"text\":\"\"}\n");
}

TEST(JsonTextTest, RecordsCarryTheSourcesDigestOrNull) {
  const std::optional<std::string> digest = std::string(64, 'a');
  EXPECT_EQ(JsonRecord("a.ppt", 2, "OK", "hi", &digest),
            R"({"path":"a.ppt","code":2,"message":"OK","sha256":")" + *digest + R"(","text":"hi"})" "\n");
  const std::optional<std::string> none;
  EXPECT_EQ(JsonRecord("a.ppt", -2, "missing", "", &none), R"({"path":"a.ppt","code":-2,"message":"missing","sha256":null})" "\n");
}

// The JSON form's members spliced after the head, its whole length as the code; anything
// that is not the form is refused rather than spliced into a broken line.
TEST(JsonTextTest, SlidesRecordsSpliceTheFormsMembers) {
  const std::optional<std::string> none;
  EXPECT_EQ(JsonSlidesRecord("a.ppt", "OK", "{\"schema\":\"s\",\"slides\":[]}\n", &none),
            R"({"path":"a.ppt","code":27,"message":"OK","sha256":null,"schema":"s","slides":[]})" "\n");
  EXPECT_EQ(JsonSlidesRecord("a.ppt", "OK", "{}\n"), R"({"path":"a.ppt","code":3,"message":"OK"})" "\n");
  for (const char* form : {"", "{}", "[]\n", "{\"a\":1}", "\xEF\xBB\xBF{}\n"}) {
    EXPECT_THROW(JsonSlidesRecord("a.ppt", "OK", form), std::invalid_argument) << form;
  }
}

// FIPS 180-4's examples, a message that fills a block exactly, and one fed in uneven pieces.
TEST(SourceDigestTest, KnownDigests) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  const std::string million(1000000, 'a');
  EXPECT_EQ(Sha256Hex(million), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  Sha256 pieces;
  for (size_t at = 0, step = 1; at < million.size(); at += step, step = step * 3 % 1000 + 1) {
    pieces.Update(million.data() + at, std::min(step, million.size() - at));
  }
  const std::array<uint8_t, 32> digest = pieces.Finish();
  EXPECT_EQ(digest[0], 0xcd);
  EXPECT_EQ(digest[31], 0xd0);
  EXPECT_FALSE(FileSha256Hex("/nonexistent/deck.pptx").has_value());
}

}  // namespace
}  // namespace dkscr
