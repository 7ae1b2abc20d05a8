#include "app/session/ActivityLog.h"

#include <fcntl.h>
#include <unistd.h>
#ifdef _WIN32
#include <sys/stat.h>
#include <windows.h>
#else
#include <langinfo.h>
#endif

#include <cerrno>
#include <system_error>

#include "platform/NativePath.h"
#include "text/CodePage.h"

namespace dkscr {
namespace {

#ifdef _WIN32
// Binary: in text mode every 0A byte of the UTF-16 text would become 0D 0A.
constexpr int kOpenFlags = O_BINARY | O_NOINHERIT;

int OpenLog(const std::string& nativePath, int flags) {
  return ::_wopen(WidePath(nativePath).c_str(), flags | kOpenFlags, _S_IREAD | _S_IWRITE);
}
#else
constexpr int kOpenFlags = O_CLOEXEC;

int OpenLog(const std::string& nativePath, int flags) {
  return ::open(nativePath.c_str(), flags | kOpenFlags, 0666);
}

std::string Strftime(const char* format, const std::tm& local, locale_t loc) {
  if (format == nullptr || format[0] == '\0') return {};
  std::string out(128, '\0');
  while (out.size() <= 4096) {
    const size_t n = ::strftime_l(out.data(), out.size(), format, &local, loc);
    if (n > 0) {
      out.resize(n);
      return out;
    }
    out.resize(out.size() * 2);
  }
  return {};
}
#endif

std::system_error LogError(int err, const std::string& path) {
  return std::system_error(err, std::generic_category(),
                           "Unable to write to the activity log " + path);
}

}  // namespace

#ifdef _WIN32
std::u16string FormatLogTimeStamp(const std::tm& local, locale_t) {
  SYSTEMTIME when{};
  when.wYear = static_cast<WORD>(local.tm_year + 1900);
  when.wMonth = static_cast<WORD>(local.tm_mon + 1);
  when.wDayOfWeek = static_cast<WORD>(local.tm_wday);
  when.wDay = static_cast<WORD>(local.tm_mday);
  when.wHour = static_cast<WORD>(local.tm_hour);
  when.wMinute = static_cast<WORD>(local.tm_min);
  when.wSecond = static_cast<WORD>(local.tm_sec);
  wchar_t buffer[256];
  std::u16string text;
  int n = ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, buffer, 256,
                            nullptr);
  if (n > 0) text.assign(buffer, buffer + n - 1);
  if (local.tm_hour != 0 || local.tm_min != 0 || local.tm_sec != 0) {
    n = ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &when, nullptr, buffer, 256);
    if (n > 0) {
      text += u' ';
      text.append(buffer, buffer + n - 1);
    }
  }
  return text;
}
#else
std::u16string FormatLogTimeStamp(const std::tm& local, locale_t loc) {
  locale_t own = static_cast<locale_t>(0);
  if (loc == static_cast<locale_t>(0)) {
    own = ::duplocale(LC_GLOBAL_LOCALE);
    if (own == static_cast<locale_t>(0)) own = ::newlocale(LC_ALL_MASK, "C", own);
    if (own == static_cast<locale_t>(0)) return {};
    loc = own;
  }
  std::string text = Strftime(::nl_langinfo_l(D_FMT, loc), local, loc);
  if (local.tm_hour != 0 || local.tm_min != 0 || local.tm_sec != 0) {
    text += ' ';
    text += Strftime(::nl_langinfo_l(T_FMT, loc), local, loc);
  }
  const int32_t codePage = CodePageOfCodeset(::nl_langinfo_l(CODESET, loc));
  if (own != static_cast<locale_t>(0)) ::freelocale(own);
  return CodePageToWide(codePage, text);
}
#endif

std::u16string ValidLogText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    const bool high = u >= 0xD800 && u <= 0xDBFF;
    const bool low = u >= 0xDC00 && u <= 0xDFFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      out += u;
      out += text[++i];
    } else if (low && u >= 0xDC80 && u <= 0xDCFF) {
      // A file-name byte that is not UTF-8 (platform/NativePath.h): shown as its value.
      static constexpr char16_t kHex[] = u"0123456789ABCDEF";
      const unsigned byte = u - 0xDC00u;
      out += u"\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else if (high || low) {
      out += u'\uFFFD';
    } else {
      out += u;
    }
  }
  return out;
}

std::u16string FormatLogLine(const std::tm& local, std::u16string_view message, locale_t loc) {
  std::u16string line = u"[";
  line += FormatLogTimeStamp(local, loc);
  line += u"]: ";
  line += ValidLogText(message);
  line += u"\r\n";
  return line;
}

void AppendLogLine(const std::string& nativePath, std::u16string_view line) {
  std::string bytes;
  int fd = OpenLog(nativePath, O_WRONLY | O_CREAT | O_EXCL);
  if (fd >= 0) {
    bytes = "\xFF\xFE";
  } else if (errno == EEXIST) {
    fd = OpenLog(nativePath, O_WRONLY | O_APPEND);
  }
  if (fd < 0) throw LogError(errno, nativePath);
  bytes.reserve(bytes.size() + line.size() * 2);
  for (char16_t u : line) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const ssize_t n = ::write(fd, rest.data(), rest.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      throw LogError(err, nativePath);
    }
    rest.remove_prefix(static_cast<size_t>(n));
  }
  if (::close(fd) != 0) throw LogError(errno, nativePath);
}

}  // namespace dkscr
