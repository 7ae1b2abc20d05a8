// Draws the README's pictures of one conversion: the empty window, the list after Add File,
// the progress dialog during Convert, and the list with its outcomes. Run under Xvfb:
//   convertrun_walkthrough SAMPLES_DIR OUTPUT_DIR
#include <QApplication>
#include <QDir>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "app/session/AppState.h"
#include "app/ProgramDialogs.h"
#include "app/UnMain.h"
#include "app/batchrun/UnCancelCvt.h"

namespace {

void Save(QWidget* widget, const QString& dir, const char* name) {
  QApplication::processEvents();
  widget->grab().save(dir + "/" + name);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  const QString samples = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  const QString out = QString::fromLocal8Bit(argv[2]);
  QTemporaryDir home;
  dkscr::AppState global((home.path() + "/").toStdU16String(), u"/home/ann/Documents/");
  global.settings.targetDir = (QDir::tempPath() + "/deckscribe-text/").toStdU16String();
  global.settings.codePage = 65001;
  dkscr::TFmMain window(global);
  dkscr::TProgramDialogs dialogs(global, &window);
  window.SetDialogs(&dialogs);
  window.resize(window.width(), 260);  // the start-up width: every column shows
  window.show();
  Save(&window, out, "walkthrough-1-empty.png");

  // What the Add File dialog hands over when both samples are chosen.
  for (const char* name : {"sample.ppt", "sample.pptx"})
    window.AddFile((samples + "/" + name).toStdU16String());
  window.ShowFileCount();
  Save(&window, out, "walkthrough-2-added.png");

  // The progress dialog as the run reaches its first entry.
  bool grabbed = false;
  QTimer::singleShot(0, [&] {
    if (grabbed) return;
    grabbed = true;
    Save(dialogs.FmCancelCvt, out, "walkthrough-3-converting.png");
  });
  window.ListView1->selectionModel()->clearSelection();
  window.MenuItemClick(window.Buttons["BtnConvert"]);
  Save(&window, out, "walkthrough-4-converted.png");
  return 0;
}
