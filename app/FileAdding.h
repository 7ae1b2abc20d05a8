#pragma once
// Texts the main window builds from the settings when the user adds files: the open
// dialog's filter, the folder scan's masks and the list of folders to scan.
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "app/session/AppState.h"

namespace dkscr {

// "All Support File|" + SupportMaskList, then per file type "|" label "|" masks, where the
// label is Description "(" masks ")" and the masks are the DefaultMask with ";" and the user
// masks when there are any (as stored, not lower-cased).
QString BuildOpenFilter(const AppState& global);

// The same filter in the form the Qt file dialog takes: "label (pattern pattern);;...".
// Labels are kept whole; the dialog is told to hide the pattern part it needs.
QStringList QtNameFilters(const QString& filter);

// The scan's masks for the ticked file types: DefaultMask ";" [user masks ";"] for each,
// every ";" then turned into "|": "*.ppt|*.pptx|" by default.
std::u16string BuildSearchExts(const Settings& settings, bool type1, bool type2);

// The folders of the adddir setting, split at ";". Empty pieces (two ";" in a row, a ";"
// at either end, blanks only) are left out: they name no folder, and scanning them would
// walk the whole file system from its root.
std::vector<std::u16string> SplitScanFolders(std::u16string_view adddir);

}  // namespace dkscr
