// Convert All, Convert Selected and ReConvert Selected in the main window with the program's
// own dialogs, on .ppt and .pptx files made here, down to the bytes of the text files and the
// lines of the activity log; and the window staying responsive while a long deck converts.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>
#include <ctime>
#include <functional>
#include <memory>

#include "app/dialogs/ConvertProgressDialog.h"
#include "app/dialogs/HelpWindow.h"
#include "app/dialogs/OverwritePromptDialog.h"
#include "app/session/AppState.h"
#include "app/session/JobFile.h"
#include "app/session/TargetConverter.h"
#include "app/shell/ExitReport.h"
#include "app/shell/ProgramDialogs.h"
#include "app/widgets/CommandTable.h"
#include "app/widgets/FileTableModel.h"
#include "app/widgets/MainWindow.h"
#include "tests/cli/deck/Deck.h"
#include "tests/dialogs/TestHooks.h"
#include "tests/mainwin/WindowTestKit.h"
#include "tests/support/PptBuilder.h"
#include "tests/support/ZipWriter.h"

using namespace dkscr;
using namespace dkscr::test;

namespace {

std::string SlideXml(const std::string& text) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
         "<p:sld xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
         "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\">"
         "<p:cSld><p:spTree><p:sp><p:txBody><a:p><a:r><a:t>" +
         text + "</a:t></a:r></a:p></p:txBody></p:sp></p:spTree></p:cSld></p:sld>";
}

}  // namespace

class ConvertRunTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> FHome;
  std::unique_ptr<AppState> FState;
  std::unique_ptr<Session> FSession;
  RecordingServices FServices;
  std::unique_ptr<ProgramDialogs> FDialogs;
  TestDesktop FDesktop;
  StandardTargetConverter FConverter;
  std::unique_ptr<MainWindow> FWindow;
  QString FSrc, FOut;

  QString Home(const QString& name) const { return FHome->filePath(name); }

  void OpenWindow() {
    FSession = std::make_unique<Session>(*FState);
    const JobFileStart jobFile = FSession->LoadJobFile();
    FDialogs = std::make_unique<ProgramDialogs>(*FState, FServices);
    FWindow = std::make_unique<MainWindow>(*FSession, *FDialogs, FDesktop, FConverter, jobFile);
  }
  void CloseWindow() {
    FWindow.reset();
    FDialogs.reset();
    if (FSession) SaveListAndSettings(*FSession);
    FSession.reset();
  }

  QString MakePpt(const QString& name, const std::u16string& text) {
    const QString path = FSrc + "/" + name;
    WriteBytes(path, test::MakePresentation({text}, {u"notes of " + text}));
    return path;
  }
  QString MakePptx(const QString& name, const std::string& text) {
    const QString path = FSrc + "/" + name;
    test::ZipWriter zip;
    zip.Add("[Content_Types].xml", "<Types/>");
    zip.Add("ppt/slides/slide1.xml", SlideXml(text));
    WriteBytes(path, zip.Build());
    return path;
  }
  void Add(const QString& path) { FWindow->AddFile(U(path)); }
  void Select(std::initializer_list<int> rows) { SelectRows(*FWindow, rows); }
  int State(int row) const { return int(FSession->At(row).state); }
  QString Cell(int row, int column) const { return FWindow->Model()->Text(row, column); }
  ConvertProgressDialog* Progress() const { return FDialogs->ConvertProgress(); }

  // The log's messages without their time stamps.
  QStringList LogMessages() const {
    QStringList lines = LogText(*FState).split(QStringLiteral("\r\n"));
    for (QString& line : lines) {
      const qsizetype at = line.indexOf(QStringLiteral("]: "));
      if (at >= 0) line = line.mid(at + 3);
    }
    return lines;
  }

 private slots:
  void init() {
    FHome = std::make_unique<QTemporaryDir>();
    QVERIFY(FHome->isValid());
    qputenv("DECKSCRIBE_HOME", FHome->path().toUtf8());
    FState = std::make_unique<AppState>(U(FHome->path() + "/"), U(FHome->path() + "/docs/"));
    FState->clock = [] {
      std::tm t{};
      t.tm_year = 110, t.tm_mon = 4, t.tm_mday = 3, t.tm_hour = 14, t.tm_min = 22;
      return t;
    };
    FSrc = Home("src");
    FOut = Home("out/deep/er");
    FState->settings.targetDir = U(FOut + "/");
    FState->settings.codePage = 65001;
    OpenWindow();
  }

  void cleanup() {
    CloseWindow();
    FState.reset();
    FHome.reset();
  }

  void convertAllWritesEveryNewEntryAndLogsIt() {
    Add(MakePpt("talk.ppt", u"Hello \u00e9"));
    Add(MakePptx("deck.pptx", "Slide text"));
    FWindow->RunCommand(31);
    QVERIFY(WaitUntilIdle(*FWindow));
    QCOMPARE(State(0), 1);
    QCOMPARE(State(1), 1);
    QCOMPARE(Cell(0, kColMessage), QString("Convert successfully"));
    // The target folder was created with its parents.
    QCOMPARE(ReadBytes(FOut + "/talk.txt"),
             QByteArray("\xEF\xBB\xBFHello \xC3\xA9\r\nnotes of Hello \xC3\xA9\r\n"));
    QCOMPARE(ReadBytes(FOut + "/deck.txt"), QByteArray("\xEF\xBB\xBFslide1:\r\nSlide text\r\n"));
    QCOMPARE(LogMessages(),
             QStringList({"Conversion start...",
                          "Convert successfully (" + FSrc + "/talk.ppt)",
                          "Convert successfully (" + FSrc + "/deck.pptx)",
                          "Conversion end. Successful: 2, Failed: 0, Total: 2", "", ""}));
    QVERIFY(!Progress()->isVisible());
    QCOMPARE(Progress()->Progress(), 2);
  }

  void utf16OutputHasItsMark() {
    FState->settings.codePage = 1200;
    Add(MakePptx("deck.pptx", "Hi"));
    QVERIFY(Convert(*FWindow, RunScope::kAll));
    QCOMPARE(ReadBytes(FOut + "/deck.txt"),
             QByteArray("\xFF\xFEs\0l\0i\0d\0e\0" "1\0:\0\r\0\n\0H\0i\0\r\0\n\0", 2 + 2 * 13));
  }

  void modesPickTheirEntries() {
    for (const char* n : {"a", "b", "c"}) Add(MakePpt(QString(n) + ".ppt", u"text"));
    Select({1});
    QVERIFY(Convert(*FWindow, RunScope::kSelected));
    QCOMPARE(State(0), 0);
    QCOMPARE(State(1), 1);
    QCOMPARE(State(2), 0);
    QVERIFY(Convert(*FWindow, RunScope::kReconvert));  // b again, into b(1).txt
    QCOMPARE(Cell(1, kColTarget), FOut + "/b(1).txt");
    QVERIFY(QFile::exists(FOut + "/b(1).txt"));
    QVERIFY(Convert(*FWindow, RunScope::kAll));
    QCOMPARE(State(0), 1);
    QCOMPARE(State(2), 1);
    QVERIFY(!QFile::exists(FOut + "/b(2).txt"));  // converted entries are passed over
  }

  void autoRenameSkipsEveryTakenNumber() {
    Add(MakePpt("intro.ppt", u"new"));
    Add(MakePpt("other.ppt", u"new"));
    for (const char* n : {"intro.txt", "intro(1).txt", "other.txt"})
      WriteBytes(FOut + "/" + n, "old");
    QVERIFY(QDir().mkpath(FOut + "/intro(2).txt"));  // a folder takes the name too
    QVERIFY(Convert(*FWindow, RunScope::kAll));
    QCOMPARE(Cell(0, kColTarget), FOut + "/intro(3).txt");
    QCOMPARE(State(0), 1);
    QCOMPARE(Cell(1, kColTarget), FOut + "/other(1).txt");  // numbering starts at 1 per entry
    QVERIFY(ReadBytes(FOut + "/intro(3).txt").startsWith("\xEF\xBB\xBFnew"));
    QCOMPARE(ReadBytes(FOut + "/intro.txt"), QByteArray("old"));
  }

  void promptAnswersAndStopConvert() {
    FState->settings.overwritePolicy = 2;
    for (const char* n : {"r", "o", "c", "s", "later"}) {
      Add(MakePpt(QString(n) + ".ppt", u"new"));
      WriteBytes(FOut + "/" + n + ".txt", "old");
    }
    // One answer per prompt, in order, each as the next prompt opens.
    const std::vector<std::function<QPushButton*(OverwritePromptDialog*)>> answers = {
        [](OverwritePromptDialog* p) { return p->autoRenameButton; },
        [](OverwritePromptDialog* p) { return p->overwriteButton; },
        [](OverwritePromptDialog* p) { return p->cancelButton; },
        [](OverwritePromptDialog* p) { return p->stopButton; }};
    int asked = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      auto* prompt = qobject_cast<OverwritePromptDialog*>(QApplication::activeModalWidget());
      if (prompt == nullptr || asked >= int(answers.size())) return;
      QCOMPARE(prompt->fileLabel->text(), Cell(asked, kColSource).replace(FSrc, FOut)
                                                .replace(".ppt", ".txt"));
      QTest::mouseClick(answers[size_t(asked++)](prompt), Qt::LeftButton);
    });
    poll.start(1);
    QVERIFY(Convert(*FWindow, RunScope::kAll));
    poll.stop();
    QCOMPARE(asked, 4);
    QVERIFY(ReadBytes(FOut + "/r(1).txt").startsWith("\xEF\xBB\xBFnew"));
    QVERIFY(ReadBytes(FOut + "/o.txt").startsWith("\xEF\xBB\xBFnew"));
    QCOMPARE(ReadBytes(FOut + "/c.txt"), QByteArray("old"));
    QCOMPARE(State(2), 2);
    QCOMPARE(Cell(2, kColMessage), QString("Skipped: target exists"));
    // Stop Convert: that entry and every later one stay as they were.
    QCOMPARE(State(3), 0);
    QCOMPARE(Cell(3, kColTarget), FOut + "/s.txt");
    QCOMPARE(State(4), 0);
    QCOMPARE(LogMessages().at(4), QString("Conversion cancelled after 3 file(s)"));
    QCOMPARE(LogMessages().at(5), QString("Conversion end. Successful: 2, Failed: 0, Skipped: 1, Total: 3"));
    QCOMPARE(FWindow->StatusPanel(2), QString("Cancelled after 3 file(s): 2 converted, 0 failed, 1 skipped"));
    QCOMPARE(Progress()->Progress(), 3);
  }

  void outOfRangePolicyRefuses() {
    FState->settings.overwritePolicy = 200;
    Add(MakePpt("a.ppt", u"new"));
    WriteBytes(FOut + "/a.txt", "old");
    QVERIFY(Convert(*FWindow, RunScope::kAll));
    QCOMPARE(State(0), 2);
    QCOMPARE(LogMessages().at(1), "Skipped: target exists (" + FOut + "/a.txt)");
  }

  void cancelStopsBeforeTheNextEntry() {
    Add(MakePpt("a.ppt", u"one"));
    Add(MakePpt("b.ppt", u"two"));
    // Pressed while the first entry converts: it finishes, and the run stops before the second.
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      if (Progress()->fileLabel->toolTip() != FSrc + "/a.ppt") return;
      poll.stop();
      QTest::mouseClick(Progress()->cancelButton, Qt::LeftButton);
    });
    poll.start(0);
    QVERIFY(Convert(*FWindow, RunScope::kAll));
    QCOMPARE(State(0), 1);
    QCOMPARE(State(1), 0);
    QCOMPARE(LogMessages().at(2), QString("Conversion cancelled after 1 file(s)"));
    QCOMPARE(LogMessages().at(3), QString("Conversion end. Successful: 1, Failed: 0, Total: 1"));
    QCOMPARE(FWindow->StatusPanel(2), QString("Cancelled after 1 file(s): 1 converted, 0 failed"));
    // The dialog's buttons after the run reach no run: nothing is cancelled or touched.
    QTest::mouseClick(Progress()->cancelButton, Qt::LeftButton);
    Progress()->close();
    QVERIFY(Convert(*FWindow, RunScope::kAll));
    QCOMPARE(State(1), 1);
  }

  void unwritableLogStillConvertsAndSaysSoOnce() {
    RecordingServices& boxes = FServices.Fresh();
    QVERIFY(QDir().mkpath(Home("dkscract.log")));  // a folder where the log should be
    Add(MakePpt("a.ppt", u"one"));
    Add(FSrc + "/missing.ppt");
    Add(MakePptx("c.pptx", "three"));
    QVERIFY(Convert(*FWindow, RunScope::kAll));
    QCOMPARE(State(0), 1);
    QCOMPARE(State(1), 2);
    QCOMPARE(Cell(1, kColMessage), QString("Source file does not exist"));
    QCOMPARE(State(2), 1);
    QVERIFY(ReadBytes(FOut + "/c.txt").contains("three"));
    QCOMPARE(boxes.shown.size(), size_t(1));
    QCOMPARE(boxes.shown[0].text.count(Home("dkscract.log")), 1);
  }

  void windowStaysResponsiveWhileALongDeckConverts() {
    // Two decks of 100,000 slides, seconds of work for the converter, then a small one.
    const std::string deck = MakePptxFile(LargeDeck(100000));
    for (const char* name : {"big1.pptx", "big2.pptx"}) {
      WriteBytes(FSrc + "/" + name, deck);
      Add(FSrc + "/" + name);
    }
    Add(MakePpt("next.ppt", u"never"));
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
    FWindow->ConvertFiles(RunScope::kAll);
    // The progress text follows the run while the decks convert on the worker.
    QTRY_VERIFY(Progress()->fileLabel->toolTip().startsWith(FSrc + "/big"));
    // The help window opens and paints meanwhile; the main window repaints.
    FWindow->RunCommand(kTagContents);
    auto* help = FWindow->findChild<HelpWindow*>();
    QVERIFY(help != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(help));
    QVERIFY(!help->grab().isNull());
    QVERIFY(help->browser->toPlainText().contains("Contents"));
    FWindow->resize(FWindow->width() + 40, FWindow->height());
    QVERIFY(!FWindow->grab().isNull());
    QVERIFY(FWindow->Converting());
    const int inHand = Progress()->fileLabel->toolTip().endsWith("big1.pptx") ? 0 : 1;
    QCOMPARE(Progress()->Progress(), inHand + 1);
    // Cancel ends the run within a second: the deck in hand is given up, nothing of it
    // written, and nothing after it started.
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(Progress()->cancelButton, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return !FWindow->Converting(); }, 1000));
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(State(inHand), 0);
    QCOMPARE(State(2), 0);
    QVERIFY(!Progress()->isVisible());
    QCOMPARE(LogMessages().at(inHand + 1), QString("Conversion cancelled after %1 file(s)").arg(inHand));
    QCOMPARE(LogMessages().at(inHand + 2),
             QString("Conversion end. Successful: %1, Failed: 0, Total: %1").arg(inHand));
    CloseWindow();  // waits for the worker to give the deck up
    QVERIFY(!QFile::exists(FOut + QString("/big%1.txt").arg(inHand + 1)));
  }

  void failuresAndReconvertOfAFailedEntry() {
    const QString missing = MakePpt("gone.ppt", u"back");
    Add(missing);
    QFile::remove(missing);
    WriteBytes(FSrc + "/junk.ppt", "not a presentation");
    Add(FSrc + "/junk.ppt");
    QVERIFY(Convert(*FWindow, RunScope::kAll));
    QCOMPARE(Cell(0, kColMessage), QString("Source file does not exist"));
    QCOMPARE(Cell(1, kColMessage), QString("File format not correct"));
    QCOMPARE(LogMessages().at(1), "Failed: Source file does not exist (" + missing + ")");
    MakePpt("gone.ppt", u"back");
    Select({0});
    QVERIFY(Convert(*FWindow, RunScope::kReconvert));
    QCOMPARE(State(0), 1);
    QCOMPARE(Cell(0, kColMessage), QString("Convert successfully"));
  }

  void unsupportedTypeFromASavedList() {
    CloseWindow();  // the program saves its list as it ends
    const JobRecord record{0, u"", {u"deck.doc", U(FSrc + "/deck.doc"), u"10", u"DOC", U(FOut + "/deck.txt"), u""}};
    SaveJobFile({record}, FState->JobFilePath());
    OpenWindow();
    QCOMPARE(FSession->Count(), 1);
    QVERIFY(Convert(*FWindow, RunScope::kAll));
    QCOMPARE(Cell(0, kColMessage), QString("File type not support"));
    QCOMPARE(LogMessages().at(1), "Failed: File type not support (" + FSrc + "/deck.doc)");
  }

  void listCommandsWaitForTheRun() {
    Add(MakePpt("a.ppt", u"one"));
    Add(MakePpt("b.ppt", u"two"));
    bool deleteEnabled = true;
    QTimer::singleShot(0, [&] {
      // Inside the run: Delete and another Convert All are refused.
      Select({0});
      FWindow->UpdateCommandStates();
      deleteEnabled = FWindow->ActionOfTag(24)->isEnabled();
      FWindow->RunCommand(24);
      FWindow->RunCommand(31);
      // Sorting would move the entries under the run.
      emit FWindow->FileTable()->horizontalHeader()->sectionClicked(1);
      emit FWindow->FileTable()->horizontalHeader()->sectionClicked(1);
    });
    QVERIFY(Convert(*FWindow, RunScope::kAll));
    QVERIFY(!deleteEnabled);
    QCOMPARE(FSession->Count(), 2);
    QCOMPARE(Cell(0, kColName), QString("a.ppt"));
    QCOMPARE(FWindow->Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString("Name"));
    QCOMPARE(LogMessages().count(QStringLiteral("Conversion start...")), 1);
    QCOMPARE(State(1), 1);
  }
};

QTEST_MAIN(ConvertRunTest)
#include "ConvertRunTest.moc"
