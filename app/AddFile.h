#pragma once
// Adding one source file to the file list, without the window: the duplicate test, the type
// lookup and the new entry's column texts. The window shows the texts and writes the log.
#include <cstdint>
#include <string>

#include "app/FileList.h"
#include "app/Global.h"

namespace dkscr {

enum class TAddFileOutcome { Added, AlreadyAdded, TypeNotSupported };

// Size in bytes of the file at `path` (links followed); 0 when it cannot be found.
uint64_t FileSizeOf(const std::u16string& path);

// Appends an entry in state 0 for `path` unless the list already holds it (compared ignoring
// case) or its extension is not in SupportMaskList. The entry carries the name, the path as
// given, the size, the type tag, the target path and an empty message.
TAddFileOutcome AddSourceFile(TFileList& list, const TGlobal& global, const std::u16string& path);

// Status-bar text of a refusal ("File [path] already added!"); empty for Added.
std::u16string AddFileStatusText(TAddFileOutcome outcome, std::u16string_view path);
// Activity-log text of a refusal ("Add file failed: already added (path)"); empty for Added.
std::u16string AddFileLogText(TAddFileOutcome outcome, std::u16string_view path);

}  // namespace dkscr
