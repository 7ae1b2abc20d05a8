#pragma once
// Recursive search of a folder tree for files whose extension is in a list of masks, and the
// request the add-folder dialog makes of it. The walk runs on whatever thread calls it; an
// observer hears of every folder and file and may ask it to stop before the next entry.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dkscr {

struct Settings;

// One file as the scan reports it.
struct FoundFile {
  std::u16string folder;  // the folder holding it, ending with "/"
  std::u16string name;    // without folder
  uint64_t size = 0;      // bytes
  uint32_t mode = 0;      // st_mode (type and permission bits)
  int64_t lastWriteTime = 0;  // seconds since 1970 (UTC)

  std::u16string Path() const { return folder + name; }
};

// What one Add Dir did.
struct ScanSummary {
  int added = 0;         // entries added to the list
  bool stopped = false;  // the user stopped it: the folders after were not scanned
};

class ScanObserver {
 public:
  virtual ~ScanObserver() = default;
  // A folder is entered (ending with "/"), the start folder first.
  virtual void FolderEntered(const std::u16string& folder) { (void)folder; }
  virtual void FileFound(const FoundFile& file) { (void)file; }
  // Asked before every entry, at every level: true ends the walk.
  virtual bool StopRequested() { return false; }
  // Every folder of a request has been scanned, or the scan stopped (not told by FolderScan
  // itself, which walks one folder).
  virtual void Finished(const ScanSummary& summary) { (void)summary; }
};

class FolderScan {
 public:
  // masks: "*" + extension with its dot + "|" each, e.g. "*.ppt|*.pptx|"; case is ignored,
  // and only masks of exactly that form can match.
  FolderScan(std::u16string_view masks, bool recursive);

  // Walks `folder` (a trailing "/" is optional; empty means the root "/") depth first, in the
  // order the file system lists each folder. Hidden entries (names starting with ".") are
  // skipped, files and folders alike; symbolic links to folders are not followed, and only
  // regular files (directly or through a link) are reported. A folder that cannot be listed
  // yields nothing. Returns false when the observer stopped it. Exceptions from the observer
  // pass through, with every open folder closed.
  bool Execute(std::u16string_view folder, ScanObserver& observer) const;

 private:
  bool Walk(const std::u16string& dir, ScanObserver& observer) const;

  std::u16string masks_;  // upper-cased
  bool recursive_;
};

// What one Add Dir asks for: the folders, the masks of the ticked types, the recursion flag.
struct ScanRequest {
  std::vector<std::u16string> folders;
  std::u16string masks;
  bool recursive = false;
};

// The masks of the ticked file types: the family's masks ";" [user masks ";"] for each, every
// ";" then turned into "|": "*.ppt|*.pps|*.pot|*.pptx|..." by default.
std::u16string BuildScanMasks(const Settings& settings, bool type1, bool type2);

// The folders of the scanFolders setting, split at ";". Empty pieces (two ";" in a row, a
// ";" at either end, blanks only) are left out: they name no folder, and scanning them would
// walk the whole file system from its root.
std::vector<std::u16string> SplitScanFolders(std::u16string_view scanFolders);

// Upper-cases every character by its simple (one-to-one) Unicode mapping.
std::u16string UpperCaseText(std::u16string_view text);

}  // namespace dkscr
