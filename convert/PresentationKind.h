#pragma once
// The two presentation formats, told apart by a file name's extension or by the file's first
// bytes. Every front end that must choose a converter asks here.
#include <cstddef>
#include <span>
#include <string_view>

namespace dkscr {

enum class PresentationKind { kUnknown, kPpt, kPptx };

// PowerPoint's extension family, without the dot and in any case: ppt, pps, pot are binary
// presentations; pptx, pptm, ppsx, ppsm, potx, potm are Open XML packages.
PresentationKind KindOfExtension(std::string_view extension);

// The extensions of a kind, lower case and without the dot, in the order above; none for
// kUnknown. Front ends that list what they accept (file dialogs, folder scans) take them here.
std::span<const std::string_view> ExtensionsOfKind(PresentationKind kind);

// The extension of the last name in a "/"-separated path, without the dot; empty when none.
std::string_view ExtensionOfPath(std::string_view path);

// By content: a compound document's signature is a binary presentation (an encrypted Open
// XML package is also one, and its converter reports it), a ZIP local header or end record
// an Open XML package. `head` holds the file's first `size` bytes (8 are enough).
PresentationKind KindOfContent(const void* head, size_t size);

}  // namespace dkscr
