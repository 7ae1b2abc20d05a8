#pragma once
// Text rules of the directory and add-directory dialogs, kept apart from the windows.

#include <QString>
#include <QStringList>

namespace dkscr {

// Rows of a ";"-separated directory list: an empty piece between two ";" is an empty row,
// a ";" at the very end gives none, and an empty list gives no rows.
QStringList SplitDirList(const QString& list);

// The rows joined with ";" in their order (empty when there are none).
QString JoinDirList(const QStringList& rows);

// Whether text may be added as a new row: not empty and not already a row (letter case
// ignored).
bool CanAddDir(const QString& text, const QStringList& rows);

// A row label of the add-directory dialog's file-type list:
// description "(" the family's masks [";" user masks] ")".
QString FileTypeRowLabel(const QString& description, const QString& familyMasks,
                         const QString& userMasks);

}  // namespace dkscr
