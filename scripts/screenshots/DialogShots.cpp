// Takes a picture of every dialog, filled with sample settings, for the documentation:
//   dkscr_dialog_shots OUTPUT_FOLDER
// Run it on a real display server (for example under xvfb-run) so that window decorations
// and fonts are those of a desktop.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <cstdio>
#include <ctime>

#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/AddFolderDialog.h"
#include "app/dialogs/DialogServices.h"
#include "app/dialogs/FolderListDialog.h"
#include "app/dialogs/HelpWindow.h"
#include "app/dialogs/LogDialog.h"
#include "app/dialogs/OptionsDialog.h"
#include "app/dialogs/ScanProgressDialog.h"
#include "app/session/AppState.h"

using namespace dkscr;

namespace {

bool Shoot(QWidget& window, const QString& file) {
  window.show();
  window.raise();
  // Let the window be laid out, painted and, for animations, advance a little.
  for (int i = 0; i < 10; ++i) {
    QApplication::processEvents();
    QTest::qWait(60);
  }
  // No window manager runs under Xvfb, so the caption is drawn above the window's picture.
  const QPixmap client = window.grab();
  const int bar = window.fontMetrics().height() + 10;
  QPixmap picture(client.width(), client.height() + bar);
  picture.fill(QColor(64, 80, 112));
  QPainter painter(&picture);
  painter.setPen(Qt::white);
  QFont bold = window.font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.drawText(QRect(8, 0, client.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft,
                   window.windowTitle());
  painter.drawPixmap(0, bar, client);
  painter.end();
  const bool saved = picture.save(file, "PNG");
  std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(file));
  window.hide();
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: dkscr_dialog_shots OUTPUT_FOLDER\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QTemporaryDir home;
  const std::u16string dir = home.path().toStdU16String() + u"/";
  AppState global(dir, u"/home/anna/Documents/");
  StandardDialogServices services;
  Settings& s = global.settings;
  s.targetDir = u"/home/anna/Documents/Slides text/";
  s.scanFolders = u"/home/anna/Talks;/srv/share/Lectures 2010";
  s.codePage = 65001;
  s.userMasks1 = u"*.pps";
  global.RebuildMaskList();
  global.WriteLog(u"Conversion start...");
  global.WriteLog(u"Convert successfully (/home/anna/Talks/Quarterly review.pptx)");
  global.WriteLog(u"Converted: no text found (/home/anna/Talks/Kick-off.ppt)");
  global.WriteLog(u"Failed: File format not correct (/home/anna/Talks/broken.ppt)");
  global.WriteLog(u"Skipped: target exists (/home/anna/Documents/Slides text/Budget.txt)");
  global.WriteLog(u"Conversion end. Successful: 2, Failed: 1, Skipped: 1, Total: 4\r\n");
  global.WriteLog(u"Add file failed: type not support (/home/anna/Talks/notes.docx)");

  bool ok = true;
  {
    OptionsDialog options(global, services);
    ok &= Shoot(options, out.filePath("dialog-options.png"));
  }
  FolderListDialog directory(QString::fromStdU16String(s.scanFolders), services);
  {
    AddFolderDialog addDir(global, directory, services);
    ok &= Shoot(addDir, out.filePath("dialog-add-directory.png"));
  }
  directory.SetDirList(QString::fromStdU16String(s.scanFolders));
  directory.folderEdit->setText("/home/anna/Archive");
  ok &= Shoot(directory, out.filePath("dialog-directory.png"));
  {
    ScanProgressDialog find;
    find.SetStatusText("/srv/share/Lectures 2010/Week 3/");
    ok &= Shoot(find, out.filePath("dialog-search.png"));
  }
  {
    LogDialog log(global, services);
    log.LoadLog();
    ok &= Shoot(log, out.filePath("dialog-log.png"));
  }
  {
    AboutDialog about;
    ok &= Shoot(about, out.filePath("dialog-about.png"));
  }
  {
    QWidget owner;
    HelpWindow* help = ShowHelp(&owner, QString::fromLatin1(kHelpOptions));
    help->resize(560, 520);
    ok &= Shoot(*help, out.filePath("dialog-help.png"));
  }
  return ok ? 0 : 1;
}
