#pragma once
// The "Convert Message" texts a conversion run stores for an entry. The list, the saved file
// list and the activity log keep them in English; the list view shows them in the user's
// language.
#include <QString>
#include <vector>

namespace dkscr {

// Every text a run can store for an entry, in English, each marked for translation.
const std::vector<const char*>& RunMessageTexts();

// A stored message as the list shows it: its translation when one is installed, otherwise
// (also for texts of older or edited job files) the text as it stands. Of a message "text:
// detail", the text is translated and the detail kept.
QString ShownRunMessage(const QString& stored);

}  // namespace dkscr
