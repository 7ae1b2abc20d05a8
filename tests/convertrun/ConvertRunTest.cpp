// Convert All, Convert Selected and ReConvert Selected in the main window with the program's
// own dialogs, on .ppt and .pptx files made here, down to the bytes of the text files and the
// lines of the activity log.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <ctime>
#include <functional>
#include <memory>

#include "app/FileListModel.h"
#include "app/session/AppState.h"
#include "app/ProgramDialogs.h"
#include "app/SavedFileList.h"
#include "app/UnMain.h"
#include "app/ZipHooks.h"
#include "app/batchrun/UnCancelCvt.h"
#include "app/batchrun/UnFileOverTp.h"
#include "app/dialogs/DialogServices.h"
#include "openxml/ZipHostHooks.h"
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
  std::unique_ptr<AppState> FGlobal;
  std::unique_ptr<TFmMain> FWindow;
  std::unique_ptr<TProgramDialogs> FDialogs;
  QString FSrc, FOut;

  QString Home(const QString& name) const { return FHome->filePath(name); }

  void OpenWindow() {
    FWindow = std::make_unique<TFmMain>(*FGlobal);
    FDialogs = std::make_unique<TProgramDialogs>(*FGlobal, FWindow.get());
    FWindow->SetDialogs(FDialogs.get());
  }
  void CloseWindow() {
    FWindow->SetDialogs(nullptr);
    FDialogs.reset();
    FWindow.reset();  // saves the list
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
  int State(int row) const { return FWindow->Model()->Entry(row).State; }
  QString Cell(int row, int column) const { return FWindow->Model()->Text(row, column); }

  // The log's messages without their time stamps.
  QStringList LogMessages() const {
    QStringList lines = LogText(*FGlobal).split(QStringLiteral("\r\n"));
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
    FGlobal = std::make_unique<AppState>(U(FHome->path() + "/"), U(FHome->path() + "/docs/"));
    FGlobal->clock = [] {
      std::tm t{};
      t.tm_year = 110, t.tm_mon = 4, t.tm_mday = 3, t.tm_hour = 14, t.tm_min = 22;
      return t;
    };
    FSrc = Home("src");
    FOut = Home("out/deep/er");
    FGlobal->settings.targetDir = U(FOut + "/");
    FGlobal->settings.codePage = 65001;
    OpenWindow();
  }

  void cleanup() {
    CloseWindow();
    FGlobal.reset();
    FHome.reset();
  }

  void convertAllWritesEveryNewEntryAndLogsIt() {
    Add(MakePpt("talk.ppt", u"Hello \u00e9"));
    Add(MakePptx("deck.pptx", "Slide text"));
    FWindow->MenuItemClick(FWindow->ActionOfTag(31));
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
    QVERIFY(!FDialogs->FmCancelCvt->isVisible());
    QCOMPARE(FDialogs->FmCancelCvt->Progress(), 2);
  }

  void utf16OutputHasItsMark() {
    FGlobal->settings.codePage = 1200;
    Add(MakePptx("deck.pptx", "Hi"));
    FWindow->ConvertFiles(cmAll);
    QCOMPARE(ReadBytes(FOut + "/deck.txt"),
             QByteArray("\xFF\xFEs\0l\0i\0d\0e\0" "1\0:\0\r\0\n\0H\0i\0\r\0\n\0", 2 + 2 * 13));
  }

  void modesPickTheirEntries() {
    for (const char* n : {"a", "b", "c"}) Add(MakePpt(QString(n) + ".ppt", u"text"));
    Select({1});
    FWindow->ConvertFiles(cmSelected);
    QCOMPARE(State(0), 0);
    QCOMPARE(State(1), 1);
    QCOMPARE(State(2), 0);
    FWindow->ConvertFiles(cmReconvert);  // b again, into b(1).txt
    QCOMPARE(Cell(1, kColTarget), FOut + "/b(1).txt");
    QVERIFY(QFile::exists(FOut + "/b(1).txt"));
    FWindow->ConvertFiles(cmAll);
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
    FWindow->ConvertFiles(cmAll);
    QCOMPARE(Cell(0, kColTarget), FOut + "/intro(3).txt");
    QCOMPARE(State(0), 1);
    QCOMPARE(Cell(1, kColTarget), FOut + "/other(1).txt");  // numbering starts at 1 per entry
    QVERIFY(ReadBytes(FOut + "/intro(3).txt").startsWith("\xEF\xBB\xBFnew"));
    QCOMPARE(ReadBytes(FOut + "/intro.txt"), QByteArray("old"));
  }

  void promptAnswersAndStopConvert() {
    FGlobal->settings.overwritePolicy = 2;
    for (const char* n : {"r", "o", "c", "s", "later"}) {
      Add(MakePpt(QString(n) + ".ppt", u"new"));
      WriteBytes(FOut + "/" + n + ".txt", "old");
    }
    // One answer per prompt, in order, each as the next prompt opens.
    const std::vector<std::function<QPushButton*(TFmFileOverTp*)>> answers = {
        [](TFmFileOverTp* p) { return p->BtnAutoRename; },
        [](TFmFileOverTp* p) { return p->BtnOverwrite; },
        [](TFmFileOverTp* p) { return p->BtnCancel; },
        [](TFmFileOverTp* p) { return p->SpeedButton1; }};
    int asked = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      auto* prompt = qobject_cast<TFmFileOverTp*>(QApplication::activeModalWidget());
      if (prompt == nullptr || asked >= int(answers.size())) return;
      QCOMPARE(prompt->LblFileName->text(), Cell(asked, kColSource).replace(FSrc, FOut)
                                                .replace(".ppt", ".txt"));
      QTest::mouseClick(answers[size_t(asked++)](prompt), Qt::LeftButton);
    });
    poll.start(1);
    FWindow->ConvertFiles(cmAll);
    poll.stop();
    QCOMPARE(asked, 4);
    QVERIFY(ReadBytes(FOut + "/r(1).txt").startsWith("\xEF\xBB\xBFnew"));
    QVERIFY(ReadBytes(FOut + "/o.txt").startsWith("\xEF\xBB\xBFnew"));
    QCOMPARE(ReadBytes(FOut + "/c.txt"), QByteArray("old"));
    QCOMPARE(State(2), 2);
    QCOMPARE(Cell(2, kColMessage), QString("Target file already exists, user canceled"));
    // Stop Convert: that entry and every later one stay as they were.
    QCOMPARE(State(3), 0);
    QCOMPARE(Cell(3, kColTarget), FOut + "/s.txt");
    QCOMPARE(State(4), 0);
    QCOMPARE(LogMessages().at(4), QString("Conversion end. Successful: 2, Failed: 1, Total: 3"));
    QCOMPARE(FDialogs->FmCancelCvt->Progress(), 3);
  }

  void outOfRangePolicyRefuses() {
    FGlobal->settings.overwritePolicy = 200;
    Add(MakePpt("a.ppt", u"new"));
    WriteBytes(FOut + "/a.txt", "old");
    FWindow->ConvertFiles(cmAll);
    QCOMPARE(State(0), 2);
    QCOMPARE(LogMessages().at(1),
             "Failed: Target file already exists, user canceled (" + FOut + "/a.txt)");
  }

  void cancelStopsBeforeTheNextEntry() {
    Add(MakePpt("a.ppt", u"one"));
    Add(MakePpt("b.ppt", u"two"));
    // Pressed while the first entry converts: the run sees it before the second.
    QTimer::singleShot(0, [this] {
      QTest::mouseClick(FDialogs->FmCancelCvt->BtnCancel, Qt::LeftButton);
    });
    FWindow->ConvertFiles(cmAll);
    QCOMPARE(State(0), 1);
    QCOMPARE(State(1), 0);
    QCOMPARE(LogMessages().at(2), QString("Conversion end. Successful: 1, Failed: 0, Total: 1"));
    // The dialog's buttons after the run reach no run: nothing is cancelled or touched.
    QTest::mouseClick(FDialogs->FmCancelCvt->BtnCancel, Qt::LeftButton);
    FDialogs->FmCancelCvt->close();
    FWindow->ConvertFiles(cmAll);
    QCOMPARE(State(1), 1);
  }

  void unwritableLogStillConvertsAndSaysSoOnce() {
    QStringList boxes;
    SetMessageBoxHook([&](QWidget*, const QString&, const QString& text, QMessageBox::Icon) {
      boxes << text;
    });
    QVERIFY(QDir().mkpath(Home("dkscract.log")));  // a folder where the log should be
    Add(MakePpt("a.ppt", u"one"));
    Add(FSrc + "/missing.ppt");
    Add(MakePptx("c.pptx", "three"));
    FWindow->ConvertFiles(cmAll);
    SetMessageBoxHook(nullptr);
    QCOMPARE(State(0), 1);
    QCOMPARE(State(1), 2);
    QCOMPARE(Cell(1, kColMessage), QString("Source file does not exist"));
    QCOMPARE(State(2), 1);
    QVERIFY(ReadBytes(FOut + "/c.txt").contains("three"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].count(Home("dkscract.log")), 1);
  }

  void windowStaysResponsiveWhileALargePartInflates() {
    FWindow->SetZipHooks(DesktopZipHooks());
    // A slide part of several megabytes that does not compress to nothing.
    std::string text;
    uint32_t x = 12345;
    while (text.size() < (4u << 20)) {
      x = x * 1103515245u + 12345u;
      text.push_back(char('a' + (x >> 16) % 26));
      if ((x >> 8) % 9 == 0) text.push_back(' ');
    }
    text.push_back('z');  // runs are trimmed: keep the ends printable
    Add(MakePptx("big.pptx", text));
    Add(MakePpt("next.ppt", u"never"));
    bool seenDuringInflate = false;
    QTimer::singleShot(0, [&] {
      // Runs from the reader's message pump: the first target is not written yet.
      seenDuringInflate = FWindow->Converting() && !QFile::exists(FOut + "/big.txt");
      QTest::mouseClick(FDialogs->FmCancelCvt->BtnCancel, Qt::LeftButton);
    });
    FWindow->ConvertFiles(cmAll);
    QVERIFY(seenDuringInflate);
    QCOMPARE(State(0), 1);  // the conversion in hand still finishes
    QCOMPARE(State(1), 0);
    QCOMPARE(ReadBytes(FOut + "/big.txt").size(), qsizetype(3 + 9 + text.size() + 2));
  }

  void failuresAndReconvertOfAFailedEntry() {
    const QString missing = MakePpt("gone.ppt", u"back");
    Add(missing);
    QFile::remove(missing);
    WriteBytes(FSrc + "/junk.ppt", "not a presentation");
    Add(FSrc + "/junk.ppt");
    FWindow->ConvertFiles(cmAll);
    QCOMPARE(Cell(0, kColMessage), QString("Source file does not exist"));
    QCOMPARE(Cell(1, kColMessage), QString("File format not correct"));
    QCOMPARE(LogMessages().at(1), "Failed: Source file does not exist (" + missing + ")");
    MakePpt("gone.ppt", u"back");
    Select({0});
    FWindow->ConvertFiles(cmReconvert);
    QCOMPARE(State(0), 1);
    QCOMPARE(Cell(0, kColMessage), QString("Convert successfully"));
  }

  void unsupportedTypeFromASavedList() {
    CloseWindow();  // it saves its own list when it goes
    TFileList list;
    TFileListEntry entry;
    entry.State = 0;
    entry.SubItems = {u"deck.doc", U(FSrc + "/deck.doc"), u"10", u"DOC", U(FOut + "/deck.txt"), u""};
    list.Add(entry);
    SaveFileList(list, FGlobal->JobFilePath());
    OpenWindow();
    QCOMPARE(FWindow->Model()->Count(), 1);
    FWindow->ConvertFiles(cmAll);
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
      FWindow->ActionMainMenuBar1Paint();
      deleteEnabled = FWindow->ActionOfTag(24)->isEnabled();
      FWindow->MenuItemClick(FWindow->ActionOfTag(24));
      FWindow->MenuItemClick(FWindow->ActionOfTag(31));
      // Sorting would move the entries under the run.
      emit FWindow->ListView1->horizontalHeader()->sectionClicked(1);
      emit FWindow->ListView1->horizontalHeader()->sectionClicked(1);
    });
    FWindow->ConvertFiles(cmAll);
    QVERIFY(!deleteEnabled);
    QCOMPARE(FWindow->Model()->Count(), 2);
    QCOMPARE(Cell(0, kColName), QString("a.ppt"));
    QCOMPARE(FWindow->Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString("Name"));
    QCOMPARE(LogMessages().count(QStringLiteral("Conversion start...")), 1);
    QCOMPARE(State(1), 1);
  }
};

QTEST_MAIN(ConvertRunTest)
#include "ConvertRunTest.moc"
