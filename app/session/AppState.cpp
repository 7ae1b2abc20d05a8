#include "app/session/AppState.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "app/session/ActivityLog.h"
#include "app/session/ProfileFile.h"
#include "text/CodePage.h"
#include "text/Encode.h"
#include "platform/NativePath.h"

namespace dkscr {
namespace {

// Folder settings are stored as UTF-8. A folder name whose bytes are not UTF-8 travels as
// its native bytes both ways (escaped code units in memory), so no folder is lost.
std::string EncodeFolderValue(std::u16string_view value) { return PathToNative(value); }
std::u16string DecodeFolderValue(std::string_view bytes) { return PathFromNative(bytes); }

// The user masks are plain text in the system's code page.
std::string EncodeAnsiValue(std::u16string_view value) { return WideToCodePage(0, value); }
std::u16string DecodeAnsiValue(std::string_view bytes) { return CodePageToWide(0, bytes); }

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return local;
}

}  // namespace

std::u16string TypeMasks(const Settings& settings, int typeNumber) {
  std::u16string masks(FileTypeRow(typeNumber).DefaultMask);
  const std::u16string& user = typeNumber == 1 ? settings.userMasks1 : settings.userMasks2;
  if (!user.empty()) {
    masks += u';';
    masks += user;
  }
  return masks;
}

AppState::AppState(std::u16string programDirectory, std::u16string documentsDirectory)
    : programDir(std::move(programDirectory)), documentsDir(std::move(documentsDirectory)), clock(LocalNow) {
  settings.targetDir = documentsDir;
  settings.scanFolders = documentsDir;
}

void AppState::LoadSettings() {
  ProfileFile file;
  // An unreadable file counts as a missing one: the program starts with the defaults.
  if (file.Load(PathToNative(SettingsFilePath())) != 0) file.Parse({});
  const std::string_view s = kSettingsSection;
  const Settings defaults;
  Settings& v = settings;

  v.targetBesideSource = file.ReadBool(s, "samedir", defaults.targetBesideSource);
  const auto targetdir = file.ReadString(s, "targetdir");
  v.targetDir = targetdir ? DecodeFolderValue(*targetdir) : documentsDir;
  const auto adddir = file.ReadString(s, "adddir");
  v.scanFolders = adddir ? DecodeFolderValue(*adddir) : documentsDir;
  // Out-of-range values would wrap into another policy (256 into "Auto rename", 257 into
  // "Overwrite"), so they give the default instead.
  const int32_t fileovertp = file.ReadInteger(s, "fileovertp", defaults.overwritePolicy);
  v.overwritePolicy = (fileovertp >= 0 && fileovertp <= 255) ? static_cast<uint8_t>(fileovertp)
                                                        : defaults.overwritePolicy;
  v.codePage = file.ReadInteger(s, "sourcecode", defaults.codePage);
  v.targetCodePage = file.ReadInteger(s, "targetcode", defaults.targetCodePage);
  v.userMasks1 = DecodeAnsiValue(file.ReadString(s, "userfileext1", ""));
  v.userMasks2 = DecodeAnsiValue(file.ReadString(s, "userfileext2", ""));
  RebuildMaskList();
  v.scanType1 = file.ReadBool(s, "selext1", defaults.scanType1);
  v.scanType2 = file.ReadBool(s, "selext2", defaults.scanType2);
  v.scanRecursive = file.ReadBool(s, "recursive", defaults.scanRecursive);
  v.pageBreak = file.ReadBool(s, "pagebreak", defaults.pageBreak);
  v.textOrder = file.ReadInteger(s, "textorder", defaults.textOrder);
  v.keepRaw = file.ReadInteger(s, "keepraw", defaults.keepRaw);
  v.noLog = file.ReadBool(s, "notlog", defaults.noLog);
  const int32_t textform = file.ReadInteger(s, "textform", defaults.textForm);
  v.textForm = textform >= kTextFormSlides && textform <= kTextFormMarkdown ? textform : defaults.textForm;

  const std::string_view w = kWindowSection;
  WindowPlacement& p = windowPlacement;
  p.left = file.ReadInteger(w, "left", 0);
  p.top = file.ReadInteger(w, "top", 0);
  p.width = file.ReadInteger(w, "width", 0);
  p.height = file.ReadInteger(w, "height", 0);
  p.maximized = file.ReadBool(w, "maximized", false);
  p.known = p.width > 0 && p.height > 0;
}

void AppState::SaveSettings() const {
  const std::string path = PathToNative(SettingsFilePath());
  ProfileFile file;
  // Keep what else the file holds; if it exists but cannot be read, writing would lose it.
  if (file.Load(path) != 0) throw SettingsWriteError("Unable to write to " + path);
  const std::string_view s = kSettingsSection;
  const Settings& v = settings;
  file.WriteBool(s, "samedir", v.targetBesideSource);
  file.WriteString(s, "targetdir", EncodeFolderValue(v.targetDir));
  file.WriteString(s, "adddir", EncodeFolderValue(v.scanFolders));
  file.WriteInteger(s, "fileovertp", v.overwritePolicy);
  file.WriteInteger(s, "sourcecode", v.codePage);
  file.WriteInteger(s, "targetcode", v.targetCodePage);
  file.WriteString(s, "userfileext1", EncodeAnsiValue(v.userMasks1));
  file.WriteString(s, "userfileext2", EncodeAnsiValue(v.userMasks2));
  file.WriteBool(s, "selext1", v.scanType1);
  file.WriteBool(s, "selext2", v.scanType2);
  file.WriteBool(s, "recursive", v.scanRecursive);
  file.WriteBool(s, "pagebreak", v.pageBreak);
  file.WriteInteger(s, "textorder", v.textOrder);
  file.WriteInteger(s, "keepraw", v.keepRaw);
  file.WriteBool(s, "notlog", v.noLog);
  file.WriteInteger(s, "textform", v.textForm);
  if (const WindowPlacement& p = windowPlacement; p.known) {
    const std::string_view w = kWindowSection;
    file.WriteInteger(w, "left", p.left);
    file.WriteInteger(w, "top", p.top);
    file.WriteInteger(w, "width", p.width);
    file.WriteInteger(w, "height", p.height);
    file.WriteBool(w, "maximized", p.maximized);
  }
  if (file.Save(path) != 0) throw SettingsWriteError("Unable to write to " + path);
}

void AppState::RebuildMaskList() {
  supportMaskList.clear();
  supportMaskTypes.clear();
  for (int n = 1; n <= kFileTypeCount; ++n) {
    supportMaskList += LowerAscii(FileTypeRow(n).DefaultMask);
    supportMaskList += u';';
    const std::u16string& user = n == 1 ? settings.userMasks1 : settings.userMasks2;
    if (!user.empty()) {
      supportMaskList += LowerAscii(user);
      supportMaskList += u';';
    }
    supportMaskTypes.append(supportMaskList.size() - supportMaskTypes.size(),
                            static_cast<char16_t>(n));
  }
}

void AppState::WriteLog(std::u16string_view message) const {
  if (settings.noLog) return;
  const std::tm now = clock ? clock() : LocalNow();
  AppendLogLine(PathToNative(LogFilePath()), FormatLogLine(now, message));
}

int AppState::FileTypeOfExtension(std::u16string_view extension) const {
  if (extension.empty()) return 0;
  const size_t pos = supportMaskList.find(LowerAscii(extension));
  if (pos == std::u16string::npos || pos >= supportMaskTypes.size()) return 0;
  return supportMaskTypes[pos];
}

}  // namespace dkscr
