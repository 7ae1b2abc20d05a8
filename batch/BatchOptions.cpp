#include "batch/BatchOptions.h"

#include <getopt.h>

#include <string_view>

#include "text/CodePage.h"
#include "text/CodePageNumber.h"

#ifndef DKSCR_VERSION
#define DKSCR_VERSION "0.0"
#endif

namespace dkscr {
namespace {

enum LongOnly : int {
  kJsonl = 256,
  kExt,
  kFilesFrom,
  kNoSha256,
  kOverwrite,
  kUpdate,
  kHelp,
  kVersion,
};

constexpr unsigned kMostJobs = 1024;

constexpr option kLongOptions[] = {
    {"jobs", required_argument, nullptr, 'j'},
    {"output-dir", required_argument, nullptr, 'd'},
    {"codepage", required_argument, nullptr, 'c'},
    {"null", no_argument, nullptr, '0'},
    {"quiet", no_argument, nullptr, 'q'},
    {"mode", required_argument, nullptr, 'm'},
    {"jsonl", no_argument, nullptr, kJsonl},
    {"ext", required_argument, nullptr, kExt},
    {"files-from", required_argument, nullptr, kFilesFrom},
    {"no-sha256", no_argument, nullptr, kNoSha256},
    {"overwrite", no_argument, nullptr, kOverwrite},
    {"update", no_argument, nullptr, kUpdate},
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

std::optional<unsigned> ParseJobs(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value == 0 || value > kMostJobs) return std::nullopt;
  return value;
}

// "ppt,.PPTX" -> {"ppt", "pptx"}; empty items are dropped.
std::vector<std::string> ParseExtensions(std::string_view text) {
  std::vector<std::string> out;
  while (!text.empty()) {
    const size_t comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    if (!item.empty() && item[0] == '.') item.remove_prefix(1);
    if (item.empty()) continue;
    std::string lower(item);
    for (char& c : lower) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    out.push_back(std::move(lower));
  }
  return out;
}

// The option as the user wrote it, for messages.
std::string OptionName(int code) {
  for (const option& o : kLongOptions) {
    if (o.name != nullptr && o.val == code) return "--" + std::string(o.name);
  }
  return std::string("-") + static_cast<char>(code);
}

// The combinations that cannot work, checked once every option is read.
std::string CheckCombination(const BatchOptions& o, bool jsonlAsked) {
  if (o.help || o.version) return {};
  if (jsonlAsked && !o.outputDir.empty()) return "--jsonl and --output-dir exclude each other";
  if (!o.digest && !o.outputDir.empty()) return "--no-sha256 and --output-dir exclude each other";
  if (o.overwrite && o.update) return "--overwrite and --update exclude each other";
  if (o.outputDir.empty() && (o.overwrite || o.update)) {
    return "--overwrite and --update need --output-dir";
  }
  if (o.outputDir.empty() && o.codePage) {
    return "--codepage needs --output-dir (JSON Lines are always UTF-8)";
  }
  if (o.codePage && (o.mode == SlideMode::kMarkdown || o.mode == SlideMode::kJson)) {
    return "--codepage does not apply to --mode md and json (always UTF-8)";
  }
  if (o.nulSeparated && !o.filesFrom) return "-0 needs --files-from";
  if (o.paths.empty() && !o.filesFrom) return "no PATH given";
  return {};
}

}  // namespace

ParsedBatchOptions ParseBatchOptions(std::span<const char* const> args) {
  ParsedBatchOptions parsed;
  BatchOptions& o = parsed.options;
  // getopt reorders the pointers only; the texts stay untouched.
  std::vector<char*> argv;
  for (const char* arg : args) argv.push_back(const_cast<char*>(arg));
  if (argv.empty()) argv.push_back(const_cast<char*>("dkscrbatch"));
  argv.push_back(nullptr);
  const int argc = static_cast<int>(argv.size() - 1);

  bool jsonlAsked = false;
  opterr = 0;
  optind = 0;  // 0 also resets GNU getopt's internal state between calls
  for (int code; (code = getopt_long(argc, argv.data(), ":j:d:c:m:0q", kLongOptions, nullptr)) != -1;) {
    const std::string_view value = optarg != nullptr ? optarg : "";
    switch (code) {
      case 'j':
        if (const auto jobs = ParseJobs(value)) {
          o.jobs = *jobs;
        } else {
          parsed.error = "invalid number of jobs '" + std::string(value) + "' (1 to 1024)";
        }
        break;
      case 'd':
        if (value.empty()) parsed.error = "empty output folder";
        o.outputDir = value;
        break;
      case 'c':
        o.codePage = ParseInt32(value);
        if (!o.codePage) {
          parsed.error = "invalid code page '" + std::string(value) + "'";
        } else if (!IsCodePageServed(*o.codePage)) {
          parsed.error = "code page " + std::string(value) + " is not supported";
        }
        break;
      case 'm':
        if (const auto mode = ParseSlideMode(value)) {
          o.mode = *mode;
        } else {
          parsed.error = "invalid mode '" + std::string(value) + "' (text, full, md or json)";
        }
        break;
      case '0': o.nulSeparated = true; break;
      case 'q': o.quiet = true; break;
      case kJsonl: jsonlAsked = true; break;
      case kExt:
        o.extensions = ParseExtensions(value);
        if (o.extensions.empty()) parsed.error = "--ext needs at least one extension";
        break;
      case kFilesFrom: o.filesFrom = std::string(value); break;
      case kNoSha256: o.digest = false; break;
      case kOverwrite: o.overwrite = true; break;
      case kUpdate: o.update = true; break;
      case kHelp: o.help = true; break;
      case kVersion: o.version = true; break;
      case ':': parsed.error = "option " + OptionName(optopt) + " needs a value"; break;
      default:
        parsed.error = optopt != 0 ? "invalid option -" + std::string(1, static_cast<char>(optopt))
                                   : "unrecognized option '" + std::string(argv[optind - 1]) + "'";
        break;
    }
    if (!parsed.error.empty()) return parsed;
  }
  for (int i = optind; i < argc; ++i) o.paths.emplace_back(argv[static_cast<size_t>(i)]);
  parsed.error = CheckCombination(o, jsonlAsked);
  return parsed;
}

std::string BatchHelpText() {
  return R"(Usage: dkscrbatch [OPTIONS] PATH...
Extract the text of many PowerPoint presentations in one process, on every core.

PATHs are files and folders. Folders are searched recursively for presentations
(.ppt .pps .pot .pptx .pptm .ppsx .ppsm .potx .potm, any case); files named
explicitly are converted whatever their extension, their type read from content.

  -d, --output-dir DIR  one text file per presentation under DIR, mirroring the
                        folders; name.ext becomes name.txt (name.ext.txt when
                        two presentations of one folder share a name)
      --jsonl           one JSON object per presentation on standard output,
                        in input order (the default without -d)
  -m, --mode MODE       the output form, as dkscrcmd -m: text (default), full
                        (every slide's text, notes, tables, comments), md
                        (Markdown), json; text files end in .txt, .md, .json;
                        JSON Lines get the form in "text", for json a "slides"
                        array instead
      --no-sha256       JSON Lines without the "sha256" member: the digest of
                        every source's bytes, which takes longer than the
                        conversion itself
  -c, --codepage CP     code page of the text files, as dkscrcmd -c (default
                        65001, UTF-8 with byte-order mark; 0: the locale's);
                        md and json are always UTF-8
      --overwrite       replace existing text files (default: keep them)
      --update          convert only presentations newer than their text file
      --ext LIST        extensions searched in folders, comma-separated
      --files-from FILE read PATHs from FILE, one per line ("-": standard input)
  -0, --null            the --files-from list is NUL-separated (find -print0)
  -j, --jobs N          conversions in parallel (default: the number of cores)
  -q, --quiet           no progress line and no summary
      --help            show this help and exit
      --version         show the version and exit

Exit status: 0 all converted, 1 some failed, 2 usage error.
See dkscrbatch(1) for the JSON fields and the naming rules.
)";
}

std::string BatchVersionText() { return "dkscrbatch (Deckscribe) " DKSCR_VERSION "\n"; }

}  // namespace dkscr
