// The main window with big folders: Add Dir over 10,000 and 100,000 files, then opening a
// menu, counting the selection, sorting and deleting with every entry in the list. Prints
// seconds per step.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_app_list [sizes...]   (default 10000 100000)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/FileListModel.h"
#include "app/session/AppState.h"
#include "app/MainCommands.h"
#include "app/MainDialogs.h"
#include "app/UnMain.h"

namespace {
using namespace dkscr;

// The add-directory dialog answers OK at once; the other dialogs are not shown.
class QuietDialogs : public TMainDialogs {
 public:
  explicit QuietDialogs(AppState& global, std::u16string folder)
      : FGlobal(global), FFolder(std::move(folder)) {}
  void ShowOptions() override {}
  void ShowViewLog() override {}
  void ShowAbout() override {}
  void ShowHelp() override {}
  bool RunAddDir() override {
    FGlobal.settings.scanFolders = FFolder;
    return true;
  }
  void SetAddDirFolder(const QString&) override {}
  bool AddDirTypeTicked(int) const override { return true; }
  bool AddDirRecursive() const override { return false; }
  void ShowSearchProgress(std::function<void()>) override {}
  void SetSearchFolder(const QString&) override {}
  void CloseSearchProgress() override {}
  bool SearchProgressVisible() const override { return false; }
  bool ConversionProgressVisible() const override { return false; }
  void RaiseProgress() override {}
  void StartConvertProgress(int, std::function<void()>) override {}
  void ShowConvertFile(const QString&) override {}
  void StepConvertProgress() override {}
  void CloseConvertProgress() override {}
  int PromptOverwrite(const QString&) override { return 2; }
  void ShowError(const QString&) override {}

 private:
  AppState& FGlobal;
  std::u16string FFolder;
};

bool MakeEmptyFiles(const std::string& folder, int count) {
  for (int i = 0; i < count; ++i) {
    const std::string path = folder + "/talk" + std::to_string(i) + (i % 2 ? ".ppt" : ".pptx");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    ::close(fd);
  }
  return true;
}

double Seconds(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e9; }

bool RunSize(int count) {
  QTemporaryDir home;
  if (!home.isValid()) return false;
  const std::string root = home.path().toStdString();
  const std::string data = root + "/data";
  ::mkdir(data.c_str(), 0755);
  if (!MakeEmptyFiles(data, count)) return false;

  AppState global(QString::fromStdString(root + "/").toStdU16String(),
                 QString::fromStdString(root + "/docs/").toStdU16String());
  global.settings.noLog = true;
  QuietDialogs dialogs(global, QString::fromStdString(data).toStdU16String());
  TFmMain window(global);
  window.SetDialogs(&dialogs);
  window.show();
  QCoreApplication::processEvents();

  QElapsedTimer t;
  t.start();
  window.MenuItemClick(window.ActionOfTag(kTagAddDir));
  QCoreApplication::processEvents();
  const double addDir = Seconds(t);
  if (window.FileCount() != count) {
    std::fprintf(stderr, "expected %d entries, have %d\n", count, window.FileCount());
    return false;
  }

  t.restart();
  window.ActionMainMenuBar1Paint();  // what opening a menu or the popup does
  const double menu = Seconds(t);
  t.restart();
  const size_t selected = window.SelectedCount();
  const double countSel = Seconds(t);
  t.restart();
  window.MenuItemClick(window.ActionOfTag(kTagSelectAll));
  window.ActionMainMenuBar1Paint();
  QCoreApplication::processEvents();
  const double selectAllMenu = Seconds(t);

  t.restart();
  emit window.ListView1->horizontalHeader()->sectionClicked(kColName);
  QCoreApplication::processEvents();
  const double sortAll = Seconds(t);
  t.restart();
  window.MenuItemClick(window.ActionOfTag(kTagDelete));
  QCoreApplication::processEvents();
  const double deleteAll = Seconds(t);

  std::printf("%7d files: Add Dir %.2f s; menu %.3f s; selection count (%zu) %.3f s; "
              "Select All + menu %.3f s; sort by name, all selected %.2f s; Delete all %.2f s\n",
              count, addDir, menu, selected, countSel, selectAllMenu, sortAll, deleteAll);
  std::fflush(stdout);
  window.SetDialogs(nullptr);
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {10000, 100000};
  for (int n : sizes)
    if (n <= 0 || !RunSize(n)) return 1;
  return 0;
}
