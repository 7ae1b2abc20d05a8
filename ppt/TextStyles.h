#pragma once
// The paragraph runs of a text's style atom: each run's indent level and, where the run sets
// them itself, whether its paragraphs have a bullet and which character it is. What a run
// leaves to the masters stays unknown.
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace dkscr {

struct ParagraphStyle {
  uint16_t level = 0;
  bool bulletKnown = false;  // the run says whether there is a bullet
  bool hasBullet = false;
  char16_t bulletChar = 0;   // 0: the run names no character
  int extension = -1;        // its first character's index into the text's numbering entries
};

// An entry of a text's additional paragraph formatting: whether the paragraph is numbered and
// how. What the entry does not say is left to the masters.
struct AutoNumber {
  bool numbered = false;      // numbered, where known, in the scheme named (or a master's)
  uint16_t scheme = 0;
  uint16_t startAt = 1;
  bool numberedKnown = false;  // the entry says whether it is numbered
  bool schemeKnown = false;    // the entry names the scheme and its start
  // Numbered in a scheme this entry names or takes.
  bool Counts() const { return numbered && schemeKnown; }
};

// The style of each paragraph of `text` (paragraphs end at CR; the last one at the text's
// end), from the data of its style atom. Paragraphs past the runs the data holds keep the
// default style.
// The character runs after the paragraph runs give each paragraph the index of its numbering
// entry where its first character's run names one.
std::vector<ParagraphStyle> ParagraphStylesOf(const uint8_t* data, size_t size, std::u16string_view text);

// The numbering entries of the data of a text's additional style atom.
std::vector<AutoNumber> AutoNumbersOf(const uint8_t* data, size_t size);

// The label of number n in a numbering scheme ("3.", "c)", "(iv)"); "" for a scheme this
// reader does not know.
std::string AutoNumberText(uint16_t scheme, int n);

// What a master's text styles say of bullets, by text type (0 title ... 8 quarter body) and
// indent level (0-4); a level knows only what the master sets.
struct MasterTextStyles {
  static constexpr size_t kTypes = 9;
  static constexpr size_t kLevels = 5;
  std::array<std::array<ParagraphStyle, kLevels>, kTypes> levels{};
  std::array<std::array<AutoNumber, kLevels>, kTypes> numbers{};  // from the additional styles
};

// Reads the data of a master's text style atom for `textType` (its record instance) into
// `styles`. Types from 5 on name each level they hold; the others hold levels from the first.
void ReadMasterTextStyle(const uint8_t* data, size_t size, uint16_t textType, MasterTextStyles& styles);

// Reads the data of a master's additional text style atom for `textType` into the numbering
// of `styles`, as ReadMasterTextStyle reads the levels.
void ReadMasterNumbering(const uint8_t* data, size_t size, uint16_t textType, MasterTextStyles& styles);

// The additional text styles among the records of a master's tag data (the data of its
// ___PPT9 binary tag), into the numbering of `styles`.
void ReadMasterTagData(const uint8_t* data, size_t size, MasterTextStyles& styles);

// Fills in what a paragraph's numbering entry leaves to the masters, as InheritFromMasters
// does for its bullet; `level` is the paragraph's indent level.
void InheritNumberFromMasters(AutoNumber& number, uint32_t textType, uint16_t level,
                              std::initializer_list<const MasterTextStyles*> masters);

// Fills in what a paragraph's own style leaves to the masters, each field from the first
// master (nearest first; any may be none) that sets it at the paragraph's level, for its text
// type and then for the type it derives from (the centred, half and quarter bodies from the
// body, the centred title from the title).
void InheritFromMasters(ParagraphStyle& style, uint32_t textType,
                        std::initializer_list<const MasterTextStyles*> masters);

// The bullet a paragraph shows, as UTF-8: its own character, "•" where it has a bullet of no
// character of its own, "" for none or unknown.
std::string_view BulletOf(const ParagraphStyle& style, std::string& scratch);

}  // namespace dkscr
