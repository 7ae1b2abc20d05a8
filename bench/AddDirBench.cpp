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
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/session/AppState.h"
#include "app/session/Session.h"
#include "app/session/TargetConverter.h"
#include "app/shell/SystemDesktop.h"
#include "app/widgets/CommandTable.h"
#include "app/widgets/MainDialogs.h"
#include "app/widgets/MainWindow.h"

namespace {
using namespace dkscr;

// The add-folder dialog answers OK at once; the other dialogs are not shown.
class QuietDialogs : public MainDialogs {
 public:
  QuietDialogs(AppState& state, std::u16string folder) : state_(state), folder_(std::move(folder)) {}
  void Create(QWidget*) override {}
  bool ShowOptions() override { return false; }
  void ShowLog() override {}
  void ShowAbout() override {}
  void ShowHelp() override {}
  bool RunAddFolder() override {
    state_.settings.scanFolders = folder_;
    return true;
  }
  void SetAddFolderText(const QString&) override {}
  bool AddFolderTypeTicked(int) const override { return true; }
  bool AddFolderRecursive() const override { return false; }
  void ShowScanProgress(std::function<void()>) override {}
  void SetScanFolder(const QString&) override {}
  void CloseScanProgress() override {}
  bool ScanProgressVisible() const override { return false; }
  void ShowRunProgress(const RunProgress&, std::function<void()>) override {}
  void CloseRunProgress() override {}
  bool RunProgressVisible() const override { return false; }
  OverwriteAnswer AskOverwrite(const QString&) override { return OverwriteAnswer::kCancel; }
  void RaiseProgress() override {}
  void ShowError(const QString&) override {}

 private:
  AppState& state_;
  std::u16string folder_;
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

  AppState state(QString::fromStdString(root + "/").toStdU16String(),
                 QString::fromStdString(root + "/docs/").toStdU16String());
  state.settings.noLog = true;
  Session session(state);
  QuietDialogs dialogs(state, QString::fromStdString(data).toStdU16String());
  SystemDesktop desktop;
  StandardTargetConverter converter;
  MainWindow window(session, dialogs, desktop, converter);
  window.show();
  QCoreApplication::processEvents();

  QElapsedTimer t;
  t.start();
  window.RunCommand(kTagAddDir);
  while (window.Scanning()) {
    QCoreApplication::processEvents();
    QThread::usleep(200);
  }
  QCoreApplication::processEvents();
  const double addDir = Seconds(t);
  if (session.Count() != count) {
    std::fprintf(stderr, "expected %d entries, have %d\n", count, session.Count());
    return false;
  }

  t.restart();
  window.UpdateCommandStates();  // what opening a menu or the popup does
  const double menu = Seconds(t);
  t.restart();
  const size_t selected = window.SelectedRows().size();
  const double countSel = Seconds(t);
  t.restart();
  window.RunCommand(kTagSelectAll);
  window.UpdateCommandStates();
  QCoreApplication::processEvents();
  const double selectAllMenu = Seconds(t);

  t.restart();
  emit window.FileTable()->horizontalHeader()->sectionClicked(kColName);
  QCoreApplication::processEvents();
  const double sortAll = Seconds(t);
  t.restart();
  window.RunCommand(kTagDelete);
  QCoreApplication::processEvents();
  const double deleteAll = Seconds(t);

  std::printf("%7d files: Add Dir %.2f s; menu %.3f s; selection count (%zu) %.3f s; "
              "Select All + menu %.3f s; sort by name, all selected %.2f s; Delete all %.2f s\n",
              count, addDir, menu, selected, countSel, selectAllMenu, sortAll, deleteAll);
  std::fflush(stdout);
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
