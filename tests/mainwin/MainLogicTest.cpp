// The desktop program's pieces around the session: the command table with its keys and
// enabling, file lists from the desktop, the open dialog's filter, the file probes, the
// translations and the end of the program (exit report, logout).
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QDir>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>
#include <cstdio>
#include <string>
#include <vector>

#include "app/session/AppState.h"
#include "app/session/FileProbe.h"
#include "app/session/JobFile.h"
#include "app/session/Session.h"
#include "app/session/SessionRun.h"
#include "app/shell/ClipboardFiles.h"
#include "app/shell/CommandLine.h"
#include "app/shell/ExitReport.h"
#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/AddFolderDialog.h"
#include "app/dialogs/ConvertProgressDialog.h"
#include "app/dialogs/FolderListDialog.h"
#include "app/dialogs/LogDialog.h"
#include "app/dialogs/OptionsDialog.h"
#include "app/dialogs/OverwritePromptDialog.h"
#include "app/dialogs/ScanProgressDialog.h"
#include "app/shell/ProgramDialogs.h"
#include "app/shell/SaveOnLogout.h"
#include "app/shell/Translations.h"
#include "app/widgets/CommandTable.h"
#include "app/widgets/FileFilters.h"
#include "app/widgets/RunMessages.h"
#include "platform/NativePath.h"
#include "platform/ResultCodes.h"
#include "tools/Messages.h"
#include "tests/dialogs/TestHooks.h"
#include "tests/mainwin/WindowTestKit.h"

using namespace dkscr;

namespace {

// A window over a session of its own, with the program's dialogs answering into a recorder.
struct WindowUnderTest {
  explicit WindowUnderTest(AppState& state)
      : session(state), dialogs(state, services), window(session, dialogs, desktop, converter) {}
  Session session;
  test::RecordingServices services;
  ProgramDialogs dialogs;
  test::TestDesktop desktop;
  StandardTargetConverter converter;
  MainWindow window;
};

// Called with the German translation installed.
void RunMessagesShowTranslatedButLogInEnglish(QTemporaryDir& home, AppState& global,
                                              Session& session, MainWindow& window) {
  global.settings.targetDir = test::U(home.filePath("out") + "/");
  const QString garbage = home.filePath("broken.ppt");
  test::WriteBytes(garbage, "not a presentation");
  const QString missing = home.filePath("gone.ppt");
  window.AddFile(test::U(garbage));
  window.AddFile(test::U(missing));
  window.RunCommand(31);
  QVERIFY(test::WaitUntilIdle(window));
  FileTableModel& model = *window.Model();
  const struct {
    int row;
    const char* english;
    const char* german;
    QString path;
  } rows[] = {{0, "File format not correct", "Ung\u00fcltiges Dateiformat", garbage},
              {1, "Source file does not exist", "Quelldatei existiert nicht", missing}};
  const QString log = test::LogText(global);
  for (const auto& r : rows) {
    const QModelIndex cell = model.index(r.row, kColMessage);
    for (int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole), int(Qt::AccessibleTextRole)})
      QCOMPARE(model.data(cell, role).toString(), QString(r.german));
    // Stored, saved and logged in English.
    QCOMPARE(model.Text(r.row, kColMessage), QString(r.english));
    QVERIFY2(log.contains(QString("]: Failed: %1 (%2)\r\n").arg(r.english, r.path)),
             qPrintable(log));
  }
  // The list sorts by the messages themselves, not by what the language shows: "File format"
  // comes before "Source file" as in English, though "Quelldatei" would come before
  // "Ung\u00fcltiges".
  session.Sort(kColMessage, true);
  QCOMPARE(model.Text(0, kColMessage), QString("File format not correct"));
  // Every run message has its German text in the test translation.
  for (const char* text : RunMessageTexts())
    QVERIFY2(ShownRunMessage(text) != QString(text), text);
}

}  // namespace

class MainLogicTest : public QObject {
  Q_OBJECT

 private slots:
  void exitProblemsNeverWaitForAnAnswer() {
    QTemporaryDir home;
    AppState global((home.path() + "/").toStdU16String(), (home.path() + "/").toStdU16String());
    std::FILE* err = std::tmpfile();
    QVERIFY(err != nullptr);
    auto errText = [&] {
      std::rewind(err);
      QByteArray out(4096, '\0');
      out.resize(qsizetype(std::fread(out.data(), 1, size_t(out.size()), err)));
      return QString::fromLocal8Bit(out);
    };
    // Closed by a signal: standard error and the log, no box.
    TellExitProblems({"Unable to write to /x/Deckscribe.dat", "list too long"}, global, true, err);
    QCOMPARE(errText(), QString("Deckscribe: Unable to write to /x/Deckscribe.dat\n"
                                "Deckscribe: list too long\n"));
    QFile log(home.filePath("dkscract.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf16(reinterpret_cast<const char16_t*>(log.readAll().constData() + 2))
                .contains("]: Unable to write to /x/Deckscribe.dat\r\n"));
    log.close();
    // Closed by the user: one box, which goes away by itself; a log that cannot be written
    // is no obstacle.
    QVERIFY(log.remove());
    QVERIFY(QDir().mkpath(home.filePath("dkscract.log")));
    int boxes = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
      if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr) ++boxes, probe.stop();
    });
    probe.start(5);
    TellExitProblems({"a", "b"}, global, false, err, 100);
    QCOMPARE(boxes, 1);
    std::fclose(err);
  }

  // What a logout's save request does: the list and the settings on disk, and when they
  // cannot be written, standard error and the log but never a box.
  void logoutSavesWithoutAsking() {
    for (bool writable : {true, false}) {
      QTemporaryDir home;
      AppState global((home.path() + "/").toStdU16String(), (home.path() + "/").toStdU16String());
      const QString job = QString::fromStdU16String(global.JobFilePath());
      const QString settings = QString::fromStdU16String(global.SettingsFilePath());
      std::FILE* err = std::tmpfile();
      QVERIFY(err != nullptr);
      WindowUnderTest w(global);
      SaveOnLogout logout(*qApp, w.window, w.session, err);
      w.window.AddFile(u"/nowhere/talk.ppt");
      global.settings.overwritePolicy = 3;
      if (!writable) {
        QVERIFY(QDir().mkpath(job));
        QVERIFY(QDir().mkpath(settings));
      }
      int boxes = 0;
      QTimer probe;
      QObject::connect(&probe, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) ++boxes, box->close();
      });
      probe.start(5);
      QVERIFY(!logout.Fired());
      logout.Save();
      QCoreApplication::processEvents();
      QVERIFY(logout.Fired());
      QCOMPARE(boxes, 0);
      std::rewind(err);
      QByteArray told(4096, '\0');
      told.resize(qsizetype(std::fread(told.data(), 1, size_t(told.size()), err)));
      std::fclose(err);
      if (writable) {
        QVERIFY2(told.isEmpty(), told.constData());
        std::vector<JobRecord> saved;
        LoadJobFile(saved, global.JobFilePath());
        QCOMPARE(saved.size(), size_t(1));
        QVERIFY(EntryOf(saved[0]).source == u"/nowhere/talk.ppt");
        QVERIFY(test::ReadBytes(settings).contains("fileovertp=3"));
      } else {
        QVERIFY2(told.contains("Unable to write to " + job.toLocal8Bit()), told.constData());
        QVERIFY2(told.contains("Unable to write to " + settings.toLocal8Bit()), told.constData());
        QVERIFY(test::LogText(global).contains("Unable to write to " + settings));
      }
      if (!writable) {
        QVERIFY(QDir(job).removeRecursively());
        QVERIFY(QDir(settings).removeRecursively());
      }
    }
  }

  void textsFollowTheUsersLanguage() {
#ifndef DKSCR_TEST_TRANSLATIONS
    QSKIP("lrelease not installed");
#else
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QStringList loaded =
        InstallTranslations(*QCoreApplication::instance(), {DKSCR_TEST_TRANSLATIONS});
    QLocale::setDefault(QLocale::c());
    QVERIFY(!loaded.isEmpty());
    QVERIFY(loaded.last().endsWith("deckscribe_de.qm"));
    {
      QTemporaryDir home;
      AppState global((home.path() + "/").toStdU16String(), (home.path() + "/").toStdU16String());
      WindowUnderTest w(global);
      QCOMPARE(w.window.StatusPanel(1), QString("0 Datei(en)"));
      QCOMPARE(w.window.Button("BtnConvert")->text(), QString("&Umwandeln"));
      QCOMPARE(w.window.Model()->headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(),
               QString("Zieldatei"));
      RunMessagesShowTranslatedButLogInEnglish(home, global, w.session, w.window);
    }
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
      QCoreApplication::removeTranslator(t);
      delete t;
    }
#endif
  }

  // Screen readers name every field: by a label that is its buddy, or by its accessible name.
  void everyFieldHasANameForAssistiveTechnology() {
    QTemporaryDir home;
    AppState global((home.path() + "/").toStdU16String(), (home.path() + "/").toStdU16String());
    WindowUnderTest w(global);
    const QList<QWidget*> windows = {&w.window, w.dialogs.Options(), w.dialogs.AddFolder(),
                                     w.dialogs.FolderList(), w.dialogs.ScanProgress(),
                                     w.dialogs.ConvertProgress(), w.dialogs.OverwritePrompt(),
                                     w.dialogs.Log(), w.dialogs.About()};
    QStringList unnamed;
    for (QWidget* window : windows) {
      QSet<QWidget*> labelled;
      for (QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy() != nullptr) labelled.insert(label->buddy());
      for (QWidget* field : window->findChildren<QWidget*>()) {
        const bool isField = qobject_cast<QLineEdit*>(field) || qobject_cast<QComboBox*>(field) ||
                             qobject_cast<QAbstractItemView*>(field) ||
                             qobject_cast<QPlainTextEdit*>(field) || qobject_cast<QTextEdit*>(field);
        if (!isField) continue;
        // The parts of a field (a combo box's editor, an item view's cell editor) are its own.
        bool part = false;
        for (QWidget* up = field->parentWidget(); up != nullptr && up != window; up = up->parentWidget())
          part |= qobject_cast<QComboBox*>(up) != nullptr || qobject_cast<QAbstractItemView*>(up) != nullptr;
        if (part || labelled.contains(field) || !field->accessibleName().isEmpty()) continue;
        unnamed << window->objectName() + "/" + field->metaObject()->className() + "/" + field->objectName();
      }
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    QCOMPARE(w.window.FileTable()->accessibleName(), QString("Presentations to convert"));
  }

  // A run message missing from the marked texts would stay English in every language.
  void everyRunMessageIsMarkedForTranslation() {
    QStringList marked;
    for (const char* text : RunMessageTexts()) marked << QString(text);
    for (ResultCode code = -64; code <= 0; ++code) {
      const QString text = TextsForResult(code).windowed;
      QVERIFY2(marked.contains(text), qPrintable(text));
    }
    for (const std::u16string& message : RunEntryMessages()) {
      const QString text = QString::fromStdU16String(message);
      QVERIFY2(marked.contains(text), qPrintable(text));
    }
    QVERIFY(RunEntryMessages().size() >= 10);
  }

  void templateHoldsTheTextsUsersSee() {
#ifndef DKSCR_TRANSLATION_TEMPLATE
    QSKIP("lupdate not installed");
#else
    QFile file(DKSCR_TRANSLATION_TEMPLATE);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString ts = QString::fromUtf8(file.readAll());
    // Contexts as tr() looks them up at run time, namespace included.
    for (const char* context : {"dkscr::MainWindow", "dkscr::OptionsDialog", "dkscr::FileTableModel",
                                "dkscr::ConvertProgressDialog", "Commands", "RunMessages"})
      QVERIFY2(ts.contains(QString("<name>%1</name>").arg(context)), context);
    for (const char* text : {"Done Scanning, add %1 file(s).", "Converting Files...",
                             "Convert &amp;Selected", "Please select the type of file to be converted!",
                             "Target file already exists, user canceled"})
      QVERIFY2(ts.contains(QString("<source>%1</source>").arg(text)), text);
#endif
  }

  void commandLine() {
    const CommandLine line = ParseCommandLine(
        {"a.ppt", "/abs/b.pptx", "../up/c.pps", "--", "--help", "-x.ppt", "caf\xE9.ppt"}, "/home/u/talks");
    QVERIFY(!line.help && line.error.empty());
    const std::vector<std::u16string> expected = {
        u"/home/u/talks/a.ppt", u"/abs/b.pptx", u"/home/u/up/c.pps", u"/home/u/talks/--help",
        u"/home/u/talks/-x.ppt", PathFromNative("/home/u/talks/caf\xE9.ppt")};
    QVERIFY(line.paths == expected);
    QVERIFY(ParseCommandLine({"x.ppt", "--help"}, "/").help);
    QVERIFY(ParseCommandLine({"--version"}, "/").version);
    QCOMPARE(ParseCommandLine({"--bogus", "-y"}, "/").error, std::string("--bogus"));
    QVERIFY(ParseCommandLine({"-"}, "/").error.empty());  // "-" names a file
  }

  void everyTagHasOneCommand() {
    for (int tag : {11, 12, 13, 21, 22, 23, 24, 25, 31, 32, 33, 34, 35, 36, 37, 91, 96})
      QVERIFY2(CommandByTag(tag) != nullptr, qPrintable(QString::number(tag)));
    QCOMPARE(CommandTable().size(), size_t(17));
    QVERIFY(CommandByTag(81) == nullptr);
  }

  // The positive keys are pressed in the window test; here the near misses.
  void keyboardTable_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<int>("tag");
    QTest::newRow("F1") << int(Qt::Key_F1) << false << false << 91;
    QTest::newRow("Ctrl+F1") << int(Qt::Key_F1) << true << false << 91;
    QTest::newRow("A alone") << int(Qt::Key_A) << false << false << 0;
    QTest::newRow("G alone") << int(Qt::Key_G) << false << false << 0;
    QTest::newRow("Alt+F1") << int(Qt::Key_F1) << false << true << 0;
    QTest::newRow("Ctrl+Alt+G") << int(Qt::Key_G) << true << true << 0;
    QTest::newRow("Alt+Delete") << int(Qt::Key_Delete) << false << true << 0;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << true << false << 0;
  }
  void keyboardTable() {
    QFETCH(int, key);
    QFETCH(bool, ctrl);
    QFETCH(bool, alt);
    QFETCH(int, tag);
    QCOMPARE(CommandForKey(key, ctrl, alt), tag);
  }

  void enablingTable() {
    // Empty list, clipboard empty: only the commands that are always there.
    CommandEnabling e = EvaluateEnabling({}, false);
    for (int tag : {31, 32, 33, 24, 34, 35, 36, 37, 23}) QVERIFY(!IsCommandEnabled(e, tag));
    for (int tag : {11, 12, 13, 21, 22, 25, 91, 96}) QVERIFY(IsCommandEnabled(e, tag));

    // New entry not selected, converted entry selected.
    std::vector<EntryFacts> facts = {{0, false}, {1, true}};
    e = EvaluateEnabling(facts, true);
    QVERIFY(e.convertAll);
    QVERIFY(!e.convertSelected);
    QVERIFY(e.reConvert);
    QVERIFY(e.anySelected);
    QVERIFY(e.paste);
    for (int tag : {24, 34, 36}) QVERIFY(IsCommandEnabled(e, tag));
    // The target's commands only for a target that exists.
    for (int tag : {35, 37}) QVERIFY(!IsCommandEnabled(e, tag));
    e.targetExists = true;
    for (int tag : {35, 37}) QVERIFY(IsCommandEnabled(e, tag));

    // Only failed entries, none selected: nothing to convert, nothing to act on.
    facts = {{2, false}, {2, false}};
    e = EvaluateEnabling(facts, false);
    QVERIFY(!e.convertAll && !e.convertSelected && !e.reConvert && !e.anySelected);

    // A selected new entry enables Convert Selected but not ReConvert.
    facts = {{2, false}, {0, true}};
    e = EvaluateEnabling(facts, false);
    QVERIFY(e.convertAll && e.convertSelected && !e.reConvert && e.anySelected);

    // A state that is neither new, converted nor failed counts for none of the three.
    facts = {{7, true}};
    e = EvaluateEnabling(facts, false);
    QVERIFY(!e.convertAll && !e.convertSelected && !e.reConvert && e.anySelected);
  }

  void fileUrls() {
    std::u16string path;
    QVERIFY(FileUriToPath("file:///home/a/b%20c.ppt", path));
    QCOMPARE(path, std::u16string(u"/home/a/b c.ppt"));
    QVERIFY(FileUriToPath("file://localhost/x.pptx", path));
    QCOMPARE(path, std::u16string(u"/x.pptx"));
    QVERIFY(FileUriToPath("FILE:/y.ppt", path));
    QCOMPARE(path, std::u16string(u"/y.ppt"));
    QVERIFY(FileUriToPath("file:///%C3%9Cbersicht.ppt", path));
    QCOMPARE(path, std::u16string(u"/\u00DCbersicht.ppt"));
    // A name that is not UTF-8 keeps its bytes.
    QVERIFY(FileUriToPath("file:///a%FF.ppt", path));
    QCOMPARE(PathToNative(path), std::string("/a\xFF.ppt"));
    QVERIFY(!FileUriToPath("http://example.org/a.ppt", path));
    QVERIFY(!FileUriToPath("file://otherhost/a.ppt", path));
    QVERIFY(!FileUriToPath("file:///a%00b", path));
    QVERIFY(!FileUriToPath("file:relative", path));
  }

  void uriListsAndCopiedFiles() {
    const auto list = ParseUriList("# comment\r\nfile:///a/one.ppt\r\nhttp://x/y\r\n\r\nfile:///b/two.pptx");
    QCOMPARE(list.size(), size_t(2));
    QCOMPARE(list[0], std::u16string(u"/a/one.ppt"));
    QCOMPARE(list[1], std::u16string(u"/b/two.pptx"));
    const auto copied = ParseCopiedFiles("cut\nfile:///c/three.ppt\nfile:///d");
    QCOMPARE(copied.size(), size_t(2));
    QCOMPARE(copied[0], std::u16string(u"/c/three.ppt"));
    QVERIFY(ParseCopiedFiles("copy").empty());
    QVERIFY(ParseUriList("").empty());

    // A payload made for the clipboard reads back in either format, odd names included.
    const std::vector<std::u16string> names = {u"/t/a b#1%.ppt", u"/t/\u00E9t\u00E9.pptx"};
    std::unique_ptr<QMimeData> mime(MimeForFiles(names));
    QCOMPARE(FilesFromMime(mime.get()), names);
    QMimeData only;
    only.setData(kMimeGnomeCopiedFiles, mime->data(kMimeGnomeCopiedFiles));
    QCOMPARE(FilesFromMime(&only), names);
    QMimeData text;
    text.setText("/not/a/file/list.ppt");
    QVERIFY(FilesFromMime(&text).empty());
    QVERIFY(FilesFromMime(nullptr).empty());
  }

  void openFilter() {
    AppState global(u"/tmp/none/", u"/tmp/docs/");
    // The whole family of each type, as the console programs take it.
    QCOMPARE(BuildOpenFilter(global),
             QString("All Support File|%1;%2;|PowerPoint 95, 97-2007 File(%1)|%1|"
                     "PowerPoint Open XML File(%2)|%2").arg("*.ppt;*.pps;*.pot", "*.pptx;*.pptm;*.ppsx;*.ppsm;*.potx;*.potm"));
    global.settings.userMasks1 = u"*.KEY;*.pot";
    global.RebuildMaskList();
    QCOMPARE(BuildOpenFilter(global),
             QString("All Support File|%1;*.key;%2;|PowerPoint 95, 97-2007 "
                     "File(%1;*.KEY)|%1;*.KEY|PowerPoint Open XML File(%2)|%2").arg("*.ppt;*.pps;*.pot", "*.pptx;*.pptm;*.ppsx;*.ppsm;*.potx;*.potm"));
    QCOMPARE(QtNameFilters(BuildOpenFilter(global)).first(),
             QString("All Support File (*.ppt *.pps *.pot *.key *.pptx *.pptm *.ppsx *.ppsm *.potx *.potm)"));
  }

  void fileProbes() {
    QTemporaryDir dir;
    const QString file = dir.filePath("x.ppt");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(1234, 'a')) == 1234);
    f.close();
    QCOMPARE(FileSizeOf(file.toStdU16String()), int64_t(1234));
    QVERIFY(FileExists(file.toStdU16String()));
    QVERIFY(!IsDirectory(file.toStdU16String()));
    const std::u16string missing = dir.filePath("missing.ppt").toStdU16String();
    QCOMPARE(FileSizeOf(missing), int64_t(0));
    QVERIFY(!FileExists(missing));
    // An item that cannot be examined counts as a folder.
    QVERIFY(IsDirectory(missing));
    QVERIFY(IsDirectory(dir.path().toStdU16String()));
    QCOMPARE(FileSizeOf(dir.path().toStdU16String()), int64_t(0));
    QVERIFY(!FileExists(dir.path().toStdU16String()));
  }
};

QTEST_MAIN(MainLogicTest)
#include "MainLogicTest.moc"
