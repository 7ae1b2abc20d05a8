#pragma once
#include "openxml/ZipHostHooks.h"

namespace dkscr {

// The archive reader's hooks for this program's windows: the busy cursor while a directory is
// read, pending window messages handled while entries are inflated (so a long .pptx keeps the
// progress dialog alive), and its message box. Passed with every .pptx conversion.
ZipHostHooks DesktopZipHooks();

}  // namespace dkscr
