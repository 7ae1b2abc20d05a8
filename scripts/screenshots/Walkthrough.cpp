// Draws the README's pictures of one conversion: the empty window, the list after Add File,
// the progress dialog during Convert, and the list with its outcomes. Run under Xvfb:
//   dkscr_walkthrough_shots SAMPLES_DIR OUTPUT_DIR
#include <QApplication>
#include <QSemaphore>
#include <QDir>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <atomic>

#include "app/dialogs/ConvertProgressDialog.h"
#include "app/dialogs/DialogServices.h"
#include "app/session/AppState.h"
#include "app/session/Session.h"
#include "app/session/TargetConverter.h"
#include "app/shell/ProgramDialogs.h"
#include "app/shell/SystemDesktop.h"
#include "app/widgets/MainWindow.h"

namespace {

// The library's converter, the first conversion held until the progress dialog is drawn.
class HeldConverter : public dkscr::StandardTargetConverter {
 public:
  dkscr::ConvertResult Convert(const dkscr::ConvertJob& job, const std::atomic<bool>& cancel) override {
    const dkscr::ConvertResult result = StandardTargetConverter::Convert(job, cancel);
    if (!released_.exchange(true)) drawn_.acquire();
    return result;
  }
  void Release() { drawn_.release(); }

 private:
  std::atomic<bool> released_{false};
  QSemaphore drawn_;
};

void Save(QWidget* widget, const QString& dir, const char* name) {
  QTest::qWait(50);  // laid out and painted
  widget->grab().save(dir + "/" + name);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  const QString samples = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  const QString out = QString::fromLocal8Bit(argv[2]);
  QTemporaryDir home;
  dkscr::AppState state((home.path() + "/").toStdU16String(), u"/home/ann/Documents/");
  const QString targets = QDir::tempPath() + "/deckscribe-text";
  QDir(targets).removeRecursively();  // the names in the pictures are those of a first run
  state.settings.targetDir = (targets + "/").toStdU16String();
  state.settings.codePage = 65001;
  dkscr::Session session(state);
  dkscr::StandardDialogServices services;
  dkscr::ProgramDialogs dialogs(state, services);
  dkscr::SystemDesktop desktop;
  HeldConverter converter;
  dkscr::MainWindow window(session, dialogs, desktop, converter);
  window.resize(window.width(), 380);  // the start-up width: every column shows
  window.show();
  Save(&window, out, "walkthrough-1-empty.png");

  // What the Add File dialog hands over when both samples are chosen.
  for (const char* name : {"sample.ppt", "sample.pptx"})
    window.AddFile((samples + "/" + name).toStdU16String());
  Save(&window, out, "walkthrough-2-added.png");

  // The progress dialog as the run reaches its first entry.
  window.FileTable()->selectionModel()->clearSelection();
  window.Button("BtnConvert")->click();
  if (!QTest::qWaitFor([&] { return !dialogs.ConvertProgress()->fileLabel->text().isEmpty(); }))
    return 1;
  Save(dialogs.ConvertProgress(), out, "walkthrough-3-converting.png");
  converter.Release();
  if (!QTest::qWaitFor([&] { return !window.Converting(); }, 60000)) return 1;
  Save(&window, out, "walkthrough-4-converted.png");
  return 0;
}
