#include "app/session/FileTypes.h"

#include "convert/PresentationKind.h"

namespace dkscr {
namespace {

PresentationKind KindOfType(int typeNumber) {
  return typeNumber == kFileTypePpt ? PresentationKind::kPpt : PresentationKind::kPptx;
}

}  // namespace

std::u16string FamilyMasks(int typeNumber) {
  std::u16string masks;
  for (std::string_view extension : ExtensionsOfKind(KindOfType(typeNumber))) {
    if (!masks.empty()) masks += u';';
    masks += u"*.";
    masks.append(extension.begin(), extension.end());
  }
  return masks;
}

int FamilyTypeOfExtension(std::u16string_view extension) {
  if (extension.size() < 2 || extension.front() != u'.') return 0;
  std::string ascii;
  for (char16_t c : extension.substr(1)) {
    if (c > 0x7F) return 0;
    ascii.push_back(static_cast<char>(c));
  }
  switch (KindOfExtension(ascii)) {
    case PresentationKind::kPpt: return kFileTypePpt;
    case PresentationKind::kPptx: return kFileTypePptx;
    case PresentationKind::kUnknown: break;
  }
  return 0;
}

std::u16string LowerAscii(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return out;
}

}  // namespace dkscr
