#pragma once
// The activity log: a UTF-16LE text file with a byte-order mark, one time-stamped line per
// event, only ever appended to.
#include <locale.h>

#include <ctime>
#include <string>

namespace dkscr {

#ifdef _WIN32
// Windows stamps follow the user's own date and time settings; no locale is passed there.
using locale_t = _locale_t;
#endif

// "short date" + " " + "long time" of the locale's time conventions (LC_TIME), the time left
// out at exactly midnight. `loc` 0 means the program's current locale.
std::u16string FormatLogTimeStamp(const std::tm& local, locale_t loc = static_cast<locale_t>(0));

// The text with every lone surrogate replaced, so that the log stays valid UTF-16: a
// file-name byte that is not UTF-8 (U+DC80..U+DCFF) becomes "\xNN", any other U+FFFD.
std::u16string ValidLogText(std::u16string_view text);

// "[" time stamp "]: " message CR LF, the message made valid by ValidLogText.
std::u16string FormatLogLine(const std::tm& local, std::u16string_view message,
                             locale_t loc = static_cast<locale_t>(0));

// Appends one line to the log at `nativePath`, creating it with the byte-order mark FF FE
// when missing; bytes already in the file are never changed. Throws std::system_error with
// the errno when the file cannot be created, opened or written.
void AppendLogLine(const std::string& nativePath, std::u16string_view line);

}  // namespace dkscr
