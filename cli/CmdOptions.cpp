#include "cli/CmdOptions.h"

#include "platform/NativePath.h"

namespace dkscr {
namespace {

// The -t test is a substring test on these texts, not a comparison with each word.
constexpr std::string_view kThreeLetterTypes = "DOC HLP HTM PDF PPT RTF XLS";
constexpr std::string_view kFourLetterTypes = "DOCX PPTX XLSX";

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

bool ParseForcedType(std::string_view letters, CmdOptions& options) {
  const std::string upper = AsciiUpper(letters);
  const std::string_view list = letters.size() == 3 ? kThreeLetterTypes : kFourLetterTypes;
  if (list.find(upper) == std::string_view::npos) return false;
  options.forcedType = upper;
  return true;
}

}  // namespace

void ParseOption(std::string_view arg, CmdOptions& options) {
  options.optionError = true;
  if (arg.size() < 2 || arg[0] != '-') return;
  const std::string_view rest = arg.substr(2);
  switch (AsciiUpper(arg[1])) {
    case 'O':
      if (!rest.empty()) return;
      options.overwrite = true;
      break;
    case 'T':
      if (rest.size() != 3 && rest.size() != 4) return;
      if (!ParseForcedType(rest, options)) return;
      break;
    case 'C': {
      if (rest.empty()) return;
      const std::optional<int32_t> codePage = ParseInt32(rest);
      if (!codePage) return;
      options.codePage = *codePage;
      break;
    }
    case 'M': {
      const std::optional<SlideMode> mode = ParseSlideMode(rest);
      if (!mode) return;
      options.mode = *mode;
      break;
    }
    case 'S':
      // Only the character right after "-s" counts; anything after it is ignored.
      if (rest.empty() || rest[0] < '0' || rest[0] > '9') return;
      options.sValue = rest[0] - '0';
      break;
    default:
      return;
  }
  options.optionError = false;
}

std::string UsageText(std::string_view programName) {
  std::string text;
  text += "Kel-Deckscribe Command Version 3.0\r\n";
  text += "\r\n";
  text += "Usage: ";
  text += programName;
  text += " [-o] [-c99999] [-m<mode>] <Source File> <Destination Text File>\r\n";
  text += "Flag \"-o\": If output file exists then overwrite it.\r\n";
  text += "Flag \"-c\": Specify the code page identifier for output text file. "
          "(Default is system's code page)\r\n";
  text += "Flag \"-m\": Output form: text (default), full (complete text slide by slide), "
          "md (Markdown, UTF-8), json (JSON, UTF-8).\r\n";
  text += "If <Destination Text File> is \"*\", the text output NOT to a file but instead to "
          "standard output.\r\n";
  text += "\r\n";
  text += "Read Kel-Deckscribe help to get more details about command usage.";
  return text;
}

std::string_view ProgramFileName(std::string_view argv0) {
  const size_t slash = argv0.find_last_of(kPathSeparators);
  return slash == std::string_view::npos ? argv0 : argv0.substr(slash + 1);
}

}  // namespace dkscr
