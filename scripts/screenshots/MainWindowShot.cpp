// Renders the main window with a filled list and the preview of a converted entry into a PNG
// (run under Xvfb for the README); with --dark, in a dark palette, as a dark desktop theme
// would give it:
//   dkscr_main_window_shot OUTPUT.png [--dark]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPalette>
#include <QStyleFactory>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <cstring>

#include "app/dialogs/DialogServices.h"
#include "app/session/AppState.h"
#include "app/session/Session.h"
#include "app/session/TargetConverter.h"
#include "app/shell/ProgramDialogs.h"
#include "app/shell/SystemDesktop.h"
#include "app/widgets/MainWindow.h"

namespace {

// A dark palette of the kind dark desktop themes give Qt programs.
QPalette DarkPalette() {
  QPalette p;
  const QColor window(45, 45, 48), base(30, 30, 32), text(225, 225, 225), mid(70, 70, 74);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, QColor(40, 40, 44));
  p.setColor(QPalette::ToolTipBase, window);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::Light, mid.lighter(150));
  p.setColor(QPalette::Midlight, mid);
  p.setColor(QPalette::Mid, mid);
  p.setColor(QPalette::Dark, base);
  p.setColor(QPalette::Shadow, Qt::black);
  p.setColor(QPalette::Highlight, QColor(42, 110, 190));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(110, 170, 255));
  p.setColor(QPalette::PlaceholderText, QColor(140, 140, 140));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
  return p;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  if (argc > 2 && std::strcmp(argv[2], "--dark") == 0) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(DarkPalette());
  }
  QTemporaryDir home;
  dkscr::AppState state((home.path() + "/").toStdU16String(), u"/home/ann/Documents/");
  const QString targets = QDir::tempPath() + "/deckscribe-text";
  state.settings.targetDir = (targets + "/").toStdU16String();
  state.settings.codePage = 65001;
  state.settings.noLog = true;
  dkscr::Session session(state);
  const char16_t* files[] = {u"/home/ann/talks/Quarterly review.pptx", u"/home/ann/talks/intro.ppt",
                             u"/home/ann/talks/Roadmap 2026.pptx", u"/home/ann/archive/kickoff.PPT",
                             u"/home/ann/archive/Budget.pptx", u"/home/ann/archive/team.pps"};
  for (const char16_t* f : files) session.AddFile(f);
  // What a run would have said of them; the sizes of real files.
  const std::vector<dkscr::Entry> shown = [&] {
    std::vector<dkscr::Entry> entries = session.Entries();
    const int64_t sizes[] = {482133, 1207296, 95112, 733184, 51230, 2048000};
    for (size_t r = 0; r < entries.size(); ++r) entries[r].size = sizes[r];
    entries[0].state = entries[1].state = dkscr::EntryState::kConverted;
    entries[0].message = u"Convert successfully";
    entries[1].message = u"Converted: no text found";
    entries[3].state = dkscr::EntryState::kFailed;
    entries[3].message = u"Source file is encrypted (password-protected)";
    entries[4].state = dkscr::EntryState::kFailed;
    entries[4].message = u"Skipped: target exists";
    return entries;
  }();
  std::vector<dkscr::JobRecord> records;
  for (const dkscr::Entry& e : shown) records.push_back(dkscr::RecordOf(e));
  dkscr::SaveJobFile(records, state.JobFilePath());
  session.LoadJobFile();
  // The text of the converted entry, for the preview.
  QDir().mkpath(targets);
  QFile text(QString::fromStdU16String(session.At(0).target));
  if (text.open(QIODevice::WriteOnly)) {
    text.write("\xEF\xBB\xBFQuarterly review\r\nRevenue grew 12% over the quarter\r\n"
               "Three new customers in the northern region\r\nNext steps\r\n"
               "Hire two engineers\r\nShip the 2.0 release in May\r\n");
    text.close();
  }

  dkscr::StandardDialogServices services;
  dkscr::ProgramDialogs dialogs(state, services);
  dkscr::SystemDesktop desktop;
  dkscr::StandardTargetConverter converter;
  dkscr::MainWindow window(session, dialogs, desktop, converter);
  window.FileTable()->selectRow(0);
  window.resize(window.width(), 470);  // the start-up width: every column shows
  window.show();
  // After the count of the selection: the totals of the run that converted these.
  QTimer::singleShot(300, [&] {
    window.ShowStatusMessage(QStringLiteral("2 converted (1 without text), 1 failed, 1 skipped"));
  });
  QTimer::singleShot(500, [&] {
    window.grab().save(QString::fromLocal8Bit(argv[1]));
    QFile::remove(QString::fromStdU16String(session.At(0).target));
    app.quit();
  });
  return QApplication::exec();
}
