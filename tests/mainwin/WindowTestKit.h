#pragma once
// Small helpers shared by the suites that drive the main window: files, the log, the
// selection, a desktop that answers for the user, and waiting for a run or a scan to end.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QList>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <functional>
#include <initializer_list>
#include <string>

#include "app/session/AppState.h"
#include "app/shell/SystemDesktop.h"
#include "app/widgets/FileTableModel.h"
#include "app/widgets/MainWindow.h"

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
inline QString LogText(const AppState& state) {
  const QByteArray bytes = ReadBytes(QString::fromStdU16String(state.LogFilePath()));
  if (bytes.size() < 2) return {};
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                            (bytes.size() - 2) / 2);
}

inline void SelectRows(MainWindow& window, std::initializer_list<int> rows) {
  QItemSelectionModel* sel = window.FileTable()->selectionModel();
  sel->clearSelection();
  for (int row : rows)
    sel->select(window.Model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The real clipboard and drop payloads; the file dialog, the default programs and the file
// manager answer as the test says, and what they were asked is kept.
class TestDesktop : public SystemDesktop {
 public:
  QStringList ChooseFiles(QWidget*, const QStringList& nameFilters) override {
    filters = nameFilters;
    ++chosen;
    return files;
  }
  bool OpenUrl(const QUrl& url) override {
    opened << url;
    return opens;
  }
  bool ShowItem(const QUrl& url) override {
    shown << url;
    return shows;
  }

  QStringList files;  // what the file dialog hands back; empty: the user cancels
  QStringList filters;
  int chosen = 0;
  QList<QUrl> opened, shown;
  bool opens = true, shows = false;
};

// Lets the window's run or scan end; false when it takes longer than a minute.
inline bool WaitUntilIdle(MainWindow& window) {
  return QTest::qWaitFor([&] { return !window.Converting() && !window.Scanning(); }, 60000);
}

// A run started the way the menus start it, waited for.
inline bool Convert(MainWindow& window, RunScope scope) {
  window.ConvertFiles(scope);
  return WaitUntilIdle(window);
}

}  // namespace dkscr::test
