#pragma once
// The window that keeps the list takes the files a later start of the program names (the
// desktop's "Open with" starts the program again): that start hands them over on the session
// bus and ends, rather than opening a second window whose list is never saved. Windows has no
// session bus: there the second window keeps the files itself and does not save its list.
#include <QObject>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace dkscr {

class MainWindow;

// The bus name of the window that keeps the list of this settings folder.
QString ListOwnerName(const std::u16string& programDir);

class ListHandOver : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "io.github.deckscribe.Deckscribe.List")

 public:
  // Offers the window on the session bus; nothing happens without a bus (nor on Windows).
  ListHandOver(MainWindow& window, const std::u16string& programDir);
  ~ListHandOver() override;
  bool Offered() const { return offered_; }

 public slots:
  // Native paths, percent-encoded so that any file name arrives as its bytes.
  Q_SCRIPTABLE void AddPaths(const QStringList& paths);

 private:
  MainWindow& window_;
  QString name_;
  bool offered_ = false;
};

// Hands the paths to the window that keeps the list of this settings folder; false when none
// answers (no bus, no such window).
bool HandToListOwner(const std::u16string& programDir, const std::vector<std::u16string>& paths);

}  // namespace dkscr
