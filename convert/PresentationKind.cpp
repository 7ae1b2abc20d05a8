#include "convert/PresentationKind.h"

#include <array>
#include <cstring>

#include "platform/NativePath.h"

namespace dkscr {
namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != b[i]) return false;
  }
  return true;
}

constexpr std::array<std::string_view, 3> kBinary{"ppt", "pps", "pot"};
constexpr std::array<std::string_view, 6> kOpenXml{"pptx", "pptm", "ppsx", "ppsm", "potx", "potm"};

}  // namespace

std::span<const std::string_view> ExtensionsOfKind(PresentationKind kind) {
  switch (kind) {
    case PresentationKind::kPpt: return kBinary;
    case PresentationKind::kPptx: return kOpenXml;
    case PresentationKind::kUnknown: break;
  }
  return {};
}

PresentationKind KindOfExtension(std::string_view extension) {
  for (const std::string_view e : kBinary) {
    if (EqualsIgnoringAsciiCase(extension, e)) return PresentationKind::kPpt;
  }
  for (const std::string_view e : kOpenXml) {
    if (EqualsIgnoringAsciiCase(extension, e)) return PresentationKind::kPptx;
  }
  return PresentationKind::kUnknown;
}

std::string_view ExtensionOfPath(std::string_view path) {
  const size_t slash = path.find_last_of(kPathSeparators);
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

PresentationKind KindOfContent(const void* head, size_t size) {
  static constexpr unsigned char kCompound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  const auto* p = static_cast<const unsigned char*>(head);
  if (size >= sizeof kCompound && std::memcmp(p, kCompound, sizeof kCompound) == 0) {
    return PresentationKind::kPpt;
  }
  // A package starts with a local header; an empty archive is only its end record.
  if (size >= 4 && p[0] == 'P' && p[1] == 'K' &&
      ((p[2] == 3 && p[3] == 4) || (p[2] == 5 && p[3] == 6))) {
    return PresentationKind::kPptx;
  }
  return PresentationKind::kUnknown;
}

}  // namespace dkscr
