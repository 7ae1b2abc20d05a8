#include "ppt/TextStyles.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "model/ListNumbering.h"
#include "platform/LittleEndian.h"
#include "platform/Utf.h"

namespace dkscr {
namespace {

// Which optional fields a paragraph exception holds.
enum : uint32_t {
  kHasBullet = 1u << 0,
  kBulletHasFont = 1u << 1,
  kBulletHasColor = 1u << 2,
  kBulletHasSize = 1u << 3,
  kBulletFont = 1u << 4,
  kBulletColor = 1u << 5,
  kBulletSize = 1u << 6,
  kBulletChar = 1u << 7,
  kLeftMargin = 1u << 8,
  kIndent = 1u << 10,
  kAlign = 1u << 11,
  kLineSpacing = 1u << 12,
  kSpaceBefore = 1u << 13,
  kSpaceAfter = 1u << 14,
  kDefaultTabSize = 1u << 15,
  kFontAlign = 1u << 16,
  kCharWrap = 1u << 17,
  kWordWrap = 1u << 18,
  kOverflow = 1u << 19,
  kTabStops = 1u << 20,
  kTextDirection = 1u << 21,
  kBulletBlip = 1u << 23,
  kBulletScheme = 1u << 24,
  kBulletHasScheme = 1u << 25,
};

// Which optional fields a character exception holds.
enum : uint32_t {
  kFontStyleFields = 0x3EB7,  // bold ... emboss, and the style's extension index
  kHasExtension = 0x3C00,
  kTypeface = 1u << 16,
  kSize = 1u << 17,
  kColor = 1u << 18,
  kPosition = 1u << 19,
  kPp10 = 1u << 20,
  kOldEastAsianTypeface = 1u << 21,
  kAnsiTypeface = 1u << 22,
  kSymbolTypeface = 1u << 23,
};
// Which optional fields a text property exception holds.
constexpr uint32_t kSiPp10 = 1u << 5;
constexpr uint32_t kSiBidi = 1u << 6;

class Cursor {
 public:
  Cursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Has(size_t n) const { return size_ - at_ >= n; }
  uint16_t U16() { return Has(2) ? LoadLe16(Take(2)) : (Overrun(), 0); }
  uint32_t U32() { return Has(4) ? LoadLe32(Take(4)) : (Overrun(), 0); }
  void Skip(size_t n) { Has(n) ? void(at_ += n) : Overrun(); }
  // Whether a read went past the end.
  bool Overran() const { return overran_; }

 private:
  const uint8_t* Take(size_t n) {
    const uint8_t* p = data_ + at_;
    at_ += n;
    return p;
  }
  void Overrun() {
    at_ = size_;
    overran_ = true;
  }
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  bool overran_ = false;
};

// One paragraph exception; what the data does not hold reads as zeros.
void ReadException(Cursor& in, ParagraphStyle& style) {
  const uint32_t masks = in.U32();
  if (masks & (kHasBullet | kBulletHasFont | kBulletHasColor | kBulletHasSize)) {
    const uint16_t flags = in.U16();
    if (masks & kHasBullet) {
      style.bulletKnown = true;
      style.hasBullet = (flags & 1) != 0;
    }
  }
  if (masks & kBulletChar) style.bulletChar = static_cast<char16_t>(in.U16());
  if (masks & kBulletFont) in.Skip(2);
  if (masks & kBulletSize) in.Skip(2);
  if (masks & kBulletColor) in.Skip(4);
  for (const uint32_t twoBytes : {kAlign, kLineSpacing, kSpaceBefore, kSpaceAfter, kLeftMargin, kIndent, kDefaultTabSize}) {
    if (masks & twoBytes) in.Skip(2);
  }
  if (masks & kTabStops) in.Skip(4u * in.U16());
  if (masks & kFontAlign) in.Skip(2);
  if (masks & (kCharWrap | kWordWrap | kOverflow)) in.Skip(2);
  if (masks & kTextDirection) in.Skip(2);
}

// Moves past a character exception.
void SkipCharacterException(Cursor& in) {
  const uint32_t masks = in.U32();
  if (masks & kFontStyleFields) in.Skip(2);
  for (const uint32_t twoBytes : {kTypeface, kOldEastAsianTypeface, kAnsiTypeface, kSymbolTypeface, kSize}) {
    if (masks & twoBytes) in.Skip(2);
  }
  if (masks & kColor) in.Skip(4);
  if (masks & kPosition) in.Skip(2);
}

// The numbering of an additional paragraph exception.
AutoNumber ReadNumberException(Cursor& in) {
  AutoNumber number;
  const uint32_t masks = in.U32();
  if (masks & kBulletBlip) in.Skip(2);
  if (masks & kBulletHasScheme) {
    number.numbered = in.U16() != 0;
    number.numberedKnown = true;
  }
  if (masks & kBulletScheme) {
    number.scheme = in.U16();
    number.startAt = in.U16();
    number.schemeKnown = true;
  }
  return number;
}

// Text types of a master's styles, and what the derived ones take from.
constexpr uint32_t kTypeTitle = 0, kTypeBody = 1, kTypeCenterBody = 5, kTypeCenterTitle = 6, kTypeHalfBody = 7,
                   kTypeQuarterBody = 8;

uint32_t BaseTextType(uint32_t type) {
  if (type == kTypeCenterBody || type == kTypeHalfBody || type == kTypeQuarterBody) return kTypeBody;
  if (type == kTypeCenterTitle) return kTypeTitle;
  return type;
}

}  // namespace

namespace {

// The levels of a master's style list for a text type: a count, then each level (named by
// its number in the types from the centred body on) read by `read`, which returns false when
// the level was cut short; a level cut short says nothing, and ends the list.
template <typename ReadLevel>
void ForEachMasterLevel(const uint8_t* data, size_t size, uint16_t textType, ReadLevel read) {
  if (textType >= MasterTextStyles::kTypes) return;
  Cursor in(data, size);
  const uint16_t count = in.U16();
  const bool named = textType >= kTypeCenterBody;
  for (uint16_t i = 0; i < count && i < MasterTextStyles::kLevels && in.Has(4); ++i) {
    const uint16_t level = named ? in.U16() : i;
    if (!read(in, level)) break;
  }
}

}  // namespace

void ReadMasterTextStyle(const uint8_t* data, size_t size, uint16_t textType, MasterTextStyles& styles) {
  ForEachMasterLevel(data, size, textType, [&](Cursor& in, uint16_t level) {
    ParagraphStyle style;
    ReadException(in, style);
    SkipCharacterException(in);
    if (in.Overran()) return false;
    if (level < MasterTextStyles::kLevels) {
      style.level = level;
      styles.levels[textType][level] = style;
    }
    return true;
  });
}

void ReadMasterNumbering(const uint8_t* data, size_t size, uint16_t textType, MasterTextStyles& styles) {
  ForEachMasterLevel(data, size, textType, [&](Cursor& in, uint16_t level) {
    const AutoNumber number = ReadNumberException(in);
    if (in.U32() & kPp10) in.Skip(4);  // the character exception
    if (in.Overran()) return false;
    if (level < MasterTextStyles::kLevels) styles.numbers[textType][level] = number;
    return true;
  });
}

void ReadMasterTagData(const uint8_t* data, size_t size, MasterTextStyles& styles) {
  constexpr uint16_t kTextMasterStyle9Atom = 0x0FAD;
  for (size_t at = 0; size - at >= 8;) {
    const uint16_t type = LoadLe16(data + at + 2);
    const auto instance = static_cast<uint16_t>(LoadLe16(data + at) >> 4);
    const size_t length = std::min<size_t>(LoadLe32(data + at + 4), size - at - 8);
    if (type == kTextMasterStyle9Atom && (data[at] & 0x0F) != 0x0F) {
      ReadMasterNumbering(data + at + 8, length, instance, styles);
    }
    at += 8 + length;
  }
}

void InheritNumberFromMasters(AutoNumber& number, uint32_t textType, uint16_t level,
                              std::initializer_list<const MasterTextStyles*> masters) {
  if (textType >= MasterTextStyles::kTypes) return;
  const size_t at = std::min<size_t>(level, MasterTextStyles::kLevels - 1);
  for (const uint32_t type : {textType, BaseTextType(textType)}) {
    for (const MasterTextStyles* master : masters) {
      if (master == nullptr) continue;
      const AutoNumber& given = master->numbers[type][at];
      if (!number.numberedKnown && given.numberedKnown) {
        number.numbered = given.numbered;
        number.numberedKnown = true;
      }
      if (!number.schemeKnown && given.schemeKnown) {
        number.scheme = given.scheme;
        number.startAt = given.startAt;
        number.schemeKnown = true;
      }
    }
  }
}

void InheritFromMasters(ParagraphStyle& style, uint32_t textType, std::initializer_list<const MasterTextStyles*> masters) {
  if (textType >= MasterTextStyles::kTypes) return;
  const size_t level = std::min<size_t>(style.level, MasterTextStyles::kLevels - 1);
  for (const uint32_t type : {textType, BaseTextType(textType)}) {
    for (const MasterTextStyles* master : masters) {
      if (master == nullptr) continue;
      const ParagraphStyle& given = master->levels[type][level];
      if (!style.bulletKnown && given.bulletKnown) {
        style.bulletKnown = true;
        style.hasBullet = given.hasBullet;
      }
      if (style.bulletChar == 0) style.bulletChar = given.bulletChar;
    }
  }
}

std::vector<ParagraphStyle> ParagraphStylesOf(const uint8_t* data, size_t size, std::u16string_view text) {
  std::vector<size_t> starts{0};  // where each paragraph starts
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') starts.push_back(i + 1);
  }
  std::vector<ParagraphStyle> styles(starts.size());
  Cursor in(data, size);
  size_t paragraph = 0;
  uint64_t at = 0;  // the character the next run starts at
  // The runs cover the text and the mark after it.
  while ((paragraph < starts.size() || at <= text.size()) && in.Has(10)) {
    const uint32_t count = in.U32();
    ParagraphStyle style;
    style.level = in.U16();
    ReadException(in, style);
    if (count == 0) break;  // a run of nothing cannot move on
    // A run gives its style to every paragraph that starts within it.
    at += count;
    while (paragraph < starts.size() && starts[paragraph] < at) styles[paragraph++] = style;
  }
  if (at <= text.size()) return styles;  // the paragraph runs end early: no character runs
  // The character runs: the extension index of each paragraph's first character.
  paragraph = 0;
  at = 0;
  while (paragraph < starts.size() && in.Has(8)) {
    const uint32_t count = in.U32();
    const uint32_t masks = in.U32();
    int extension = -1;
    if (masks & kFontStyleFields) {
      const uint16_t fontStyle = in.U16();
      if (masks & kHasExtension) extension = (fontStyle >> 10) & 0x0F;
    }
    for (const uint32_t twoBytes : {kTypeface, kOldEastAsianTypeface, kAnsiTypeface, kSymbolTypeface, kSize}) {
      if (masks & twoBytes) in.Skip(2);
    }
    if (masks & kColor) in.Skip(4);
    if (masks & kPosition) in.Skip(2);
    if (count == 0) break;
    at += count;
    while (paragraph < starts.size() && starts[paragraph] < at) styles[paragraph++].extension = extension;
  }
  return styles;
}

std::vector<AutoNumber> AutoNumbersOf(const uint8_t* data, size_t size) {
  std::vector<AutoNumber> numbers;
  Cursor in(data, size);
  while (in.Has(12)) {
    AutoNumber number = ReadNumberException(in);
    const uint32_t characterMasks = in.U32();
    if (characterMasks & kPp10) in.Skip(4);
    const uint32_t textMasks = in.U32();
    if (textMasks & kSiBidi) in.Skip(2);
    if (textMasks & kSiPp10) in.Skip(4);
    numbers.push_back(number);
  }
  return numbers;
}

std::string AutoNumberText(uint16_t scheme, int n) {
  // The binary format's schemes by number, named as DrawingML names them.
  static constexpr std::string_view kSchemes[] = {
      "alphaLcPeriod",    "alphaUcPeriod",  "arabicParenR",     "arabicPeriod",
      "romanLcParenBoth", "romanLcParenR",  "romanLcPeriod",    "romanUcPeriod",
      "alphaLcParenBoth", "alphaLcParenR",  "alphaUcParenBoth", "alphaUcParenR",
      "arabicParenBoth",  "arabicPlain",    "romanUcParenBoth", "romanUcParenR"};
  if (scheme >= std::size(kSchemes)) return {};
  return AutoNumberLabel(kSchemes[scheme], n);
}

std::string_view BulletOf(const ParagraphStyle& style, std::string& scratch) {
  if (!style.bulletKnown || !style.hasBullet) return {};
  if (style.bulletChar == 0) return "\xE2\x80\xA2";
  scratch = WideToUtf8(std::u16string(1, style.bulletChar));
  return scratch;
}

}  // namespace dkscr
