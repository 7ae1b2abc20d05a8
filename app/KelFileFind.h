#pragma once
// Recursive search of a folder tree for files whose extension is in a list of masks.
// Runs on the caller's thread; between entries it calls a message pump that the window sets,
// so that a progress dialog stays responsive and its button can call Stop.
#include <cstdint>
#include <functional>
#include <string>

namespace dkscr {

// One directory entry as the search reports it.
struct TFindData {
  std::u16string Name;        // the entry's name, without folder
  uint64_t Size = 0;          // bytes
  uint32_t Mode = 0;          // the file's st_mode (type and permission bits)
  int64_t LastWriteTime = 0;  // seconds since 1970 (UTC)
};

class TKelFileSearch;

// fullpath: the folder holding the file, ending with "/"; info.Name is the file's name.
using TFindFileEvent = std::function<void(const std::u16string& fullpath, const TFindData& info)>;
// fullpath: the folder being entered, ending with "/".
using TChangeFolderEvent = std::function<void(const std::u16string& fullpath)>;
using TNotifyEvent = std::function<void(TKelFileSearch& sender)>;

class TKelFileSearch {
 public:
  // Folder to search; a trailing "/" is optional. Empty means the root "/".
  std::u16string SearchDir;
  // Masks "*" + extension with its dot + "|", e.g. "*.ppt|*.pptx|". Upper-cased in place
  // when a search starts; only masks of exactly that form can match.
  std::u16string SearchExts;
  bool RecurseSubFolders = true;

  TFindFileEvent OnFileFind;
  TChangeFolderEvent OnChangeFolder;
  TNotifyEvent OnFinish;
  // Lets the user interface process pending events; called twice per directory entry.
  std::function<void()> ProcessMessages;

  // Walks SearchDir depth first, in the order the file system lists each folder. Hidden
  // entries (names starting with ".") are skipped, files and folders alike; symbolic links
  // to folders are not followed, and only regular files (directly or through a link) are
  // reported. A folder that cannot be listed yields nothing. Exceptions from the handlers
  // pass through, with every open folder closed.
  void Execute();
  // Asks a running search to end before its next entry, at every level.
  void Stop() { userStopped_ = true; }
  // True after Stop, until the next Execute.
  bool UserStopped() const { return userStopped_; }

 private:
  void SearchFolder(const std::u16string& dir);
  void Pump() {
    if (ProcessMessages) ProcessMessages();
  }

  bool userStopped_ = false;
};

// Upper-cases every character by its simple (one-to-one) Unicode mapping.
std::u16string UpperCaseText(std::u16string_view text);

}  // namespace dkscr
