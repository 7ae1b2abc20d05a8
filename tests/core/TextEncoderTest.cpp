// The piecewise encoder: however a text is cut into pieces, the bytes are those of the whole
// text rewritten and encoded in one go.
#include <gtest/gtest.h>

#include <string>

#include "platform/Utf.h"
#include "text/CodePage.h"
#include "text/Encode.h"
#include "text/TextEncoder.h"

namespace dkscr {
namespace {

constexpr int32_t kCodePages[] = {65001, 1200, 1252, 932, 50220, 20127, 0};

std::string Bytes(const OutputBuffer& out, ResultCode length) {
  return length < 0 ? "<" + std::to_string(length) + ">"
                    : std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(length));
}

// The encodings as whole-text steps: line breaks first, then the code page.
std::string EncodedWhole(std::u16string_view crlf, int32_t codePage) {
  if (codePage == kCodePageUtf8) return "\xEF\xBB\xBF" + WideToUtf8(crlf);
  if (codePage == kCodePageUtf16Le) {
    std::string bytes = "\xFF\xFE";
    for (char16_t u : crlf) bytes += std::string{static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    return bytes;
  }
  return WideToCodePage(codePage, crlf);
}

std::string WideReference(std::u16string_view text, int32_t codePage) {
  return EncodedWhole(ConvertLineBreaksWide(text, kLineBreakCrLf), codePage);
}

std::string Utf8Reference(std::string_view text, int style, int32_t codePage) {
  const std::string rewritten = ConvertLineBreaks(text, style);
  if (codePage == kCodePageUtf8) return "\xEF\xBB\xBF" + rewritten;
  return EncodedWhole(Utf8ToWide(rewritten), codePage);
}

template <typename Text>
std::string InPieces(TextEncoder::Input input, int style, int32_t codePage, const Text& text,
                     const std::vector<size_t>& cuts) {
  TextEncoder encoder(input, style, codePage);
  size_t at = 0;
  for (size_t cut : cuts) {
    encoder.Append(Text(text.substr(at, cut - at)));
    at = cut;
  }
  encoder.Append(Text(text.substr(at)));
  OutputBuffer out;
  return Bytes(out, encoder.Finish(out));
}

// A CR ending one piece and a LF starting the next, a surrogate pair or a UTF-8 sequence cut
// in two, a shift sequence of ISO-2022-JP: every cut of these short texts.
TEST(TextEncoder, EveryCutOfAShortTextGivesTheWholeTextsBytes) {
  const std::u16string wide = u"a\r\n\u65e5\U0001F600\r\r\n\u2028\n\xD800x\u00e9\u0416\u30a2\r";
  const std::string utf8 = "a\r\n\xE2\x82\xAC\xF0\x9F\x98\x80\xF0\x9F\x98\r\n\xFFz\xE6\x97\xA5\xED\xA0\x80\r";
  for (const int32_t cp : kCodePages) {
    const std::string wideWhole = WideReference(wide, cp);
    for (size_t i = 0; i <= wide.size(); ++i) {
      for (size_t j = i; j <= wide.size(); j += 3) {
        ASSERT_EQ(InPieces(TextEncoder::Input::kWide, kLineBreakCrLf, cp, std::u16string_view(wide), {i, j}), wideWhole)
            << "code page " << cp << " cut at " << i << ", " << j;
      }
    }
    for (const int style : {kLineBreakCrLf, kLineBreakLf, kLineBreakCr}) {
      const std::string utf8Whole = Utf8Reference(utf8, style, cp);
      for (size_t i = 0; i <= utf8.size(); ++i) {
        for (size_t j = i; j <= utf8.size(); j += 2) {
          ASSERT_EQ(InPieces(TextEncoder::Input::kUtf8, style, cp, std::string_view(utf8), {i, j}), utf8Whole)
              << "code page " << cp << " style " << style << " cut at " << i << ", " << j;
        }
      }
    }
  }
}

// Texts longer than the encoder's own blocks, with a pair, a CR LF and a UTF-8 sequence
// across every block boundary, in one piece and in pieces of uneven sizes.
TEST(TextEncoder, LongTextsAcrossInternalBlocks) {
  std::u16string wide(70000, u'w');
  std::string utf8(70000, 'u');
  for (size_t i = 50; i < wide.size(); i += 100) {
    wide[i] = i % 300 == 50 ? u'\n' : u'\u00e9';
    utf8[i] = i % 300 == 50 ? '\r' : 'v';
  }
  wide.replace(16383, 2, u"\U0001F600");  // a pair across the first boundary
  wide.replace(32767, 2, u"\r\n");
  wide.replace(49151, 2, u"\U0001F601");
  utf8.replace(16382, 3, "\xE6\x97\xA5");  // a sequence across the first boundary
  utf8.replace(32767, 2, "\r\n");
  utf8.replace(49150, 4, "\xF0\x9F\x98\x80");
  for (const int32_t cp : kCodePages) {
    const std::string wideWhole = WideReference(wide, cp);
    EXPECT_EQ(InPieces(TextEncoder::Input::kWide, kLineBreakCrLf, cp, std::u16string_view(wide), {}), wideWhole) << cp;
    EXPECT_EQ(InPieces(TextEncoder::Input::kWide, kLineBreakCrLf, cp, std::u16string_view(wide), {1, 16385, 16386, 40001}), wideWhole) << cp;
    const std::string utf8Whole = Utf8Reference(utf8, kLineBreakCrLf, cp);
    EXPECT_EQ(InPieces(TextEncoder::Input::kUtf8, kLineBreakCrLf, cp, std::string_view(utf8), {}), utf8Whole) << cp;
    EXPECT_EQ(InPieces(TextEncoder::Input::kUtf8, kLineBreakCrLf, cp, std::string_view(utf8), {16383, 16385, 50000}), utf8Whole) << cp;
  }
}

TEST(TextEncoder, FinishReplacesTheCallersBlockOnlyOnSuccess) {
  OutputBuffer out;
  ASSERT_EQ(EncodeWideText(u"old", 1252, out), 3);
  TextEncoder encoder(TextEncoder::Input::kWide, kLineBreakCrLf, 65001);
  encoder.Append(std::u16string_view(u"new\n"));
  ASSERT_EQ(encoder.Finish(out), 8);
  EXPECT_EQ(out.BlockSize(), 9u);
  EXPECT_EQ(Bytes(out, 8), "\xEF\xBB\xBFnew\r\n");
}

}  // namespace
}  // namespace dkscr
