#include "app/session/ActivityLog.h"

#include <fcntl.h>
#include <langinfo.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "core/CodePage.h"

namespace dkscr {
namespace {

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

std::system_error LogError(int err, const std::string& path) {
  return std::system_error(err, std::generic_category(),
                           "Unable to write to the activity log " + path);
}

}  // namespace

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
      // A file-name byte that is not UTF-8 (core/NativePath.h): shown as its value.
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
  int fd = ::open(nativePath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    bytes = "\xFF\xFE";
  } else if (errno == EEXIST) {
    fd = ::open(nativePath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
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
