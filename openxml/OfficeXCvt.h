#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/KelCvtBase.h"
#include "core/RegularFile.h"
#include "openxml/ZipHostHooks.h"

namespace dkscr {

// Text of every slide part of an Open XML presentation (.pptx), one header line per slide.
ResultCode ConvertPptx(const std::u16string& source, OutputBuffer& output, int32_t codePage);
// The same with the host's hooks for this conversion (busy cursor, message pump, message box).
ResultCode ConvertPptx(const std::u16string& source, OutputBuffer& output, int32_t codePage,
                       const ZipHostHooks& hooks);
// The same on a package held in memory, which must outlive the call.
ResultCode ConvertPptxImage(std::string_view image, OutputBuffer& output, int32_t codePage);

// Whether a file, or a file image, that holds no ZIP package is a password-protected one: a
// compound document with the encrypted package in it (-11 rather than -5).
bool IsEncryptedPackageFile(const std::u16string& source);
bool IsEncryptedPackageImage(std::string_view image);

// What a package's path gives before it is opened: 0 for a regular file, -2 for nothing there
// or a folder, -4 for anything else (a FIFO or device cannot be opened as a package).
ResultCode PackagePathResult(PathKind kind);

}  // namespace dkscr
