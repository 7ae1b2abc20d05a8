#pragma once
// Path pieces the file list works with. "/" is the only separator on this platform.
#include <string>
#include <string_view>

#include "app/session/AppState.h"

namespace dkscr {

// The part after the last "/" (the whole path when there is none).
std::u16string_view FileNamePart(std::u16string_view path);
// The part up to and including the last "/" (empty when there is none).
std::u16string_view FolderPart(std::u16string_view path);
// From the last "." of the file-name part on, dot included; empty when it has no ".".
std::u16string_view ExtensionOf(std::u16string_view path);

// The extension of the files a text form writes, with its dot.
std::u16string_view TargetExtension(int32_t textForm);

// The text file a source converts into: the source with its extension replaced by ".txt"
// (".md" for Markdown, ".json" for JSON; appended when it has none), beside the source when samedir is set, otherwise the
// file-name part directly after targetdir (which ends with "/").
std::u16string TargetFileName(std::u16string_view source, const Settings& settings);

}  // namespace dkscr
