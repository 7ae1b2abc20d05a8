#include "app/FileAdding.h"

#include <QCoreApplication>
#include <algorithm>

namespace dkscr {

namespace {
std::u16string MasksOf(const Settings& settings, int typeNumber) {
  std::u16string masks(FileTypeRow(typeNumber).DefaultMask);
  const std::u16string& user = typeNumber == 1 ? settings.userMasks1 : settings.userMasks2;
  if (!user.empty()) {
    masks += u';';
    masks += user;
  }
  return masks;
}
}  // namespace

QString BuildOpenFilter(const AppState& global) {
  QString filter = QCoreApplication::translate("FileAdding", "All Support File") + u'|' +
                   QString::fromStdU16String(global.supportMaskList);
  for (int n = 1; n <= kFileTypeCount; ++n) {
    const QString masks = QString::fromStdU16String(MasksOf(global.settings, n));
    filter += u'|' + QString::fromStdU16String(std::u16string(FileTypeRow(n).Description)) +
              u'(' + masks + u')' + u'|' + masks;
  }
  return filter;
}

QStringList QtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
    out << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return out;
}

std::u16string BuildSearchExts(const Settings& settings, bool type1, bool type2) {
  std::u16string exts;
  for (int n = 1; n <= kFileTypeCount; ++n) {
    if (!(n == 1 ? type1 : type2)) continue;
    exts += MasksOf(settings, n);
    exts += u';';
  }
  std::replace(exts.begin(), exts.end(), u';', u'|');
  return exts;
}

std::vector<std::u16string> SplitScanFolders(std::u16string_view adddir) {
  std::vector<std::u16string> folders;
  size_t start = 0;
  while (start <= adddir.size()) {
    size_t end = adddir.find(u';', start);
    if (end == std::u16string_view::npos) end = adddir.size();
    const std::u16string_view piece = adddir.substr(start, end - start);
    if (piece.find_first_not_of(u" \t") != std::u16string_view::npos)
      folders.emplace_back(piece);
    start = end + 1;
  }
  return folders;
}

}  // namespace dkscr
