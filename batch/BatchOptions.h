#pragma once
// The command line of dkscrbatch: GNU-style options, checked as a whole.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/SlideFormats.h"

namespace dkscr {

struct BatchOptions {
  std::vector<std::string> paths;      // files and folders, native bytes
  std::optional<std::string> filesFrom;  // --files-from: a list of paths ("-": standard input)
  bool nulSeparated = false;           // -0: the list is NUL-separated
  unsigned jobs = 0;                   // -j: 0 means one per core
  std::string outputDir;               // -d: text files under this folder; empty: JSON Lines
  std::optional<int32_t> codePage;     // -c: for text files; 0 is the locale's code page
  std::vector<std::string> extensions;  // --ext: lower case, no dot; empty: the whole family
  SlideMode mode = SlideMode::kText;   // -m: the output form, as dkscrcmd -m
  bool overwrite = false;
  bool update = false;
  bool quiet = false;
  bool digest = true;                  // --no-sha256 turns the records' digests off
  bool help = false;
  bool version = false;
};

struct ParsedBatchOptions {
  BatchOptions options;
  std::string error;  // non-empty: a usage error, said in one line
};

// args: argv as the process got it (program name first).
ParsedBatchOptions ParseBatchOptions(std::span<const char* const> args);

std::string BatchHelpText();
std::string BatchVersionText();

}  // namespace dkscr
