#include "app/widgets/CommandTable.h"

#include <QCoreApplication>
#include <QtCore/qnamespace.h>
#include <QtGlobal>

#include <algorithm>
#include <array>

namespace dkscr {

namespace {
// The menus show each shortcut beside its caption.
constexpr int kCtrl = int(Qt::CTRL);
constexpr std::array<CommandInfo, 17> kCommands = {{
    {11, "ActOptions", QT_TRANSLATE_NOOP("Commands", "&Options"), QT_TRANSLATE_NOOP("Commands", "Set Kel-Deckscribe options"), 0, 0},
    {12, "ActExit", QT_TRANSLATE_NOOP("Commands", "&Exit"), QT_TRANSLATE_NOOP("Commands", "Exit from Kel-Deckscribe"), -1, 0},
    {13, "ActViewLog", QT_TRANSLATE_NOOP("Commands", "&View Log"), QT_TRANSLATE_NOOP("Commands", "View Kel-Deckscribe logs"), 7, 0},
    {21, "ActAddFile", QT_TRANSLATE_NOOP("Commands", "Add &File"), QT_TRANSLATE_NOOP("Commands", "Add file(s) by selecting file(s)"), 5, kCtrl | Qt::Key_F},
    {22, "ActAddDir", QT_TRANSLATE_NOOP("Commands", "Add &Dir"), QT_TRANSLATE_NOOP("Commands", "Add file(s) by selecting director(ies)"), 6, kCtrl | Qt::Key_D},
    {23, "ActPasteFile", QT_TRANSLATE_NOOP("Commands", "&Paste File"), QT_TRANSLATE_NOOP("Commands", "Add file(s) by pasting from clipboard"), 2, kCtrl | Qt::Key_V},
    {24, "ActDelete", QT_TRANSLATE_NOOP("Commands", "Delete"), QT_TRANSLATE_NOOP("Commands", "Delete selected file(s) name from listview"), -1, Qt::Key_Delete},
    {25, "ActSelectAll", QT_TRANSLATE_NOOP("Commands", "Select &All"), QT_TRANSLATE_NOOP("Commands", "Select all file(s) in listview"), -1, kCtrl | Qt::Key_A},
    {31, "ActConvertAll", QT_TRANSLATE_NOOP("Commands", "&Convert All"), QT_TRANSLATE_NOOP("Commands", "Convert all file(s) in listview"), 3, kCtrl | Qt::Key_G},
    {32, "ActConvertSelect", QT_TRANSLATE_NOOP("Commands", "Convert &Selected"), QT_TRANSLATE_NOOP("Commands", "Convert selected file(s)"), -1, 0},
    {33, "ActReConvert", QT_TRANSLATE_NOOP("Commands", "&ReConvert Selected"), QT_TRANSLATE_NOOP("Commands", "Convert selected file(s) again"), -1, 0},
    {34, "ActLaunchSource", QT_TRANSLATE_NOOP("Commands", "Source"), QT_TRANSLATE_NOOP("Commands", "Open source file with default program"), -1, 0},
    {35, "ActLaunchTarget", QT_TRANSLATE_NOOP("Commands", "Target"), QT_TRANSLATE_NOOP("Commands", "Open target file with default program"), -1, 0},
    {36, "ActExploreSource", QT_TRANSLATE_NOOP("Commands", "Source"), QT_TRANSLATE_NOOP("Commands", "Explore folder which source file in"), -1, 0},
    {37, "ActExploreTarget", QT_TRANSLATE_NOOP("Commands", "Target"), QT_TRANSLATE_NOOP("Commands", "Explore folder which target file in"), -1, 0},
    {91, "ActContents", QT_TRANSLATE_NOOP("Commands", "&Contents"), QT_TRANSLATE_NOOP("Commands", "Show help contents"), 1, Qt::Key_F1},
    {96, "ActAbout", QT_TRANSLATE_NOOP("Commands", "&About"), QT_TRANSLATE_NOOP("Commands", "Show about window"), -1, 0},
}};

constexpr std::array<ButtonInfo, 5> kButtons = {{
    {"BtnAddFile", QT_TRANSLATE_NOOP("Commands", "&Add File"), kTagAddFile, 5},
    {"BtnAddDir", QT_TRANSLATE_NOOP("Commands", "Add &Dir"), kTagAddDir, 6},
    {"BtnOptions", QT_TRANSLATE_NOOP("Commands", "&Options"), kTagOptions, 0},
    {"BtnLog", QT_TRANSLATE_NOOP("Commands", "&Log"), kTagViewLog, 7},
    {"BtnConvert", QT_TRANSLATE_NOOP("Commands", "&Convert"), kTagConvertAll, 3},
}};
}  // namespace

std::span<const CommandInfo> CommandTable() { return kCommands; }

QString CommandText(const char* text) { return QCoreApplication::translate("Commands", text); }

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
    case kTagLaunchTarget:
    case kTagExploreTarget: return e.anySelected && e.targetExists;
    case kTagConvertAll: return e.convertAll;
    case kTagConvertSelect: return e.convertSelected;
    case kTagReConvert: return e.reConvert;
    case kTagDelete:
    case kTagLaunchSource:
    case kTagExploreSource: return e.anySelected;
    case kTagPasteFile: return e.paste;
    default: return true;
  }
}

bool ChangesListOrConverts(int tag) {
  switch (tag) {
    case kTagAddFile:
    case kTagAddDir:
    case kTagPasteFile:
    case kTagDelete:
    case kTagConvertAll:
    case kTagConvertSelect:
    case kTagReConvert:
      return true;
    default:
      return false;
  }
}

}  // namespace dkscr
