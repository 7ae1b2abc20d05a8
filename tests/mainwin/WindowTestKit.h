#pragma once
// Small helpers shared by the suites that drive the main window: files, the log, the selection.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QTableView>
#include <initializer_list>
#include <string>

#include "app/UnMain.h"

namespace dkscr::test {

inline std::u16string U(const QString& s) { return s.toStdU16String(); }

inline void WriteBytes(const QString& path, const std::string& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes.data(), qint64(bytes.size()));
}

// One-byte files under folder, sub-folders made as needed.
inline void MakeFiles(const QString& folder, std::initializer_list<const char*> names) {
  for (const char* name : names) WriteBytes(folder + "/" + name, "x");
}

inline QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The activity log's text after its byte-order mark.
inline QString LogText(const AppState& global) {
  const QByteArray bytes = ReadBytes(QString::fromStdU16String(global.LogFilePath()));
  if (bytes.size() < 2) return {};
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                            (bytes.size() - 2) / 2);
}

inline void SelectRows(TFmMain& window, std::initializer_list<int> rows) {
  QItemSelectionModel* sel = window.ListView1->selectionModel();
  sel->clearSelection();
  for (int row : rows)
    sel->select(window.Model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace dkscr::test
