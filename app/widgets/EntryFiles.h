#pragma once
// Launch and Explore: an entry's source or target opened with its default program, or shown
// in the file manager.
namespace dkscr {

class DesktopServices;
class MainDialogs;
struct Entry;

// Launch opens the file; Explore shows it selected in the file manager, or opens its folder
// when it does not exist or no file manager answers. What cannot be started is told.
void OpenEntryFile(const Entry& entry, bool useSource, bool launch, DesktopServices& desktop,
                   MainDialogs& dialogs);

}  // namespace dkscr
