#include "app/MainCommands.h"

#include <QtCore/qnamespace.h>

#include <algorithm>
#include <array>

namespace dkscr {

namespace {
// Captions keep their padding: it lines the shortcut text up in the menus.
constexpr std::array<CommandInfo, 17> kCommands = {{
    {11, "ActOptions", "&Options", "Set Kel-Deckscribe options", 0},
    {12, "ActExit", "&Exit", "Exit from Kel-Deckscribe", -1},
    {13, "ActViewLog", "&View Log", "View Kel-Deckscribe logs", 7},
    {21, "ActAddFile", "Add &File                   CTRL+F", "Add file(s) by selecting file(s)", 5},
    {22, "ActAddDir", "Add &Dir                    CTRL+D", "Add file(s) by selecting director(ies)", 6},
    {23, "ActPasteFile", "&Paste File                CTRL+V", "Add file(s) by pasting from clipboard", 2},
    {24, "ActDelete", "Delete                     Delete", "Delete selected file(s) name from listview", -1},
    {25, "ActSelectAll", "Select &All                 CTRL+A", "Select all file(s) in listview", -1},
    {31, "ActConvertAll", "&Convert All               Ctrl+G", "Convert all file(s) in listview", 3},
    {32, "ActConvertSelect", "Convert &Selected", "Convert selected file(s)", -1},
    {33, "ActReConvert", "&ReConvert Selected", "Convert selected file(s) again", -1},
    {34, "ActLaunchSource", "Source", "Open source file with default program", -1},
    {35, "ActLaunchTarget", "Target", "Open target file with default program", -1},
    {36, "ActExploreSource", "Source", "Explore folder which source file in", -1},
    {37, "ActExploreTarget", "Target", "Explore folder which target file in", -1},
    {91, "ActContents", "&Contents           F1", "Show help contents", 1},
    {96, "ActAbout", "&About", "Show about window", -1},
}};

constexpr std::array<ButtonInfo, 5> kButtons = {{
    {"BtnAddFile", "&Add File", kTagAddFile, 5},
    {"BtnAddDir", "Add &Dir", kTagAddDir, 6},
    {"BtnOptions", "&Options", kTagOptions, 0},
    {"BtnLog", "&Log", kTagViewLog, 7},
    {"BtnConvert", "&Convert", kTagConvertAll, 3},
}};
}  // namespace

std::span<const CommandInfo> CommandTable() { return kCommands; }

const CommandInfo* CommandByTag(int tag) {
  const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                               [tag](const CommandInfo& c) { return c.tag == tag; });
  return it == kCommands.end() ? nullptr : &*it;
}

std::span<const ButtonInfo> ButtonTable() { return kButtons; }

int CommandForKey(int qtKey, bool ctrl, bool alt) {
  if (alt) return 0;
  if (qtKey == Qt::Key_F1) return kTagContents;
  if (ctrl) {
    switch (qtKey) {
      case Qt::Key_A: return kTagSelectAll;
      case Qt::Key_V: return kTagPasteFile;
      case Qt::Key_F: return kTagAddFile;
      case Qt::Key_D: return kTagAddDir;
      case Qt::Key_G: return kTagConvertAll;
      default: break;
    }
  }
  if (qtKey == Qt::Key_Delete) return kTagDelete;
  return 0;
}

CommandEnabling EvaluateEnabling(std::span<const EntryFacts> entries, bool clipboardHasFiles) {
  CommandEnabling e;
  e.paste = clipboardHasFiles;
  for (const EntryFacts& f : entries) {
    if (f.state == 0) {
      e.convertAll = true;
      if (f.selected) e.convertSelected = true;
    } else if (f.selected && (f.state == 1 || f.state == 2)) {
      e.reConvert = true;
    }
    if (f.selected) e.anySelected = true;
    if (e.convertAll && e.convertSelected && e.reConvert) break;
  }
  return e;
}

bool IsCommandEnabled(const CommandEnabling& e, int tag) {
  switch (tag) {
    case kTagConvertAll: return e.convertAll;
    case kTagConvertSelect: return e.convertSelected;
    case kTagReConvert: return e.reConvert;
    case kTagDelete:
    case kTagLaunchSource:
    case kTagLaunchTarget:
    case kTagExploreSource:
    case kTagExploreTarget: return e.anySelected;
    case kTagPasteFile: return e.paste;
    default: return true;
  }
}

}  // namespace dkscr
