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

// Each problem goes to `err` and, when it can be written, to the activity log. A user who
// closed the program (not a signal) also sees them in one message box, which closes itself
// after boxTimeoutMs.
void TellExitProblems(const QStringList& problems, const AppState& global, bool closedBySignal,
                      std::FILE* err, int boxTimeoutMs = 30000);

}  // namespace dkscr
