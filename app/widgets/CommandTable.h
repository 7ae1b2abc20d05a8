#pragma once
// The main window's commands: one row per tag, the keys that reach them, and when the
// menus offer them.
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

namespace dkscr {

enum CommandTag : int {
  kTagOptions = 11,
  kTagExit = 12,
  kTagViewLog = 13,
  kTagAddFile = 21,
  kTagAddDir = 22,
  kTagPasteFile = 23,
  kTagDelete = 24,
  kTagSelectAll = 25,
  kTagConvertAll = 31,
  kTagConvertSelect = 32,
  kTagReConvert = 33,
  kTagLaunchSource = 34,
  kTagLaunchTarget = 35,
  kTagExploreSource = 36,
  kTagExploreTarget = 37,
  kTagLaunchMenu = 81,
  kTagExploreMenu = 82,
  kTagContents = 91,
  kTagAbout = 96,
};

struct CommandInfo {
  int tag;
  const char* action;   // object name of the action
  const char* caption;  // menu caption
  const char* hint;
  int image;            // picture in the menu image list, -1 for none
  int shortcut;         // the key (a Qt key combination), 0 for none
};

// A caption or hint of the tables below in the user's language.
QString CommandText(const char* text);

// Every command, in tag order.
std::span<const CommandInfo> CommandTable();

// The row of a tag; nullptr for tags that do nothing.
const CommandInfo* CommandByTag(int tag);

// Buttons of the button bar, left to right: caption, tag, picture.
struct ButtonInfo {
  const char* name;
  const char* caption;
  int tag;
  int image;
};
std::span<const ButtonInfo> ButtonTable();

// The command a key press starts (Qt key code and modifier flags); 0 for none.
// Nothing happens while Alt is held. The same keys as the commands' shortcuts: the window
// runs a command by its key also while the menus do not offer it.
int CommandForKey(int qtKey, bool ctrl, bool alt);

// What the menus need to know about the list to decide what they offer.
struct EntryFacts {
  int32_t state;
  bool selected;
};

struct CommandEnabling {
  bool convertAll = false;       // some entry is new
  bool convertSelected = false;  // some selected entry is new
  bool reConvert = false;        // some selected entry is converted or failed
  bool anySelected = false;      // Delete, Launch, Explore
  bool paste = false;            // the clipboard holds files
  bool targetExists = false;     // the first selected entry's target is a file: Launch and
                                 // Explore Target (set by the caller, which can look)
};

// Walks the entries until all three convert commands are known to be enabled.
CommandEnabling EvaluateEnabling(std::span<const EntryFacts> entries, bool clipboardHasFiles);

bool IsCommandEnabled(const CommandEnabling& enabling, int tag);

// Commands that add or remove entries or start a run: refused while a run is in progress,
// since the run walks the entries it counted at its start.
bool ChangesListOrConverts(int tag);

}  // namespace dkscr
