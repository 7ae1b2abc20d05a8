#include "app/Global.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "app/ActivityLog.h"
#include "app/ProfileFile.h"
#include "core/CodePage.h"
#include "core/KelCvtBase.h"
#include "core/NativePath.h"

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
  localtime_r(&now, &local);
  return local;
}

}  // namespace

TGlobal::TGlobal(std::u16string programDir, std::u16string documentsDir)
    : ProgramDir(std::move(programDir)), DocumentsDir(std::move(documentsDir)), Clock(LocalNow) {
  Settings.targetdir = DocumentsDir;
  Settings.adddir = DocumentsDir;
}

void TGlobal::LoadSettings() {
  TProfileFile file;
  // An unreadable file counts as a missing one: the program starts with the defaults.
  if (file.Load(PathToNative(SettingsFilePath())) != 0) file.Parse({});
  const std::string_view s = kSettingsSection;
  const TSettings defaults;
  TSettings& v = Settings;

  v.samedir = file.ReadBool(s, "samedir", defaults.samedir);
  const auto targetdir = file.ReadString(s, "targetdir");
  v.targetdir = targetdir ? DecodeFolderValue(*targetdir) : DocumentsDir;
  const auto adddir = file.ReadString(s, "adddir");
  v.adddir = adddir ? DecodeFolderValue(*adddir) : DocumentsDir;
  // Out-of-range values would wrap into another policy (256 into "Auto rename", 257 into
  // "Overwrite"), so they give the default instead.
  const int32_t fileovertp = file.ReadInteger(s, "fileovertp", defaults.fileovertp);
  v.fileovertp = (fileovertp >= 0 && fileovertp <= 255) ? static_cast<uint8_t>(fileovertp)
                                                        : defaults.fileovertp;
  v.sourcecode = file.ReadInteger(s, "sourcecode", defaults.sourcecode);
  v.targetcode = file.ReadInteger(s, "targetcode", defaults.targetcode);
  v.userfileext1 = DecodeAnsiValue(file.ReadString(s, "userfileext1", ""));
  v.userfileext2 = DecodeAnsiValue(file.ReadString(s, "userfileext2", ""));
  RebuildMaskList();
  v.selext1 = file.ReadBool(s, "selext1", defaults.selext1);
  v.selext2 = file.ReadBool(s, "selext2", defaults.selext2);
  v.recursive = file.ReadBool(s, "recursive", defaults.recursive);
  v.pagebreak = file.ReadBool(s, "pagebreak", defaults.pagebreak);
  v.textorder = file.ReadInteger(s, "textorder", defaults.textorder);
  v.keepraw = file.ReadInteger(s, "keepraw", defaults.keepraw);
  v.notlog = file.ReadBool(s, "notlog", defaults.notlog);
  const int32_t textform = file.ReadInteger(s, "textform", defaults.textform);
  v.textform = textform >= kTextFormSlides && textform <= kTextFormMarkdown ? textform : defaults.textform;

  const std::string_view w = kWindowSection;
  TWindowPlacement& p = MainWindowPlacement;
  p.left = file.ReadInteger(w, "left", 0);
  p.top = file.ReadInteger(w, "top", 0);
  p.width = file.ReadInteger(w, "width", 0);
  p.height = file.ReadInteger(w, "height", 0);
  p.maximized = file.ReadBool(w, "maximized", false);
  p.known = p.width > 0 && p.height > 0;
}

void TGlobal::SaveSettings() const {
  const std::string path = PathToNative(SettingsFilePath());
  TProfileFile file;
  // Keep what else the file holds; if it exists but cannot be read, writing would lose it.
  if (file.Load(path) != 0) throw TSettingsWriteError("Unable to write to " + path);
  const std::string_view s = kSettingsSection;
  const TSettings& v = Settings;
  file.WriteBool(s, "samedir", v.samedir);
  file.WriteString(s, "targetdir", EncodeFolderValue(v.targetdir));
  file.WriteString(s, "adddir", EncodeFolderValue(v.adddir));
  file.WriteInteger(s, "fileovertp", v.fileovertp);
  file.WriteInteger(s, "sourcecode", v.sourcecode);
  file.WriteInteger(s, "targetcode", v.targetcode);
  file.WriteString(s, "userfileext1", EncodeAnsiValue(v.userfileext1));
  file.WriteString(s, "userfileext2", EncodeAnsiValue(v.userfileext2));
  file.WriteBool(s, "selext1", v.selext1);
  file.WriteBool(s, "selext2", v.selext2);
  file.WriteBool(s, "recursive", v.recursive);
  file.WriteBool(s, "pagebreak", v.pagebreak);
  file.WriteInteger(s, "textorder", v.textorder);
  file.WriteInteger(s, "keepraw", v.keepraw);
  file.WriteBool(s, "notlog", v.notlog);
  file.WriteInteger(s, "textform", v.textform);
  if (const TWindowPlacement& p = MainWindowPlacement; p.known) {
    const std::string_view w = kWindowSection;
    file.WriteInteger(w, "left", p.left);
    file.WriteInteger(w, "top", p.top);
    file.WriteInteger(w, "width", p.width);
    file.WriteInteger(w, "height", p.height);
    file.WriteBool(w, "maximized", p.maximized);
  }
  if (file.Save(path) != 0) throw TSettingsWriteError("Unable to write to " + path);
}

void TGlobal::RebuildMaskList() {
  SupportMaskList.clear();
  SupportMaskTypes.clear();
  for (int n = 1; n <= kFileTypeCount; ++n) {
    SupportMaskList += LowerAscii(FileTypeRow(n).DefaultMask);
    SupportMaskList += u';';
    const std::u16string& user = n == 1 ? Settings.userfileext1 : Settings.userfileext2;
    if (!user.empty()) {
      SupportMaskList += LowerAscii(user);
      SupportMaskList += u';';
    }
    SupportMaskTypes.append(SupportMaskList.size() - SupportMaskTypes.size(),
                            static_cast<char16_t>(n));
  }
}

void TGlobal::WriteLog(std::u16string_view message) const {
  if (Settings.notlog) return;
  const std::tm now = Clock ? Clock() : LocalNow();
  AppendLogLine(PathToNative(LogFilePath()), FormatLogLine(now, message));
}

int TGlobal::FileTypeOfExtension(std::u16string_view extension) const {
  if (extension.empty()) return 0;
  const size_t pos = SupportMaskList.find(LowerAscii(extension));
  if (pos == std::u16string::npos || pos >= SupportMaskTypes.size()) return 0;
  return SupportMaskTypes[pos];
}

}  // namespace dkscr
