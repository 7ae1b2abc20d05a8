#pragma once
// The log viewer's text: the activity log's bytes read as lines, and the lines written back
// as a UTF-16LE file with a byte-order mark. No window code here.

#include <string>
#include <string_view>
#include <vector>

namespace dkscr {

// Decodes by the byte-order mark (FF FE UTF-16LE, FE FF UTF-16BE, EF BB BF UTF-8; without
// one, the default code page) and splits at CR LF, CR or LF. A final line break ends the
// last line and adds no empty line after it.
std::vector<std::u16string> LogBytesToLines(std::string_view bytes);

// FF FE, then every line followed by CR LF, in UTF-16LE.
std::string LinesToUtf16File(const std::vector<std::u16string>& lines);

}  // namespace dkscr
