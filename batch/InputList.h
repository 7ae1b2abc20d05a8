#pragma once
// The presentations of a batch, in input order: PATHs expanded (folders searched
// recursively), lists of paths read, and for text-file output each one's text file.
#include <string>
#include <string_view>
#include <vector>

#include "platform/ResultCodes.h"

namespace dkscr {

struct BatchItem {
  std::string source;      // native path, as reached from the PATH
  std::string folder;      // the source's folder as reached ("" for the current one)
  std::string relFolder;   // where its text file goes, relative to the output folder
  std::string target;      // the text file (text-file output only)
  ResultCode failure = 0;  // negative: failed before any conversion
  std::string message;     // that failure's message
  bool foundInSearch = false;  // found in a folder search (not named by a PATH)
};

struct InputSelection {
  // Extensions searched in folders: lower case, no dot. Empty: PowerPoint's whole family.
  std::vector<std::string> extensions;
};

// Whether a file found in a folder is taken.
bool SelectedInFolder(std::string_view name, const InputSelection& selection);

struct FolderEntry {
  std::string name;
  bool isFolder = false;
};

// The subfolders and the selected files of a folder ("" is the current one), sorted by name.
// False when it cannot be read.
bool ReadFolder(const std::string& path, const InputSelection& selection,
                std::vector<FolderEntry>& entries);

// Adds one PATH: a folder is searched (sorted by name, never through a symbolic link to a
// folder, only regular files); any other path is one item, checked when it is converted.
// A folder that cannot be read becomes a failed item in its place.
void AddPath(const std::string& path, const InputSelection& selection,
             std::vector<BatchItem>& items);

// Splits a list of paths: one per line, or NUL-separated. Empty entries are skipped.
std::vector<std::string> SplitPathList(std::string_view text, bool nulSeparated);

// No path in a list is longer than this (far above any file system's limit): a list that is
// one endless line (/dev/zero) fails with ENAMETOOLONG instead of filling memory.
inline constexpr size_t kMaxListedPathBytes = 64 * 1024;

// Reads a whole file, or standard input for "-", entries separated by line feeds or (with
// `nulSeparated`) NUL bytes; separators of empty entries are not kept. Returns 0 or the errno:
// ENAMETOOLONG for an entry past kMaxListedPathBytes.
int ReadPathListFile(const std::string& path, int stdinFd, bool nulSeparated, std::string& text);

}  // namespace dkscr
