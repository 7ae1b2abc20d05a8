#include "app/widgets/FileFilters.h"

#include <QCoreApplication>

namespace dkscr {

QString FileTypeDescription(int typeNumber) {
  // The file-type table's descriptions, marked for translation.
  static const char* const kDescriptions[] = {
      QT_TRANSLATE_NOOP("FileTypes", "PowerPoint 95, 97-2007 File"),
      QT_TRANSLATE_NOOP("FileTypes", "PowerPoint Open XML File"),
  };
  return QCoreApplication::translate("FileTypes", kDescriptions[typeNumber == kFileTypePpt ? 0 : 1]);
}

QString BuildOpenFilter(const AppState& state) {
  QString filter = QCoreApplication::translate("FileAdding", "All Support File") + u'|' +
                   QString::fromStdU16String(state.supportMaskList);
  for (int n = 1; n <= kFileTypeCount; ++n) {
    const QString masks = QString::fromStdU16String(TypeMasks(state.settings, n));
    filter += u'|' + FileTypeDescription(n) + u'(' + masks + u')' + u'|' + masks;
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
