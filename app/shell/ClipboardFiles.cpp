#include "app/shell/ClipboardFiles.h"

#include <QtCore/QMimeData>

#include "platform/NativePath.h"

namespace dkscr {

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int hi = HexValue(text[i + 1]);
      const int lo = HexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != prefix[i]) return false;
  }
  return true;
}

std::string_view Trim(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
    line.remove_suffix(1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return line;
}

template <typename Fn>
void ForEachLine(std::string_view data, Fn fn) {
  size_t start = 0;
  while (start <= data.size()) {
    size_t end = data.find('\n', start);
    if (end == std::string_view::npos) end = data.size();
    fn(Trim(data.substr(start, end - start)));
    start = end + 1;
  }
}

void AddLine(std::string_view line, std::vector<std::u16string>& out) {
  if (line.empty() || line.front() == '#') return;
  std::u16string path;
  if (line.front() == '/') {
    out.push_back(PathFromNative(line));
  } else if (FileUriToPath(line, path)) {
    out.push_back(std::move(path));
  }
}
}  // namespace

bool FileUriToPath(std::string_view uri, std::u16string& path) {
  if (!StartsWithNoCase(uri, "file:")) return false;
  std::string_view rest = uri.substr(5);
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return false;
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && !(host.size() == 9 && StartsWithNoCase(host, "localhost"))) return false;
    rest.remove_prefix(slash);
  }
  if (rest.empty() || rest.front() != '/') return false;
  // A query or fragment is not part of a file's name.
  const size_t cut = rest.find_first_of("?#");
  if (cut != std::string_view::npos) rest = rest.substr(0, cut);
  const std::string bytes = PercentDecode(rest);
  if (bytes.find('\0') != std::string::npos) return false;
  path = PathFromNative(bytes);
  return true;
}

std::vector<std::u16string> ParseUriList(std::string_view data) {
  std::vector<std::u16string> out;
  ForEachLine(data, [&](std::string_view line) { AddLine(line, out); });
  return out;
}

std::vector<std::u16string> ParseCopiedFiles(std::string_view data) {
  std::vector<std::u16string> out;
  bool first = true;
  ForEachLine(data, [&](std::string_view line) {
    if (first) {
      first = false;
      if (line == "copy" || line == "cut") return;
    }
    AddLine(line, out);
  });
  return out;
}

std::vector<std::u16string> FilesFromMime(const QMimeData* mime) {
  if (mime == nullptr) return {};
  if (mime->hasFormat(kMimeUriList)) {
    const QByteArray data = mime->data(kMimeUriList);
    auto files = ParseUriList(std::string_view(data.constData(), size_t(data.size())));
    if (!files.empty()) return files;
  }
  if (mime->hasFormat(kMimeGnomeCopiedFiles)) {
    const QByteArray data = mime->data(kMimeGnomeCopiedFiles);
    return ParseCopiedFiles(std::string_view(data.constData(), size_t(data.size())));
  }
  return {};
}

QMimeData* MimeForFiles(const std::vector<std::u16string>& paths) {
  QByteArray uris;
  for (const std::u16string& p : paths) {
    const std::string native = PathToNative(p);
    uris += "file://";
    uris += QByteArray(native.data(), qsizetype(native.size())).toPercentEncoding("/");
    uris += "\r\n";
  }
  auto* mime = new QMimeData;
  mime->setData(kMimeUriList, uris);
  QByteArray copied = "copy\n" + uris;
  copied.replace("\r\n", "\n");
  mime->setData(kMimeGnomeCopiedFiles, copied.trimmed());
  return mime;
}

}  // namespace dkscr
