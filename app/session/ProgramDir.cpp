#include "app/session/ProgramDir.h"

#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/NativePath.h"

namespace dkscr {
namespace {

#ifdef _WIN32
std::string ExecutableDir() {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (true) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      const std::string path = PathToNative(std::u16string(buffer.data(), buffer.data() + n));
      const size_t slash = path.find_last_of(kPathSeparators);
      return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
    if (buffer.size() >= (1u << 16)) return {};
    buffer.resize(buffer.size() * 2);
  }
}
#else
std::string ExecutableDir() {
  std::vector<char> buffer(4096);
  while (true) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<size_t>(n));
      const size_t slash = path.rfind('/');
      return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
    if (buffer.size() >= (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
}
#endif

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config/.
std::string ConfigHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return WithSlash(xdg);
  const char* home = std::getenv("HOME");
  return WithSlash(std::string(home != nullptr ? home : "") + "/.config");
}

int MakeDirectory(const std::string& path) {
#ifdef _WIN32
  return ::_wmkdir(WidePath(path).c_str());
#else
  return ::mkdir(path.c_str(), 0777);
#endif
}

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::u16string WithTrailingSeparator(std::u16string path) {
  if (path.empty() || path.back() != u'/') path += u'/';
  return path;
}

int MakeDirectories(const std::string& nativePath) {
  std::string partial;
  size_t pos = 0;
  while (pos <= nativePath.size()) {
    const size_t slash = nativePath.find('/', pos);
    const size_t end = slash == std::string::npos ? nativePath.size() : slash;
    partial = nativePath.substr(0, end);
    if (!partial.empty() && MakeDirectory(partial) != 0 && errno != EEXIST) {
      return errno;
    }
    if (slash == std::string::npos) break;
    pos = slash + 1;
  }
  struct stat st {};
  if (::stat(nativePath.c_str(), &st) != 0) return errno;
  return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

std::string ChooseProgramDir(const ProgramDirPlaces& places) {
  if (!places.homeOverride.empty()) return WithSlash(places.homeOverride);
  const std::string exe = WithSlash(places.executableDir);
  if (!exe.empty() && (IsFile(exe + "Deckscribe.dat") || IsFile(exe + std::string(kPortableMarkerName))))
    return exe;
  return WithSlash(places.configHome) + "deckscribe/";
}

std::u16string ProgramDir() {
  ProgramDirPlaces places;
  if (const char* home = std::getenv("DECKSCRIBE_HOME"); home != nullptr) places.homeOverride = home;
  places.executableDir = ExecutableDir();
  places.configHome = ConfigHome();
  const std::string dir = ChooseProgramDir(places);
  MakeDirectories(dir);  // a failure shows later, when a file cannot be written there
  return PathFromNative(dir);
}

std::u16string DocumentsDir() {
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QByteArray native = QFile::encodeName(dir);
  return WithTrailingSeparator(PathFromNative(std::string_view(native.constData(),
                                                               static_cast<size_t>(native.size()))));
}

}  // namespace dkscr
