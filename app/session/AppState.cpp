#include "app/session/AppState.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
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
  std::u16string masks = FamilyMasks(typeNumber);
  const std::u16string family = u";" + masks + u";";
  const std::u16string& user = typeNumber == 1 ? settings.userMasks1 : settings.userMasks2;
  // The user's masks follow, those the family holds already left out.
  size_t start = 0;
  while (!user.empty() && start <= user.size()) {
    const size_t end = std::min(user.find(u';', start), user.size());
    const std::u16string mask = user.substr(start, end - start);
    if (!mask.empty() && family.find(u";" + LowerAscii(mask) + u";") == std::u16string::npos) {
      masks += u';';
      masks += mask;
    }
    start = end + 1;
  }
  return masks;
}

AppState::AppState(std::u16string programDirectory, std::u16string documentsDirectory)
    : programDir(std::move(programDirectory)), documentsDir(std::move(documentsDirectory)), clock(LocalNow) {
  settings.targetDir = documentsDir;
  settings.scanFolders = documentsDir;
  RebuildMaskList();
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
  v.textForm = textform >= kTextFormSlides && textform <= kTextFormJson ? textform : defaults.textForm;

  const std::string_view w = kWindowSection;
  WindowPlacement& p = windowPlacement;
  p.left = file.ReadInteger(w, "left", 0);
  p.top = file.ReadInteger(w, "top", 0);
  p.width = file.ReadInteger(w, "width", 0);
  p.height = file.ReadInteger(w, "height", 0);
  p.maximized = file.ReadBool(w, "maximized", false);
  p.known = p.width > 0 && p.height > 0;
  p.columnWidths.clear();
  const std::string columns = file.ReadString(w, "columns", "");
  for (size_t start = 0; !columns.empty() && start <= columns.size();) {
    const size_t end = std::min(columns.find(',', start), columns.size());
    int32_t width = 0;
    const auto [ptr, ec] = std::from_chars(columns.data() + start, columns.data() + end, width);
    if (ec != std::errc() || ptr != columns.data() + end || width <= 0) {
      p.columnWidths.clear();  // a damaged list: the defaults, not a part of it
      break;
    }
    p.columnWidths.push_back(width);
    start = end + 1;
  }
  p.sortColumn = file.ReadInteger(w, "sortcolumn", -1);
  p.sortAscending = file.ReadBool(w, "sortascending", true);
  p.previewHeight = std::max(0, file.ReadInteger(w, "preview", 0));
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
    std::string columns;
    for (int32_t width : p.columnWidths) {
      if (!columns.empty()) columns += ',';
      columns += std::to_string(width);
    }
    file.WriteString(w, "columns", columns);
    file.WriteInteger(w, "sortcolumn", p.sortColumn);
    file.WriteBool(w, "sortascending", p.sortAscending);
    file.WriteInteger(w, "preview", p.previewHeight);
  }
  if (file.Save(path) != 0) throw SettingsWriteError("Unable to write to " + path);
}

void AppState::RebuildMaskList() {
  supportMaskList.clear();
  for (int n = 1; n <= kFileTypeCount; ++n) {
    supportMaskList += LowerAscii(TypeMasks(settings, n));
    supportMaskList += u';';
  }
}

void AppState::WriteLog(std::u16string_view message) const {
  if (settings.noLog) return;
  const std::tm now = clock ? clock() : LocalNow();
  AppendLogLine(PathToNative(LogFilePath()), FormatLogLine(now, message));
}

int AppState::FileTypeOfExtension(std::u16string_view extension) const {
  if (extension.size() < 2 || extension.front() != u'.') return 0;
  if (const int family = FamilyTypeOfExtension(extension); family != 0) return family;
  const std::u16string wanted = u"*" + LowerAscii(extension);
  for (int n = 1; n <= kFileTypeCount; ++n) {
    const std::u16string masks = LowerAscii(n == 1 ? settings.userMasks1 : settings.userMasks2);
    size_t start = 0;
    while (start <= masks.size()) {
      const size_t end = std::min(masks.find(u';', start), masks.size());
      std::u16string_view mask = std::u16string_view(masks).substr(start, end - start);
      while (!mask.empty() && mask.front() == u' ') mask.remove_prefix(1);
      while (!mask.empty() && mask.back() == u' ') mask.remove_suffix(1);
      if (mask == wanted) return n;
      start = end + 1;
    }
  }
  return 0;
}

}  // namespace dkscr
