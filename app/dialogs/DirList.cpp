#include "app/dialogs/DirList.h"

namespace dkscr {

QStringList SplitDirList(const QString& list) {
  QStringList rows = list.split(QLatin1Char(';'));
  // The last piece is a row only when it holds text: "a;" is one row, "" is none.
  if (rows.last().isEmpty()) rows.removeLast();
  return rows;
}

QString JoinDirList(const QStringList& rows) { return rows.join(QLatin1Char(';')); }

bool CanAddDir(const QString& text, const QStringList& rows) {
  return !text.isEmpty() && !rows.contains(text, Qt::CaseInsensitive);
}

QString FileTypeRowLabel(const QString& description, const QString& familyMasks,
                         const QString& userMasks) {
  QString label = description + QLatin1Char('(') + familyMasks;
  if (!userMasks.isEmpty()) label += QLatin1Char(';') + userMasks;
  return label + QLatin1Char(')');
}

}  // namespace dkscr

