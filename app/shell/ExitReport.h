#pragma once
// Saving the list and the settings when the program ends, and what could not be saved told
// without keeping it from ending: a closed terminal, a logout or kill must not leave it
// waiting for a click.
#include <QStringList>
#include <cstdio>

namespace dkscr {

class AppState;
class Session;

// Saves the list into the job file and the settings into the settings file; returns what
// could not be saved, in the user's language.
QStringList SaveListAndSettings(const Session& session);

// Each problem goes to `err` and, when it can be written, to the activity log. Unless `quiet`
// (closed by a signal or a logout, where nobody may be there to answer; or a folder the user
// was told at start cannot be written), they are also shown in one message box, which closes
// itself after boxTimeoutMs.
void TellExitProblems(const QStringList& problems, const AppState& global, bool quiet,
                      std::FILE* err, int boxTimeoutMs = 30000);

}  // namespace dkscr
