#pragma once
// The file dialog's filter that the main window builds from the settings for Add File.
#include <QString>
#include <QStringList>

#include "app/session/AppState.h"

namespace dkscr {

// A file type's Description in the user's language.
QString FileTypeDescription(int typeNumber);

// "All Support File|" + supportMaskList, then per file type "|" label "|" masks, where the
// label is Description "(" masks ")" and the masks are the family's with ";" and the user
// masks when there are any (as stored, not lower-cased).
QString BuildOpenFilter(const AppState& state);

// The same filter in the form the Qt file dialog takes: "label (pattern pattern);;...".
// Labels are kept whole; the dialog is told to hide the pattern part it needs.
QStringList QtNameFilters(const QString& filter);

}  // namespace dkscr
