// Renders the main window with a filled list into a PNG (run under Xvfb for the README):
//   dkscr_main_window_shot OUTPUT.png
#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include "app/dialogs/DialogServices.h"
#include "app/session/AppState.h"
#include "app/session/Session.h"
#include "app/session/TargetConverter.h"
#include "app/shell/ProgramDialogs.h"
#include "app/shell/SystemDesktop.h"
#include "app/widgets/MainWindow.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  QTemporaryDir home;
  dkscr::AppState state((home.path() + "/").toStdU16String(), u"/home/ann/Documents/");
  state.settings.targetDir = u"/home/ann/Documents/text/";
  state.settings.noLog = true;
  dkscr::Session session(state);
  const char16_t* files[] = {u"/home/ann/talks/Quarterly review.pptx", u"/home/ann/talks/intro.ppt",
                             u"/home/ann/talks/Roadmap 2026.pptx", u"/home/ann/archive/kickoff.PPT",
                             u"/home/ann/archive/Budget.pptx", u"/home/ann/archive/team.ppt"};
  for (const char16_t* f : files) session.AddFile(f);
  // What the run would have said of three of them; the sizes of real files.
  const std::vector<dkscr::Entry> shown = [&] {
    std::vector<dkscr::Entry> entries = session.Entries();
    const int64_t sizes[] = {482133, 1207296, 95112, 733184, 51230, 2048000};
    for (size_t r = 0; r < entries.size(); ++r) entries[r].size = sizes[r];
    entries[0].state = entries[1].state = dkscr::EntryState::kConverted;
    entries[0].message = entries[1].message = u"Convert successfully";
    entries[3].state = dkscr::EntryState::kFailed;
    entries[3].message = u"Not a PowerPoint file";
    return entries;
  }();
  std::vector<dkscr::JobRecord> records;
  for (const dkscr::Entry& e : shown) records.push_back(dkscr::RecordOf(e));
  dkscr::SaveJobFile(records, state.JobFilePath());
  session.LoadJobFile();

  dkscr::StandardDialogServices services;
  dkscr::ProgramDialogs dialogs(state, services);
  dkscr::SystemDesktop desktop;
  dkscr::StandardTargetConverter converter;
  dkscr::MainWindow window(session, dialogs, desktop, converter);
  window.FileTable()->selectRow(2);
  window.ShowStatusMessage("Select 1 file(s).");
  window.resize(window.width(), 330);  // the start-up width: every column shows
  window.show();
  QTimer::singleShot(500, [&] {
    window.grab().save(QString::fromLocal8Bit(argv[1]));
    app.quit();
  });
  return QApplication::exec();
}
