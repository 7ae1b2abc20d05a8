#pragma once

namespace dkscr {

// Connects the archive reader to this program's windows: the busy cursor while a directory is
// read, pending window messages handled while entries are inflated (so a long .pptx keeps the
// progress dialog alive), and its message box.
void ConnectZipHooks();

}  // namespace dkscr
