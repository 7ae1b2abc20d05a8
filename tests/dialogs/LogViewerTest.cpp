// The log viewer against a real activity log in a temporary program folder.

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/session/AppState.h"
#include "app/dialogs/LogText.h"
#include "app/dialogs/LogDialog.h"
#include "TestHooks.h"

using namespace dkscr;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class LogViewerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> home;
  test::RecordingServices services;
  std::unique_ptr<AppState> global;
  std::unique_ptr<LogDialog> viewer;

  QString LogPath() const { return QString::fromStdU16String(global->LogFilePath()); }
  void Log(const char16_t* message) { global->WriteLog(message); }

 private slots:
  void init() {
    home = std::make_unique<QTemporaryDir>();
    const std::u16string dir = home->path().toStdU16String() + u"/";
    global = std::make_unique<AppState>(dir, dir);
    viewer = std::make_unique<LogDialog>(*global, services);
  }
  void cleanup() {
    viewer.reset();
    global.reset();
    home.reset();
  }

  void MissingLogGivesAnEmptyBoxAndCloseOrEscCancel() {
    viewer->LoadLog();
    viewer->show();
    QVERIFY(viewer->logView->isReadOnly());
    QVERIFY(viewer->logView->toPlainText().isEmpty());
    QVERIFY(!viewer->clearButton->isEnabled());
    QVERIFY(!viewer->exportButton->isEnabled());
    QTest::mouseClick(viewer->closeButton, Qt::LeftButton);
    QVERIFY(!viewer->isVisible());
    QCOMPARE(viewer->result(), int(QDialog::Rejected));
    viewer->show();
    QTest::keyClick(viewer->logView, Qt::Key_Escape);
    QVERIFY(!viewer->isVisible());
  }

  void LoadsTheLogWithTheCaretAtTheEnd() {
    Log(u"Conversion start...");
    for (int i = 0; i < 60; ++i) Log(u"Convert successfully (/data/talk.pptx)");
    Log(u"Conversion end. Successful: 60, Failed: 0, Total: 60\r\n");
    viewer->LoadLog();
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer.get()));
    const QStringList lines = viewer->logView->toPlainText().split('\n');
    QCOMPARE(lines.size(), 63);  // the end entry is followed by an empty line
    QVERIFY(lines[0].endsWith("]: Conversion start..."));
    QVERIFY(lines[0].startsWith("["));
    QVERIFY(lines[61].endsWith("Total: 60"));
    QCOMPARE(lines[62], QString());
    QVERIFY(viewer->clearButton->isEnabled());
    QVERIFY(viewer->exportButton->isEnabled());
    QVERIFY(viewer->logView->textCursor().atEnd());
    QScrollBar* bar = viewer->logView->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(viewer->logView->horizontalScrollBar()->value(), 0);
  }

  void ExportWritesTheBoxAsUtf16WithByteOrderMark() {
    Log(u"Add file failed: already added (/data/Übersicht.ppt)");
    Log(u"Conversion end. Successful: 1, Failed: 0, Total: 1\r\n");
    const QByteArray before = ReadAll(LogPath());
    viewer->LoadLog();
    const QString target = home->filePath("export.log");
    {
      test::RecordingServices& answer = services.AnswerSave(target);
      QTest::mouseClick(viewer->exportButton, Qt::LeftButton);
      QCOMPARE(answer.filters, QStringList{"Kel-Deckscribe Log File(*.log)"});
      QCOMPARE(answer.suffixes, QStringList{"log"});
    }
    const QByteArray exported = ReadAll(target);
    QVERIFY(exported.startsWith("\xFF\xFE"));
    QCOMPARE(exported, before);  // a log written by the program exports to the same bytes
    QCOMPARE(ReadAll(LogPath()), before);

    // A cancelled save dialog writes nothing.
    QFile::remove(target);
    {
      services.AnswerSave(QString());
      QTest::mouseClick(viewer->exportButton, Qt::LeftButton);
    }
    QVERIFY(!QFile::exists(target));
  }

  void ExportFailureIsReported() {
    test::RecordingServices& messages = services.Fresh();
    Log(u"Conversion start...");
    viewer->LoadLog();
    services.AnswerSave(home->filePath("missing/folder/export.log"));
    QTest::mouseClick(viewer->exportButton, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), size_t{1});
    QVERIFY(messages.shown[0].text.contains("missing/folder/export.log"));
    QCOMPARE(messages.shown[0].icon, QMessageBox::Critical);
  }

  void ClearDeletesTheLogAndTheNextEntryStartsAFreshOne() {
    Log(u"Conversion start...");
    viewer->LoadLog();
    QVERIFY(viewer->clearButton->isEnabled());
    QTest::mouseClick(viewer->clearButton, Qt::LeftButton);
    QVERIFY(!QFile::exists(LogPath()));
    QVERIFY(viewer->logView->toPlainText().isEmpty());
    QVERIFY(!viewer->clearButton->isEnabled());
    QVERIFY(!viewer->exportButton->isEnabled());

    Log(u"x");
    const QByteArray fresh = ReadAll(LogPath());
    QVERIFY(fresh.startsWith("\xFF\xFE["));
    QCOMPARE(fresh.count("\xFF\xFE"), 1);
  }

  void NotLoggingStopsEntriesAtOnce() {
    viewer->LoadLog();
    viewer->show();
    QVERIFY(!viewer->noLogBox->isChecked());
    QTest::mouseClick(viewer->noLogBox, Qt::LeftButton);
    QVERIFY(global->settings.noLog);
    Log(u"not written");
    QVERIFY(!QFile::exists(LogPath()));
    QTest::mouseClick(viewer->noLogBox, Qt::LeftButton);
    QVERIFY(!global->settings.noLog);
    Log(u"written");
    QVERIFY(QFile::exists(LogPath()));

    // A viewer made while logging is off starts ticked.
    global->settings.noLog = true;
    LogDialog second(*global, services);
    QVERIFY(second.noLogBox->isChecked());
  }

  void LogTextByByteOrderMark() {
    WriteAll(LogPath(), QByteArray("\xEF\xBB\xBF[1]: \xC3\xA9t\xC3\xA9\r\n[2]: b\rc\nd"));
    viewer->LoadLog();
    QCOMPARE(viewer->logView->toPlainText(), QString("[1]: été\n[2]: b\nc\nd"));

    const auto lines = LogBytesToLines(std::string("\xFE\xFF\0a\0\r\0\n\0b", 10));
    QCOMPARE(lines.size(), size_t{2});
    QVERIFY(lines[0] == u"a" && lines[1] == u"b");
    QCOMPARE(LogBytesToLines("").size(), size_t{0});
    QCOMPARE(LogBytesToLines("\xFF\xFE").size(), size_t{0});
    QCOMPARE(LinesToUtf16File({u"a", u""}), std::string("\xFF\xFE" "a\0\r\0\n\0\r\0\n\0", 12));
  }
};

QTEST_MAIN(LogViewerTest)
#include "LogViewerTest.moc"
