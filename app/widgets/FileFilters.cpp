#include "app/widgets/FileFilters.h"

#include <QCoreApplication>

namespace dkscr {


QString BuildOpenFilter(const AppState& state) {
  QString filter = QCoreApplication::translate("FileAdding", "All Support File") + u'|' +
                   QString::fromStdU16String(state.supportMaskList);
  for (int n = 1; n <= kFileTypeCount; ++n) {
    const QString masks = QString::fromStdU16String(TypeMasks(state.settings, n));
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

}  // namespace dkscr
