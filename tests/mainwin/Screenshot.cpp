// Renders the main window with a filled list into a PNG (run under Xvfb for the README).
#include <QApplication>
#include <QTemporaryDir>
#include <QTableView>
#include <QTimer>

#include "app/session/AppState.h"
#include "app/UnMain.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  QTemporaryDir home;
  dkscr::AppState global((home.path() + "/").toStdU16String(), u"/home/ann/Documents/");
  global.settings.targetDir = u"/home/ann/Documents/text/";
  global.settings.noLog = true;
  dkscr::TFmMain window(global);
  const char16_t* files[] = {u"/home/ann/talks/Quarterly review.pptx", u"/home/ann/talks/intro.ppt",
                             u"/home/ann/talks/Roadmap 2026.pptx", u"/home/ann/archive/kickoff.PPT",
                             u"/home/ann/archive/Budget.pptx", u"/home/ann/archive/team.ppt"};
  for (const char16_t* f : files) window.AddFile(f);
  window.Model()->SetState(0, 1);
  window.Model()->SetText(0, 6, "Convert successfully");
  window.Model()->SetState(1, 1);
  window.Model()->SetText(1, 6, "Convert successfully");
  window.Model()->SetState(3, 2);
  window.Model()->SetText(3, 6, "Not a PowerPoint file");
  const int sizes[] = {482133, 1207296, 95112, 733184, 51230, 2048000};
  for (int r = 0; r < 6; ++r) window.Model()->SetText(r, 3, QString::number(sizes[r]));
  window.ListView1->selectionModel()->clearSelection();
  window.ListView1->selectRow(2);
  window.ShowFileCount();
  window.ShowStatusMessage("Select 1 file(s).");
  window.resize(window.width(), 330);  // the start-up width: every column shows
  window.show();
  QTimer::singleShot(500, [&] {
    window.grab().save(QString::fromLocal8Bit(argv[1]));
    app.quit();
  });
  return QApplication::exec();
}
