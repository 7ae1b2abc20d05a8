#pragma once
// The desktop program's shared state: its folder, the user's settings with their file, the
// derived list of supported masks and the activity log. Loaded once before any window exists
// and saved once after every window is gone; every window reads and writes the same object.
#include <cstdint>
#include <ctime>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/session/FileTypes.h"

namespace dkscr {

inline constexpr std::u16string_view kSettingsFileName = u"Deckscribe.dat";
inline constexpr std::u16string_view kLogFileName = u"dkscract.log";
inline constexpr std::u16string_view kJobFileName = u"Deckscribe.job";
inline constexpr std::u16string_view kHelpFileName = u"Deckscribe.chm";
inline constexpr std::string_view kSettingsSection = "general";
// The main window's place on the screen, kept apart from the settings above.
inline constexpr std::string_view kWindowSection = "mainwindow";

// What to do when a target file exists (the "fileovertp" key); any other value refuses, as
// kOverwriteRefuse does.
inline constexpr uint8_t kOverwriteAutoRename = 0;
inline constexpr uint8_t kOverwriteReplace = 1;
inline constexpr uint8_t kOverwritePrompt = 2;
inline constexpr uint8_t kOverwriteRefuse = 3;

// What the written files hold (textform): the slides' text as the converters give it, the
// complete text slide by slide, Markdown, or JSON.
inline constexpr int32_t kTextFormSlides = 0;
inline constexpr int32_t kTextFormComplete = 1;
inline constexpr int32_t kTextFormMarkdown = 2;
inline constexpr int32_t kTextFormJson = 3;

// One field per key of the settings file, in the file's order (the key in brackets), with the
// defaults for a missing file. targetDir and scanFolders get the documents folder when loaded
// without a value.
struct Settings {
  bool targetBesideSource = false;  // samedir
  std::u16string targetDir;         // targetdir: ends with "/" once the options dialog stored it
  std::u16string scanFolders;       // adddir: folders separated by ";"
  uint8_t overwritePolicy = kOverwriteAutoRename;  // fileovertp
  int32_t codePage = 0;        // sourcecode: of the written text files; 0 the default one
  int32_t targetCodePage = 0;  // targetcode: kept as read
  std::u16string userMasks1;   // userfileext1: extra masks of type 1, e.g. "*.pps;*.pot"
  std::u16string userMasks2;   // userfileext2
  bool scanType1 = true;       // selext1: type 1 ticked in the add-folder dialog
  bool scanType2 = true;       // selext2
  bool scanRecursive = false;  // recursive
  bool pageBreak = false;      // pagebreak
  int32_t textOrder = 0;       // textorder
  int32_t keepRaw = 0;         // keepraw
  bool noLog = false;          // notlog
  int32_t textForm = kTextFormSlides;  // textform: what the text files hold (kTextForm...)

  bool operator==(const Settings&) const = default;
};

// A file type's masks as the user sees them: its family's masks, then each of the user's
// masks with ";" before it, as stored (not lower-cased), leaving out the empty ones and those
// the family holds already.
std::u16string TypeMasks(const Settings& settings, int typeNumber);

// Where the main window was when the program last ended; not known until it has been shown.
struct WindowPlacement {
  bool known = false;
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool maximized = false;
  // The list's column widths in pixels, left to right (empty when not known), the column it
  // was sorted by (-1 for none) and the direction, and the height of the preview below it.
  std::vector<int32_t> columnWidths;
  int32_t sortColumn = -1;
  bool sortAscending = true;
  int32_t previewHeight = 0;

  bool operator==(const WindowPlacement&) const = default;
};

// SaveSettings could not replace the settings file; what() is "Unable to write to <path>".
class SettingsWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class AppState {
 public:
  // programDir ends with "/" (WithTrailingSeparator); documentsDir too.
  AppState(std::u16string programDirectory, std::u16string documentsDirectory);

  // Reads every setting from the settings file (defaults for what is missing or does not
  // parse), then rebuilds the mask list.
  void LoadSettings();
  // Writes every setting into the settings file, keeping its other sections and lines.
  // The file is replaced as a whole, so a failure leaves the previous one intact; throws
  // SettingsWriteError.
  void SaveSettings() const;
  // Rebuilds supportMaskList from the file types and the user masks.
  void RebuildMaskList();
  // Appends "[time stamp]: message" to the activity log unless notlog is set. Throws
  // std::system_error (with the errno) when the log cannot be created, opened or written.
  void WriteLog(std::u16string_view message) const;

  // The file-type number (1 or 2) of an extension with its dot, or 0 when not supported. The
  // extension is matched whole, letter case ignored: first against the families, then against
  // the user masks of type 1 and type 2, where only masks of the form "*.ext" can match.
  int FileTypeOfExtension(std::u16string_view extension) const;

  std::u16string SettingsFilePath() const { return programDir + std::u16string(kSettingsFileName); }
  std::u16string LogFilePath() const { return programDir + std::u16string(kLogFileName); }
  std::u16string JobFilePath() const { return programDir + std::u16string(kJobFileName); }
  std::u16string HelpFilePath() const { return programDir + std::u16string(kHelpFileName); }

  const std::u16string programDir;
  const std::u16string documentsDir;
  Settings settings;
  WindowPlacement windowPlacement;
  // Every mask the program takes, lower-cased, each followed by ";": the open dialog's "All
  // Support File" patterns.
  std::u16string supportMaskList;

  // The clock WriteLog stamps with (local time); tests set a fixed one.
  std::function<std::tm()> clock;
};

}  // namespace dkscr
