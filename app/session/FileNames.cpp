#include "app/session/FileNames.h"

namespace dkscr {

std::u16string_view FileNamePart(std::u16string_view path) {
  const size_t slash = path.rfind(u'/');
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string_view FolderPart(std::u16string_view path) {
  const size_t slash = path.rfind(u'/');
  return slash == std::u16string_view::npos ? std::u16string_view() : path.substr(0, slash + 1);
}

std::u16string_view ExtensionOf(std::u16string_view path) {
  const std::u16string_view name = FileNamePart(path);
  const size_t dot = name.rfind(u'.');
  return dot == std::u16string_view::npos ? std::u16string_view() : name.substr(dot);
}

std::u16string_view TargetExtension(int32_t textForm) {
  switch (textForm) {
    case kTextFormMarkdown: return u".md";
    case kTextFormJson: return u".json";
    default: return u".txt";
  }
}

std::u16string TargetFileName(std::u16string_view source, const Settings& settings) {
  std::u16string renamed(source.substr(0, source.size() - ExtensionOf(source).size()));
  renamed += TargetExtension(settings.textForm);
  if (settings.targetBesideSource) return renamed;
  return settings.targetDir + std::u16string(FileNamePart(renamed));
}

}  // namespace dkscr
