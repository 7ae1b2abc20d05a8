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
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#endif

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

// The folder with "/" at its end; on Windows with "/" for every backslash, as Qt shows paths.
std::string WithSlash(std::string dir) {
#ifdef _WIN32
  for (char& c : dir) {
    if (c == '\\') c = '/';
  }
#endif
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

#ifdef _WIN32
// An environment variable as a native (UTF-8) string: the ANSI one would lose what the
// code page cannot hold.
std::string Environment(const wchar_t* name, bool& set) {
  const wchar_t* value = ::_wgetenv(name);
  set = value != nullptr;
  if (value == nullptr) return {};
  const std::wstring wide(value);
  return PathToNative(std::u16string(wide.begin(), wide.end()));
}

// The roaming application data folder (%APPDATA%), where Windows programs keep their settings.
std::string ConfigHome() {
  bool set = false;
  return Environment(L"APPDATA", set);
}
#else
// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config/.
std::string ConfigHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return WithSlash(xdg);
  const char* home = std::getenv("HOME");
  return WithSlash(std::string(home != nullptr ? home : "") + "/.config");
}
#endif

int MakeDirectory(const std::string& path) {
#ifdef _WIN32
  return ::_wmkdir(WidePath(path).c_str());
#else
  return ::mkdir(path.c_str(), 0777);
#endif
}

// The type bits of what a native path names; 0 when there is nothing (or it cannot be seen).
unsigned FileType(const std::string& path) {
#ifdef _WIN32
  struct _stat64 st {};
  if (::_wstat64(WidePath(path).c_str(), &st) != 0) return 0;
#else
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
#endif
  return static_cast<unsigned>(st.st_mode) & S_IFMT;
}

bool IsFile(const std::string& path) { return FileType(path) == S_IFREG; }

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
    // A drive ("C:") or a share cannot be made, and tells so in more ways than EEXIST.
    if (!partial.empty() && MakeDirectory(partial) != 0 && errno != EEXIST &&
        FileType(partial) != S_IFDIR) {
      return errno;
    }
    if (slash == std::string::npos) break;
    pos = slash + 1;
  }
  // Without its trailing separators, which Windows' stat refuses ("C:/" keeps its own).
  std::string whole = nativePath;
  while (whole.size() > 1 && kPathSeparators.find(whole.back()) != std::string_view::npos &&
         !(whole.size() == 3 && whole[1] == ':'))
    whole.pop_back();
  const unsigned type = FileType(whole);
  if (type == 0) return ENOENT;
  return type == S_IFDIR ? 0 : ENOTDIR;
}

std::string ChooseProgramDir(const ProgramDirPlaces& places) {
  if (!places.homeOverride.empty()) return WithSlash(places.homeOverride);
  const std::string exe = WithSlash(places.executableDir);
  if (!exe.empty() && (IsFile(exe + "Deckscribe.dat") || IsFile(exe + std::string(kPortableMarkerName))))
    return exe;
  return WithSlash(places.configHome) + std::string(kUserFolderName) + "/";
}

std::u16string ProgramDir() {
  ProgramDirPlaces places;
#ifdef _WIN32
  bool set = false;
  places.homeOverride = Environment(L"DECKSCRIBE_HOME", set);
#else
  if (const char* home = std::getenv("DECKSCRIBE_HOME"); home != nullptr) places.homeOverride = home;
#endif
  places.executableDir = ExecutableDir();
  places.configHome = ConfigHome();
  const std::string dir = ChooseProgramDir(places);
  MakeDirectories(dir);  // a failure shows later, when a file cannot be written there
  return PathFromNative(dir);
}

std::u16string DocumentsDir() {
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#ifdef _WIN32
  // Qt's names are UTF-16 as Windows' own (encodeName would go through the ANSI code page).
  return WithTrailingSeparator(dir.toStdU16String());
#else
  const QByteArray native = QFile::encodeName(dir);
  return WithTrailingSeparator(PathFromNative(std::string_view(native.constData(),
                                                               static_cast<size_t>(native.size()))));
#endif
}

int FolderWriteError(const std::string& nativeFolder) {
#ifdef _WIN32
  // The folder's name in UTF-16 (mkstemp would read it in the ANSI code page); a name of our
  // own, made anew while another holds it.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring probe = WidePath(WithSlash(nativeFolder) + ".deckscribe-probe-" +
                                        std::to_string(::_getpid()) + "-" + std::to_string(attempt));
    const int fd = ::_wopen(probe.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                            _S_IREAD | _S_IWRITE);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return errno;
    ::_close(fd);
    ::_wunlink(probe.c_str());
    return 0;
  }
  return EEXIST;
#else
  std::string probe = WithSlash(nativeFolder) + ".deckscribe-probe-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return errno;
  ::close(fd);
  ::unlink(probe.c_str());
  return 0;
#endif
}

}  // namespace dkscr
