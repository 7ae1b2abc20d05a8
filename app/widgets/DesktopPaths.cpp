#include "app/widgets/DesktopPaths.h"

#include <dirent.h>

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <memory>
#include <string>

#include "platform/NativePath.h"

namespace dkscr {

std::u16string PathFromDialogName(const QString& name) {
  if (!name.contains(QChar(QChar::ReplacementCharacter)) || !name.startsWith(u'/'))
    return name.toStdU16String();
  std::string native;
  const QStringList parts = name.split(u'/');
  for (qsizetype i = 1; i < parts.size(); ++i) {
    const QString& part = parts[i];
    std::string found;
    if (part.contains(QChar(QChar::ReplacementCharacter))) {
      const std::string folder = native.empty() ? std::string("/") : native;
      std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
      while (dir) {
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) break;
        if (QFile::decodeName(entry->d_name) == part) {
          found = entry->d_name;
          break;
        }
      }
    }
    if (found.empty()) found = part.toStdString();
    native += '/';
    native += found;
  }
  return PathFromNative(native);
}

QUrl UrlOfPath(std::u16string_view path) {
  const std::string native = PathToNative(path);
  if (native.empty() || native[0] != '/') return QUrl::fromLocalFile(QString::fromStdU16String(std::u16string(path)));
  const QByteArray bytes(native.data(), qsizetype(native.size()));
  return QUrl::fromEncoded(QByteArrayLiteral("file://") + bytes.toPercentEncoding("/"),
                           QUrl::StrictMode);
}

}  // namespace dkscr
