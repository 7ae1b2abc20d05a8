#pragma once
// Test-side builder of binary presentations, header-only: records as bytes, the
// "PowerPoint Document" stream with its saves, and whole minimal presentations.
//
//   std::string ppt = dkscr::test::MakePresentation({u"Title\rBody"}, {u"Notes of slide 1"});
//   dkscr::test::WriteBytesToFile("/tmp/x.ppt", ppt);
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/CfbWriter.h"

namespace dkscr::test {

// Record types of the binary presentation format.
namespace rt {
inline constexpr uint16_t kDocument = 0x03E8;
inline constexpr uint16_t kDocumentAtom = 0x03E9;
inline constexpr uint16_t kSlide = 0x03EE;
inline constexpr uint16_t kSlideAtom = 0x03EF;
inline constexpr uint16_t kNotes = 0x03F0;
inline constexpr uint16_t kSlidePersistAtom = 0x03F3;
inline constexpr uint16_t kMainMaster = 0x03F8;
inline constexpr uint16_t kPPDrawing = 0x040C;
inline constexpr uint16_t kOutlineTextRefAtom = 0x0F9E;
inline constexpr uint16_t kTextHeaderAtom = 0x0F9F;
inline constexpr uint16_t kTextCharsAtom = 0x0FA0;
inline constexpr uint16_t kTextBytesAtom = 0x0FA8;
inline constexpr uint16_t kSlideListWithText = 0x0FF0;
inline constexpr uint16_t kUserEditAtom = 0x0FF5;
inline constexpr uint16_t kCurrentUserAtom = 0x0FF6;
inline constexpr uint16_t kPersistDirectoryAtom = 0x1772;
inline constexpr uint16_t kDgContainer = 0xF002;
inline constexpr uint16_t kSpgrContainer = 0xF003;
inline constexpr uint16_t kSpContainer = 0xF004;
inline constexpr uint16_t kClientTextbox = 0xF00D;
inline constexpr uint16_t kClientData = 0xF011;
inline constexpr uint16_t kNotesAtom = 0x03F1;
inline constexpr uint16_t kPlaceholderAtom = 0x0BC3;
}  // namespace rt

inline constexpr uint32_t kTokenPlain = 0xE391C05F;
inline constexpr uint32_t kTokenEncrypted = 0xF3D1C4DF;

inline std::string Le16(uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
inline std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}
inline std::string Utf16Le(std::u16string_view text) {
  std::string s;
  for (char16_t c : text) s += Le16(c);
  return s;
}

// A record header: recVer (4 bits), recInstance (12 bits), recType, recLen.
inline std::string RecordHeader(uint16_t ver, uint16_t instance, uint16_t type, uint32_t len) {
  std::string h;
  h += static_cast<char>((ver & 0x0F) | ((instance & 0x0F) << 4));
  h += static_cast<char>((instance >> 4) & 0xFF);
  return h + Le16(type) + Le32(len);
}
inline std::string Atom(uint16_t type, std::string_view data, uint16_t instance = 0, uint16_t ver = 0) {
  return RecordHeader(ver, instance, type, static_cast<uint32_t>(data.size())) + std::string(data);
}
inline std::string Container(uint16_t type, const std::vector<std::string>& children, uint16_t instance = 0) {
  std::string body;
  for (const std::string& c : children) body += c;
  return RecordHeader(0x0F, instance, type, static_cast<uint32_t>(body.size())) + body;
}

inline std::string TextCharsAtom(std::u16string_view text) { return Atom(rt::kTextCharsAtom, Utf16Le(text)); }
inline std::string TextBytesAtom(std::string_view bytes) { return Atom(rt::kTextBytesAtom, bytes); }
inline std::string TextHeaderAtom(uint32_t textType = 0) { return Atom(rt::kTextHeaderAtom, Le32(textType)); }
inline std::string OutlineTextRefAtom(int32_t index) {
  return Atom(rt::kOutlineTextRefAtom, Le32(static_cast<uint32_t>(index)));
}
inline std::string SlidePersistAtom(uint32_t persistId, uint32_t slideId = 256) {
  return Atom(rt::kSlidePersistAtom, Le32(persistId) + Le32(0) + Le32(0) + Le32(slideId) + Le32(0));
}
// Text of one shape: TextBytesAtom when it is all ASCII, else TextCharsAtom.
inline std::string ShapeText(std::u16string_view text) {
  bool ascii = true;
  for (char16_t c : text) ascii = ascii && c < 0x80;
  if (!ascii) return TextCharsAtom(text);
  std::string bytes;
  for (char16_t c : text) bytes += static_cast<char>(c);
  return TextBytesAtom(bytes);
}
// A slide's SlideAtom naming its notes page by slide id; a notes page's NotesAtom naming its
// slide.
inline std::string SlideAtom(uint32_t notesIdRef) { return Atom(rt::kSlideAtom, std::string(16, '\0') + Le32(notesIdRef) + Le32(0)); }
inline std::string NotesAtom(uint32_t slideIdRef) { return Atom(rt::kNotesAtom, Le32(slideIdRef) + Le32(0)); }

// A placeholder shape (placement as in the PlaceholderAtom) holding the given text records.
inline std::string PlaceholderShape(uint8_t placement, const std::vector<std::string>& text) {
  const std::string placeholder =
      Atom(rt::kPlaceholderAtom, Le32(0) + std::string(1, static_cast<char>(placement)) + std::string(3, '\0'));
  return Container(rt::kSpContainer, {Container(rt::kClientData, {placeholder}), Container(rt::kClientTextbox, text)});
}

// A shape inside the drawing of a slide or notes page, holding the given text records.
inline std::string ShapeWithText(const std::vector<std::string>& textRecords) {
  return Container(rt::kSpContainer, {Container(rt::kClientTextbox, textRecords)});
}
inline std::string Drawing(const std::vector<std::string>& shapes) {
  return Container(rt::kPPDrawing, {Container(rt::kDgContainer, {Container(rt::kSpgrContainer, shapes)})});
}
inline std::string SlideContainer(const std::vector<std::string>& shapes, uint16_t type = rt::kSlide) {
  return Container(type, {Atom(type == rt::kNotes ? 0x03F1 : rt::kSlideAtom, std::string(24, '\0')),
                          Drawing(shapes)});
}

inline std::string UserEditAtom(uint32_t offsetLastEdit, uint32_t offsetPersistDirectory,
                                uint32_t docPersistIdRef, uint32_t persistIdSeed = 0) {
  std::string d = Le32(256) + Le16(0) + std::string(1, '\0') + std::string(1, '\3');
  d += Le32(offsetLastEdit) + Le32(offsetPersistDirectory) + Le32(docPersistIdRef) + Le32(persistIdSeed);
  d += Le16(1) + Le16(0);
  return Atom(rt::kUserEditAtom, d);
}
// Persist directory from id -> offset; consecutive ids form one run.
inline std::string PersistDirectoryAtom(const std::map<uint32_t, uint32_t>& offsets) {
  std::string d;
  for (auto it = offsets.begin(); it != offsets.end();) {
    auto end = it;
    uint32_t n = 0;
    while (end != offsets.end() && end->first == it->first + n && n < 4095) ++end, ++n;
    d += Le32(it->first | (n << 20));
    for (; it != end; ++it) d += Le32(it->second);
  }
  return Atom(rt::kPersistDirectoryAtom, d);
}
inline std::string CurrentUserAtom(uint32_t offsetToCurrentEdit, uint32_t token = kTokenPlain) {
  const std::string user = "tester";
  std::string d = Le32(20) + Le32(token) + Le32(offsetToCurrentEdit) + Le16(static_cast<uint16_t>(user.size()));
  d += Le16(0x03F4) + std::string(1, '\3') + std::string(1, '\0') + Le16(0) + user;
  return Atom(rt::kCurrentUserAtom, d);
}

// The "PowerPoint Document" stream, built record by record, with any number of saves.
class PptStreamBuilder {
 public:
  // Appends records; returns the offset where they start.
  uint32_t Append(std::string_view records) {
    const uint32_t at = static_cast<uint32_t>(bytes_.size());
    bytes_ += records;
    return at;
  }
  // Appends a persist directory and a user edit chained to the previous save.
  uint32_t AppendSave(const std::map<uint32_t, uint32_t>& offsets, uint32_t docPersistId) {
    const uint32_t dir = Append(PersistDirectoryAtom(offsets));
    lastEdit_ = Append(UserEditAtom(lastEdit_, dir, docPersistId));
    return lastEdit_;
  }
  uint32_t LastEdit() const { return lastEdit_; }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  uint32_t lastEdit_ = 0;
};

// The two streams of a presentation file, ready for BuildCfb.
inline std::vector<CfbStream> PresentationStreams(const PptStreamBuilder& doc, uint32_t token = kTokenPlain) {
  return {{u"Current User", CurrentUserAtom(doc.LastEdit(), token)}, {u"PowerPoint Document", doc.Bytes()}};
}

// The document stream of a minimal presentation: one master (with text that must not come
// out), one slide per entry of slideTexts whose text sits in the slide list and is reached
// through an OutlineTextRefAtom, and a notes page for every non-empty entry of notesTexts
// (notesTexts[i] belongs to slide i) holding its text directly. Persist ids: document 1,
// master 2, slides from 3, notes after the slides.
inline PptStreamBuilder MakePresentationStream(const std::vector<std::u16string>& slideTexts,
                                               const std::vector<std::u16string>& notesTexts = {}) {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  const uint32_t master = 2;
  offsets[master] = doc.Append(SlideContainer({ShapeWithText({ShapeText(u"Master text")})}, rt::kMainMaster));
  std::vector<std::string> slideList, notesList;
  uint32_t id = 3;
  for (const std::u16string& text : slideTexts) {
    offsets[id] = doc.Append(SlideContainer({ShapeWithText({OutlineTextRefAtom(0)})}));
    slideList.push_back(SlidePersistAtom(id));
    slideList.push_back(TextHeaderAtom(0));
    slideList.push_back(ShapeText(text));
    ++id;
  }
  for (const std::u16string& text : notesTexts) {
    if (text.empty()) continue;
    offsets[id] = doc.Append(SlideContainer({ShapeWithText({TextHeaderAtom(2), ShapeText(text)})}, rt::kNotes));
    notesList.push_back(SlidePersistAtom(id));
    ++id;
  }
  std::vector<std::string> docChildren = {Atom(rt::kDocumentAtom, std::string(40, '\0')),
                                          Container(rt::kSlideListWithText, {SlidePersistAtom(master)}, 1)};
  if (!slideList.empty()) docChildren.push_back(Container(rt::kSlideListWithText, slideList, 0));
  if (!notesList.empty()) docChildren.push_back(Container(rt::kSlideListWithText, notesList, 2));
  offsets[1] = doc.Append(Container(rt::kDocument, docChildren));
  doc.AppendSave(offsets, 1);
  return doc;
}

// A whole .ppt file (version 3 compound document) of MakePresentationStream.
inline std::string MakePresentation(const std::vector<std::u16string>& slideTexts,
                                    const std::vector<std::u16string>& notesTexts = {}) {
  return BuildCfb(PresentationStreams(MakePresentationStream(slideTexts, notesTexts)));
}

}  // namespace dkscr::test
