#pragma once
// The desktop program's shared state: its folder, the user's settings with their file, the
// derived list of supported masks and the activity log. Loaded once before any window exists
// and saved once after every window is gone; every window reads and writes the same object.
#include <cstdint>
#include <ctime>
#include <functional>
#include <stdexcept>
#include <string>

#include "app/FileTypes.h"

namespace dkscr {

inline constexpr std::u16string_view kSettingsFileName = u"Deckscribe.dat";
inline constexpr std::u16string_view kLogFileName = u"dkscract.log";
inline constexpr std::u16string_view kJobFileName = u"Deckscribe.job";
inline constexpr std::u16string_view kHelpFileName = u"Deckscribe.chm";
inline constexpr std::string_view kSettingsSection = "general";
// The main window's place on the screen, kept apart from the settings above.
inline constexpr std::string_view kWindowSection = "mainwindow";

// What to do when a target file exists (fileovertp).
inline constexpr uint8_t kFileOverAutoRename = 0;
inline constexpr uint8_t kFileOverOverwrite = 1;
inline constexpr uint8_t kFileOverPrompt = 2;
inline constexpr uint8_t kFileOverCancel = 3;

// What the written files hold (textform): the slides' text as the converters give it, the
// complete text slide by slide, or Markdown.
inline constexpr int32_t kTextFormSlides = 0;
inline constexpr int32_t kTextFormComplete = 1;
inline constexpr int32_t kTextFormMarkdown = 2;

// One field per key of the settings file, in the file's order, with the defaults for a
// missing file. targetdir and adddir get the documents folder when loaded without a value.
struct TSettings {
  bool samedir = false;
  std::u16string targetdir;   // ends with "/" once the options dialog has stored it
  std::u16string adddir;      // folders separated by ";"
  uint8_t fileovertp = kFileOverAutoRename;
  int32_t sourcecode = 0;     // code page of the written text files; 0 the default one
  int32_t targetcode = 0;     // kept as read
  std::u16string userfileext1;  // extra masks of type 1, e.g. "*.pps;*.pot"
  std::u16string userfileext2;
  bool selext1 = true;
  bool selext2 = true;
  bool recursive = false;
  bool pagebreak = false;
  int32_t textorder = 0;
  int32_t keepraw = 0;
  bool notlog = false;
  int32_t textform = kTextFormSlides;  // what the text files hold (kTextForm...)

  bool operator==(const TSettings&) const = default;
};

// Where the main window was when the program last ended; not known until it has been shown.
struct TWindowPlacement {
  bool known = false;
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool maximized = false;

  bool operator==(const TWindowPlacement&) const = default;
};

// SaveSettings could not replace the settings file; what() is "Unable to write to <path>".
class TSettingsWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TGlobal {
 public:
  // programDir ends with "/" (WithTrailingSeparator); documentsDir too.
  TGlobal(std::u16string programDir, std::u16string documentsDir);

  // Reads every setting from the settings file (defaults for what is missing or does not
  // parse), then rebuilds the mask list.
  void LoadSettings();
  // Writes every setting into the settings file, keeping its other sections and lines.
  // The file is replaced as a whole, so a failure leaves the previous one intact; throws
  // TSettingsWriteError.
  void SaveSettings() const;
  // Rebuilds SupportMaskList and SupportMaskTypes from the file types and the user masks.
  void RebuildMaskList();
  // Appends "[time stamp]: message" to the activity log unless notlog is set. Throws
  // std::system_error (with the errno) when the log cannot be created, opened or written.
  void WriteLog(std::u16string_view message) const;

  // The file-type number (1 or 2) of an extension with its dot, or 0 when not supported:
  // the first place where the lower-cased extension occurs in SupportMaskList decides.
  int FileTypeOfExtension(std::u16string_view extension) const;

  std::u16string SettingsFilePath() const { return ProgramDir + std::u16string(kSettingsFileName); }
  std::u16string LogFilePath() const { return ProgramDir + std::u16string(kLogFileName); }
  std::u16string JobFilePath() const { return ProgramDir + std::u16string(kJobFileName); }
  std::u16string HelpFilePath() const { return ProgramDir + std::u16string(kHelpFileName); }

  const std::u16string ProgramDir;
  const std::u16string DocumentsDir;
  TSettings Settings;
  TWindowPlacement MainWindowPlacement;
  std::u16string SupportMaskList = u"*.ppt;*.pptx;";
  // One code unit per code unit of SupportMaskList: the file-type number covering it.
  std::u16string SupportMaskTypes = std::u16string(6, char16_t{1}) + std::u16string(7, char16_t{2});

  // The clock WriteLog stamps with (local time); tests set a fixed one.
  std::function<std::tm()> Clock;
};

}  // namespace dkscr
