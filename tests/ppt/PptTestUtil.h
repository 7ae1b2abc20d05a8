#pragma once
// Converting test-built presentations and reading the result back as UTF-8.
#include <string>
#include <vector>

#include "tests/support/Conversions.h"
#include "tests/support/PptBuilder.h"

namespace dkscr::test {

struct Converted {
  ResultCode code = 0;
  std::string text;  // UTF-8 without the byte-order mark
};

inline Converted ConvertImage(const std::string& image) {
  OutputBuffer out;
  Converted c;
  c.code = test::ConvertPptBytes(image, out, 65001);
  if (c.code >= 3) c.text.assign(reinterpret_cast<const char*>(out.Data()) + 3, static_cast<size_t>(c.code) - 3);
  return c;
}

inline Converted ConvertDoc(const PptStreamBuilder& doc, uint32_t token = kTokenPlain) {
  return ConvertImage(BuildCfb(PresentationStreams(doc, token)));
}

// A document stream whose current edit the test placed itself.
inline std::string ConvertStream(const std::string& stream, uint32_t currentEdit) {
  return ConvertImage(BuildCfb({{u"Current User", CurrentUserAtom(currentEdit)}, {u"PowerPoint Document", stream}})).text;
}

// A document record with the given slide list and notes list (masters list holds id 2).
inline std::string DocumentRecord(const std::vector<std::string>& slideList,
                                  const std::vector<std::string>& notesList = {}) {
  std::vector<std::string> children = {Atom(rt::kDocumentAtom, std::string(40, '\0')),
                                       Container(rt::kSlideListWithText, {SlidePersistAtom(2)}, 1),
                                       Container(rt::kSlideListWithText, slideList, 0)};
  if (!notesList.empty()) children.push_back(Container(rt::kSlideListWithText, notesList, 2));
  return Container(rt::kDocument, children);
}

// A slide holding one text box with the given text records.
inline std::string SlideWith(const std::vector<std::string>& textRecords) {
  return SlideContainer({ShapeWithText(textRecords)});
}

}  // namespace dkscr::test
