// The main window with its list: adding in every way, deleting, selecting, sorting, the
// menus' enabling, the keys, and the list surviving a restart of the window.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QImage>
#include <QPalette>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <memory>

#include "app/dialogs/AddFolderDialog.h"
#include "app/dialogs/ScanProgressDialog.h"
#include "app/session/AppState.h"
#include "app/session/TargetConverter.h"
#include "app/shell/ClipboardFiles.h"
#include "app/shell/CloseOnSignal.h"
#include "app/shell/ExitReport.h"
#include "app/shell/ProgramDialogs.h"
#include "app/widgets/MainDialogs.h"
#include "app/widgets/CommandTable.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/PreviewPane.h"
#include "platform/NativePath.h"
#include "tests/dialogs/TestHooks.h"
#include "WindowTestKit.h"

using namespace dkscr;
using dkscr::test::MakeFiles;
using dkscr::test::ReadBytes;
using dkscr::test::WriteBytes;
using dkscr::test::SelectRows;
using dkscr::test::U;

namespace {
// Stands in for the program's dialogs and records what the window asks of them.
class FakeDialogs : public MainDialogs {
 public:
  void Create(QWidget*) override {}
  bool ShowOptions() override {
    calls << "options";
    if (onOptions) onOptions();
    return bool(onOptions);
  }
  void ShowLog() override { calls << "log"; }
  void ShowAbout() override { calls << "about"; }
  void ShowHelp() override { calls << "help"; }
  bool RunAddFolder() override {
    calls << "adddir";
    if (addDirOk) state->settings.scanFolders = folderField.toStdU16String();
    return addDirOk;
  }
  void SetAddFolderText(const QString& folder) override { folderField = folder; }
  bool AddFolderTypeTicked(int n) const override { return n == 1 ? tick1 : tick2; }
  bool AddFolderRecursive() const override { return recursive; }
  void ShowScanProgress(std::function<void()>) override { progressVisible = true; }
  void SetScanFolder(const QString& folder) override {
    folders << folder;
    if (duringScan) duringScan();
  }
  void CloseScanProgress() override { progressVisible = false; }
  bool ScanProgressVisible() const override { return progressVisible; }
  void ShowRunProgress(const RunProgress& p, std::function<void()>) override {
    if (p.position == 0 && p.source.empty()) convertMax = p.maximum;
  }
  void CloseRunProgress() override {}
  bool RunProgressVisible() const override { return false; }
  OverwriteAnswer AskOverwrite(const QString&) override { return OverwriteAnswer::kCancel; }
  void RaiseProgress() override {}
  void ShowError(const QString& text) override { errors << text; }

  AppState* state = nullptr;
  std::function<void()> duringScan;  // runs as each folder is entered
  std::function<void()> onOptions;   // the user's edits in the options dialog, then OK
  QStringList calls, folders, errors;
  QString folderField;
  bool addDirOk = true, tick1 = true, tick2 = true, recursive = true, progressVisible = false;
  int convertMax = -1;
};

void WriteFile(const QString& path, int size) { test::WriteBytes(path, std::string(size_t(size), 'x')); }
}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> FHome;
  std::unique_ptr<AppState> FState;
  std::unique_ptr<Session> FSession;
  std::unique_ptr<FakeDialogs> FDialogs;
  test::TestDesktop FDesktop;
  StandardTargetConverter FConverter;
  std::unique_ptr<MainWindow> FWindow;
  QStringList FSaveProblems;  // what the last CloseWindow could not save
  QString FData;  // folder of sample files

  QString Home(const QString& name) const { return FHome->filePath(name); }

  // The program's start: the saved list first, then the window over it.
  void OpenWindow(MainDialogs* dialogs = nullptr) {
    FSession = std::make_unique<Session>(*FState);
    const JobFileStart jobFile = FSession->LoadJobFile();
    FWindow = std::make_unique<MainWindow>(*FSession, dialogs ? *dialogs : *FDialogs, FDesktop,
                                           FConverter, jobFile);
  }
  // The program's end: the window goes, then the list and the settings are saved.
  void CloseWindow() {
    FWindow.reset();
    if (FSession) FSaveProblems = SaveListAndSettings(*FSession);
    FSession.reset();
  }

  QString LogText() const { return test::LogText(*FState); }
  int FileCount() const { return FSession->Count(); }
  QString Cell(int row, int column) const { return FWindow->Model()->Text(row, column); }
  std::vector<int> Selected() const { return FWindow->SelectedRows(); }
  void Command(int tag) { FWindow->RunCommand(tag); }
  // A command that starts a scan or a run, and its end.
  void CommandAndWait(int tag) {
    Command(tag);
    QVERIFY(test::WaitUntilIdle(*FWindow));
  }
  void SetState(int row, EntryState state) {
    FSession->SetOutcome(row, state, FSession->At(row).message);
  }

 private slots:
  void init() {
    FHome = std::make_unique<QTemporaryDir>();
    QVERIFY(FHome->isValid());
    qputenv("DECKSCRIBE_HOME", FHome->path().toUtf8());
    FState = std::make_unique<AppState>(U(FHome->path() + "/"), U(FHome->path() + "/docs/"));
    FState->settings.targetDir = U(Home("out/"));
    FDialogs = std::make_unique<FakeDialogs>();
    FDialogs->state = FState.get();
    FDesktop = test::TestDesktop();
    FData = Home("data");
    WriteFile(FData + "/Talk.PPT", 100);
    WriteFile(FData + "/deck.pptx", 2500);
    WriteFile(FData + "/notes.txt", 5);
    WriteFile(FData + "/README", 5);
    WriteFile(FData + "/deck.pp", 7);
    WriteFile(FData + "/deck.pps", 7);
    WriteFile(FData + "/deck.pt", 7);
    OpenWindow();
  }

  void cleanup() {
    CloseWindow();
    FDialogs.reset();
    FState.reset();
    FHome.reset();
    QGuiApplication::clipboard()->clear();
  }

  void startsEmptyAndButtonsCarryTheirTags() {
    QCOMPARE(FWindow->StatusPanel(1), QString("0 File(s)"));
    QCOMPARE(FileCount(), 0);
    QCOMPARE(FWindow->Model()->columnCount(), 7);
    QCOMPARE(FWindow->Button("BtnConvert")->property("Tag").toInt(), 31);
  }

  void opensShowingEveryColumnAndRemembersItsPlace() {
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
    QTableView* list = FWindow->FileTable();
    QHeaderView* header = list->horizontalHeader();
    int total = 0;
    for (int c = 0; c < 7; ++c) {
      total += list->columnWidth(c);
      // Every caption fits with its sort marker, right-aligned "Size(Byte)" too.
      const QString marked = "(<-)" + FWindow->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
      QVERIFY2(list->columnWidth(c) > header->fontMetrics().horizontalAdvance(marked),
               qPrintable(marked));
    }
    QVERIFY2(total <= list->viewport()->width(),
             qPrintable(QString("%1 > %2, window %3").arg(total).arg(list->viewport()->width()).arg(FWindow->width())));
    // Rows and buttons as tall as the font.
    QVERIFY(list->verticalHeader()->defaultSectionSize() > list->fontMetrics().height());
    QVERIFY(FWindow->Button("BtnAddFile")->height() >= FWindow->Button("BtnAddFile")->sizeHint().height());
    // It cannot be shrunk to nothing.
    FWindow->resize(70, 144);
    QVERIFY(FWindow->width() >= FWindow->Button("BtnConvert")->width() * 5);
    QVERIFY(FWindow->height() > 144);

    FWindow->setGeometry(QRect(30, 40, 700, 450));
    QTRY_COMPARE(FWindow->geometry().size(), QSize(700, 450));
    const QRect where = FWindow->geometry();
    // The user's column widths and sort order come back too.
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    FWindow->AddFile(U(FData + "/deck.pptx"));
    list->setColumnWidth(kColName, 333);
    emit header->sectionClicked(kColSize);
    emit header->sectionClicked(kColSize);
    QCOMPARE(Cell(0, kColName), QString("deck.pptx"));
    FWindow->close();
    CloseWindow();
    const WindowPlacement& p = FState->windowPlacement;
    QVERIFY(p.known);
    QCOMPARE(QRect(p.left, p.top, p.width, p.height), where);
    QVERIFY(!p.maximized);
    FState->SaveSettings();
    FState->LoadSettings();
    OpenWindow();
    QCOMPARE(FWindow->size(), QSize(700, 450));
    QCOMPARE(FWindow->FileTable()->columnWidth(kColName), 333);
    QCOMPARE(FWindow->Model()->headerData(kColSize, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString("(<-)Size(Byte)"));
    QCOMPARE(Cell(0, kColName), QString("deck.pptx"));
    // The last column takes the room that is left.
    QVERIFY(FWindow->FileTable()->horizontalHeader()->stretchLastSection());
  }

  void addsFilesAndRefusesWithMessageAndLog() {
    const std::u16string talk = U(FData + "/Talk.PPT");
    FWindow->AddFile(talk);
    QCOMPARE(FileCount(), 1);
    QCOMPARE(Cell(0, 1), QString("Talk.PPT"));
    QCOMPARE(Cell(0, 2), FData + "/Talk.PPT");
    QCOMPARE(Cell(0, 3), QString("100"));
    QCOMPARE(Cell(0, 4), QString("PPT"));
    QCOMPARE(Cell(0, 5), Home("out/Talk.txt"));
    QCOMPARE(Cell(0, 6), QString());
    QCOMPARE(FSession->At(0).state, EntryState(0));
    QCOMPARE(RecordOf(FSession->At(0)).texts.size(), size_t(6));

    // The same path in other letter case is already there.
    const QString other = (FData + "/Talk.PPT").toLower();
    FWindow->AddFile(U(other));
    QCOMPARE(FileCount(), 1);
    QCOMPARE(FWindow->StatusPanel(2), "File [" + other + "] already added!");
    QVERIFY(LogText().contains("]: Add file failed: already added (" + other + ")\r\n"));

    // Extensions match whole: ".pp" lies inside ".ppt" but is none of the family.
    for (const QString name : {"notes.txt", "README", "deck.pt", "deck.pp"}) {
      const QString path = FData + "/" + name;
      FWindow->AddFile(U(path));
      QCOMPARE(FWindow->StatusPanel(2), "File [" + path + "] type not support!");
      QVERIFY(LogText().contains("Add file failed: type not support (" + path + ")\r\n"));
    }
    QCOMPARE(FileCount(), 1);

    // The whole family, as the console programs take it.
    FWindow->AddFile(U(FData + "/deck.pps"));
    QCOMPARE(Cell(1, 4), QString("PPT"));
    FWindow->AddFile(U(FData + "/deck.pptx"));
    QCOMPARE(Cell(2, 4), QString("PPTX"));
    QCOMPARE(Cell(2, 3), QString("2500"));

    // A missing file of a known type is added with size 0.
    FWindow->AddFile(U(FData + "/gone.ppt"));
    QCOMPARE(FileCount(), 4);
    QCOMPARE(Cell(3, 3), QString("0"));

    // The state icon in words for screen readers and the tooltip; whole texts in tooltips.
    FileTableModel* model = FWindow->Model();
    SetState(1, EntryState(1));
    SetState(2, EntryState(2));
    const QStringList words = {"Not converted", "Converted", "Failed"};
    for (int row = 0; row < 3; ++row) {
      for (int role : {int(Qt::ToolTipRole), int(Qt::AccessibleTextRole)})
        QCOMPARE(model->data(model->index(row, 0), role).toString(), words[row]);
    }
    QCOMPARE(model->data(model->index(0, 2), Qt::ToolTipRole).toString(), FData + "/Talk.PPT");
    SetState(1, EntryState(0));
    SetState(2, EntryState(0));

    // Each added entry becomes selected and current.
    QCOMPARE(Selected(), std::vector<int>({0, 1, 2, 3}));
    QCOMPARE(FWindow->FileTable()->currentIndex().row(), 3);

    FWindow->AddFile(U(FData + "/x.y/noext"));  // the dot of a folder is no extension
    QCOMPARE(FileCount(), 4);
  }

  void addFileSelectsOnlyTheNewEntries() {
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    QStringList filters;
    FDesktop.files = {FData + "/deck.pptx", FData + "/notes.txt", FData + "/deck.pps"};
    Command(21);
    QCOMPARE(FDesktop.filters.first(),
             QString("All Support File (*.ppt *.pps *.pot *.pptx *.pptm *.ppsx *.ppsm *.potx *.potm)"));
    QCOMPARE(FileCount(), 3);
    QCOMPARE(Selected(), std::vector<int>({1, 2}));
    QCOMPARE(FWindow->StatusPanel(1), QString("3 File(s)"));
    // The refusal in the middle is the last message.
    QCOMPARE(FWindow->StatusPanel(2), "File [" + FData + "/notes.txt] type not support!");

    // Cancelling the dialog changes nothing.
    FDesktop.files.clear();
    Command(21);
    QCOMPARE(Selected(), std::vector<int>({1, 2}));
  }

  void addDirScansTheTreeAndSkipsEmptyPieces() {
    const QString tree = Home("tree");
    MakeFiles(tree, {"a.ppt", "B.PPT", "c.Pptx", "d.ppt.bak", "sub/e.pptx", "sub/deeper/f.ppt",
                     ".hidden/g.ppt"});
    const QString second = Home("second");
    MakeFiles(second, {"h.ppt"});

    FDialogs->folderField = ";" + tree + ";;" + second + ";";
    FDialogs->recursive = false;
    CommandAndWait(22);
    QCOMPARE(FDialogs->calls, QStringList({"adddir"}));
    QVERIFY(!FDialogs->progressVisible);
    // Only the two named folders were entered: no scan of the root for the empty pieces.
    QCOMPARE(FDialogs->folders, QStringList({tree + "/", second + "/"}));
    QCOMPARE(FileCount(), 4);
    QCOMPARE(FWindow->StatusPanel(2), QString("Done Scanning, add 4 file(s)."));
    QCOMPARE(FWindow->StatusPanel(1), QString("4 File(s)"));

    // Recursive, PPTX only: adds the two .pptx files, and the earlier c.Pptx is a duplicate.
    FDialogs->folders.clear();
    FDialogs->recursive = true;
    FDialogs->tick1 = false;
    FDialogs->folderField = tree;
    CommandAndWait(22);
    QCOMPARE(FileCount(), 5);
    QCOMPARE(FWindow->StatusPanel(2), QString("Done Scanning, add 1 file(s)."));
    QCOMPARE(Cell(4, 2), tree + "/sub/e.pptx");
    QVERIFY(FDialogs->folders.contains(tree + "/sub/deeper/"));
    QVERIFY(!FDialogs->folders.contains(tree + "/.hidden/"));
    QCOMPARE(Selected(), std::vector<int>({4}));

    // An empty folder text scans nothing.
    FDialogs->folders.clear();
    FDialogs->folderField = "";
    CommandAndWait(22);
    QVERIFY(FDialogs->folders.isEmpty());
    QCOMPARE(FWindow->StatusPanel(2), QString("Done Scanning, add 0 file(s)."));

    // Cancel in the dialog: no scan at all.
    FDialogs->addDirOk = false;
    FDialogs->calls.clear();
    CommandAndWait(22);
    QCOMPARE(FDialogs->calls, QStringList({"adddir"}));
    QVERIFY(FDialogs->folders.isEmpty());
  }

  void bigFolderIsAddedAsOneSelection() {
    const QString big = Home("big");
    QVERIFY(QDir().mkpath(big));
    for (int i = 0; i < 5000; ++i) WriteFile(big + QString("/t%1.ppt").arg(i), 0);
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    FWindow->AddFile(U(big + "/t7.ppt"));  // already there when the scan finds it
    FDialogs->folderField = big;
    FDialogs->recursive = false;
    CommandAndWait(22);
    QCOMPARE(FileCount(), 5001);
    QCOMPARE(FSession->Count(), 5001);
    QCOMPARE(FWindow->StatusPanel(1), QString("5001 File(s)"));
    // Exactly the 4999 new rows, selected as one range, the last one current.
    const QItemSelection selection = FWindow->FileTable()->selectionModel()->selection();
    QCOMPARE(selection.size(), qsizetype(1));
    QCOMPARE(selection[0].top(), 2);
    QCOMPARE(selection[0].bottom(), 5000);
    QCOMPARE(FWindow->SelectedRows().size(), size_t(4999));
    QCOMPARE(FWindow->FileTable()->currentIndex().row(), 5000);
    // Every file once, duplicates refused even within the scan.
    QSet<QString> sources;
    for (int r = 0; r < FSession->Count(); ++r) sources.insert(Cell(r, 2));
    QCOMPARE(sources.size(), 5001);
    // The scan's own message stays; selecting by adding is not counted over it.
    QTest::qWait(120);
    QCOMPARE(FWindow->StatusPanel(2), QString("Done Scanning, add 4999 file(s)."));
    // The user's own selecting is counted.
    const QString third = Cell(2, 2);
    const QString gone = Cell(4000, 2);
    SelectRows(*FWindow, {0, 1, 4000});
    QTRY_COMPARE(FWindow->StatusPanel(2), QString("Select 3 file(s)."));
    Command(24);
    QCOMPARE(FileCount(), 4998);
    QCOMPARE(Cell(0, 2), third);
    QCOMPARE(FSession->Contains(U(gone)), false);
    // Scattered rows in numbers go too, and may be added again.
    QItemSelection every;
    for (int r = 0; r < 4998; r += 2)
      every.select(FWindow->Model()->index(r, 0), FWindow->Model()->index(r, 6));
    FWindow->FileTable()->selectionModel()->select(every, QItemSelectionModel::ClearAndSelect);
    Command(24);
    QCOMPARE(FileCount(), 2499);
    FWindow->AddFile(U(third));
    QCOMPARE(FileCount(), 2500);
  }

  void nothingChangesTheListDuringAScan() {
    const QString tree = Home("tree");
    MakeFiles(tree, {"a.ppt", "sub/b.ppt"});
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    FWindow->AddFile(U(FData + "/deck.pptx"));
    QGuiApplication::clipboard()->setMimeData(MimeForFiles({U(FData + "/deck.pps")}));
    QHeaderView* header = FWindow->FileTable()->horizontalHeader();
    QStringList enabled;
    FDialogs->duringScan = [&] {
      SelectRows(*FWindow, {0});
      FWindow->UpdateCommandStates();
      for (int tag : {21, 22, 23, 24, 31, 32, 33})
        if (FWindow->ActionOfTag(tag)->isEnabled()) enabled << QString::number(tag);
      for (int tag : {24, 31, 32, 21, 23}) Command(tag);
      emit header->sectionClicked(1);
      FWindow->AddDroppedItems({U(FData + "/deck.pps")});
    };
    FDialogs->folderField = tree;
    CommandAndWait(22);
    QVERIFY(enabled.isEmpty());
    QCOMPARE(FDialogs->convertMax, -1);  // no run started
    QCOMPARE(FSession->At(0).state, EntryState(0));
    QCOMPARE(FileCount(), 4);
    QCOMPARE(Cell(0, 1), QString("Talk.PPT"));  // neither deleted nor sorted
    QCOMPARE(Cell(3, 1), QString("b.ppt"));
    QCOMPARE(FWindow->Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString("Name"));
    // Afterwards everything is offered again.
    FWindow->UpdateCommandStates();
    for (int tag : {21, 22, 23, 24, 31}) QVERIFY(FWindow->ActionOfTag(tag)->isEnabled());
  }

  void logFailureWhileAddingIsToldOnce() {
    // A folder where the log file should be: every log write fails.
    QVERIFY(QDir().mkpath(Home("dkscract.log")));
    const QString tree = Home("tree");
    MakeFiles(tree, {"a.ppt", "b.doc", "c.doc"});
    FWindow->AddFile(U(tree + "/a.ppt"));
    FDialogs->errors.clear();
    FDialogs->folderField = tree;
    FDialogs->tick1 = true;
    CommandAndWait(22);  // a.ppt again: already added, the log cannot take the line
    QVERIFY(!FDialogs->progressVisible);
    QCOMPARE(FDialogs->errors.size(), 1);
    QVERIFY(FDialogs->errors[0].contains(Home("dkscract.log")));
    QCOMPARE(FWindow->StatusPanel(2), QString("Done Scanning, add 0 file(s)."));

    // Paste and drop report it once per operation too, and still add what they can.
    QGuiApplication::clipboard()->setMimeData(
        MimeForFiles({U(tree + "/b.doc"), U(tree + "/c.doc"), U(FData + "/deck.pptx")}));
    Command(23);
    QCOMPARE(FDialogs->errors.size(), 2);
    QCOMPARE(FileCount(), 2);
    FWindow->AddDroppedItems({U(tree + "/b.doc"), U(FData + "/Talk.PPT")});
    QCOMPARE(FDialogs->errors.size(), 3);
    QCOMPARE(FileCount(), 3);
  }

  void pasteAddsFromClipboardAndKeepsSelection() {
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    QCOMPARE(Selected(), std::vector<int>({0}));
    // Without a file list, Paste adds nothing and is not offered.
    QGuiApplication::clipboard()->setText("just text");
    FWindow->UpdateCommandStates();
    QVERIFY(!FWindow->ActionOfTag(23)->isEnabled());
    Command(23);
    QCOMPARE(FileCount(), 1);

    QGuiApplication::clipboard()->setMimeData(
        MimeForFiles({U(FData + "/deck.pptx"), U(FData), U(FData + "/deck.pps")}));
    FWindow->UpdateCommandStates();
    QVERIFY(FWindow->ActionOfTag(23)->isEnabled());
    Command(23);
    // No folder test: the folder is refused for its type, the files are added.
    QCOMPARE(FileCount(), 3);
    QCOMPARE(FWindow->StatusPanel(1), QString("3 File(s)"));
    QCOMPARE(Selected(), std::vector<int>({0, 1, 2}));
  }

  void dropOneItemThatCannotBeExaminedOpensAddDir() {
    // A dropped folder is driven through the real dialogs in addDirWithTheRealDialogs.
    FDialogs->addDirOk = false;
    FWindow->AddDroppedItems({U(Home("nowhere/y.ppt"))});
    QCOMPARE(FDialogs->calls, QStringList({"adddir"}));
    QCOMPARE(FDialogs->folderField, Home("nowhere/y.ppt"));
  }

  void dropFilesIgnoresFolders() {
    FWindow->AddFile(U(FData + "/deck.pps"));
    FWindow->AddDroppedItems({U(FData + "/Talk.PPT"), U(Home("tree")), U(FData),
                                  U(FData + "/deck.pptx")});
    QVERIFY(FDialogs->calls.isEmpty());
    QCOMPARE(FileCount(), 3);
    // The drop clears the earlier selection.
    QCOMPARE(Selected(), std::vector<int>({1, 2}));
    FWindow->AddDroppedItems({U(FData + "/notes.txt")});
    QCOMPARE(FileCount(), 3);
    QCOMPARE(FWindow->StatusPanel(1), QString("3 File(s)"));

    // The window takes drops of file URLs through the ordinary drop event.
    WriteFile(Home("new.pptx"), 3);
    std::unique_ptr<QMimeData> mime(MimeForFiles({U(FData + "/README"), U(Home("new.pptx"))}));
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    // Straight to the window's handler: without a drag in progress the application drops it.
    QVERIFY(static_cast<QObject*>(FWindow.get())->event(&drop));
    QVERIFY(drop.isAccepted());
    QTRY_COMPARE(FileCount(), 4);
  }

  void deleteAndSelectAll() {
    for (const char* n : {"a", "b", "c", "d", "e"}) FWindow->AddFile(U(FData + "/" + n + ".ppt"));
    SelectRows(*FWindow, {0, 2, 4});
    Command(24);
    QCOMPARE(FileCount(), 2);
    QCOMPARE(FWindow->StatusPanel(1), QString("2 File(s)"));
    QCOMPARE(Cell(0, 1), QString("b.ppt"));
    QCOMPARE(Cell(1, 1), QString("d.ppt"));
    Command(25);
    QCOMPARE(Selected(), std::vector<int>({0, 1}));
    QTRY_COMPARE(FWindow->StatusPanel(2), QString("Select 2 file(s)."));
    Command(24);
    QCOMPARE(FileCount(), 0);
    QCOMPARE(FWindow->StatusPanel(1), QString("0 File(s)"));
    // A deleted entry may be added again.
    FWindow->AddFile(U(FData + "/b.ppt"));
    QCOMPARE(FileCount(), 1);
  }

  void sortsByEachKindOfColumn() {
    WriteFile(FData + "/big.ppt", 10000);
    WriteFile(FData + "/small.ppt", 9);
    FWindow->AddFile(U(FData + "/small.ppt"));  // 9
    FWindow->AddFile(U(FData + "/big.ppt"));    // 10000
    FWindow->AddFile(U(FData + "/Talk.PPT"));   // 100
    FWindow->AddFile(U(FData + "/deck.pptx"));  // 2500
    SetState(0, EntryState(2));
    SetState(1, EntryState(1));
    QHeaderView* header = FWindow->FileTable()->horizontalHeader();
    auto caption = [&](int c) {
      return FWindow->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    };
    auto column = [&](int c) {
      QStringList out;
      for (int r = 0; r < FSession->Count(); ++r) out << Cell(r, c);
      return out;
    };
    // Size: numbers, not texts; then the other way round.
    emit header->sectionClicked(3);
    QCOMPARE(caption(3), QString("(->)Size(Byte)"));
    QCOMPARE(column(3), QStringList({"9", "100", "2500", "10000"}));
    emit header->sectionClicked(3);
    QCOMPARE(caption(3), QString("(<-)Size(Byte)"));
    QCOMPARE(column(3), QStringList({"10000", "2500", "100", "9"}));
    // Name: texts without regard to case, the marker moves.
    emit header->sectionClicked(1);
    QCOMPARE(caption(3), QString("Size(Byte)"));
    QCOMPARE(caption(1), QString("(->)Name"));
    QCOMPARE(column(1), QStringList({"big.ppt", "deck.pptx", "small.ppt", "Talk.PPT"}));
    emit header->sectionClicked(1);
    QCOMPARE(column(1), QStringList({"Talk.PPT", "small.ppt", "deck.pptx", "big.ppt"}));
    // State: numbers; equal states keep their order.
    emit header->sectionClicked(0);
    QCOMPARE(caption(0), QString("(->)State"));
    QCOMPARE(column(1), QStringList({"Talk.PPT", "deck.pptx", "big.ppt", "small.ppt"}));
    emit header->sectionClicked(0);
    QCOMPARE(caption(0), QString("(<-)State"));
    QCOMPARE(column(1), QStringList({"small.ppt", "big.ppt", "Talk.PPT", "deck.pptx"}));
    // The selection follows its entries.
    SelectRows(*FWindow, {0});
    emit header->sectionClicked(4);
    QCOMPARE(column(4), QStringList({"PPT", "PPT", "PPT", "PPTX"}));
    QCOMPARE(Selected().size(), size_t(1));
    QCOMPARE(Cell(Selected()[0], 1), QString("small.ppt"));
  }

  void menusFollowTheEnablingTable() {
    FWindow->UpdateCommandStates();
    for (int tag : {31, 32, 33, 24, 34, 35, 36, 37}) QVERIFY(!FWindow->ActionOfTag(tag)->isEnabled());
    for (int tag : {11, 12, 13, 21, 22, 25, 91, 96}) QVERIFY(FWindow->ActionOfTag(tag)->isEnabled());
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    FWindow->AddFile(U(FData + "/deck.pptx"));
    SetState(1, EntryState(1));
    SelectRows(*FWindow, {1});
    // Opening a top-level menu refreshes the enabling.
    emit FWindow->menuBar()->actions()[2]->menu()->aboutToShow();
    for (int tag : {31, 33, 24, 34, 36}) QVERIFY(FWindow->ActionOfTag(tag)->isEnabled());
    QVERIFY(!FWindow->ActionOfTag(32)->isEnabled());
    // Launch and Explore Target only once the text file exists.
    for (int tag : {35, 37}) QVERIFY(!FWindow->ActionOfTag(tag)->isEnabled());
    WriteFile(Cell(1, kColTarget), 3);
    emit FWindow->menuBar()->actions()[2]->menu()->aboutToShow();
    for (int tag : {35, 37}) QVERIFY(FWindow->ActionOfTag(tag)->isEnabled());

    // The popup stays shut while a scan's progress dialog is up.
    FDialogs->progressVisible = true;
    emit FWindow->FileTable()->customContextMenuRequested(QPoint(5, 5));
    QVERIFY(!FWindow->ContextMenu()->isVisible());
    FDialogs->progressVisible = false;
  }

  void keysReachTheirCommands() {
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
    FWindow->FileTable()->setFocus();
    for (const char* n : {"a", "b", "c"}) FWindow->AddFile(U(FData + "/" + n + ".ppt"));
    FWindow->FileTable()->selectionModel()->clearSelection();
    QTest::keyClick(FWindow->FileTable(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(Selected().size(), size_t(3));
    QTest::keyClick(FWindow->FileTable(), Qt::Key_Delete);
    QCOMPARE(FileCount(), 0);
    QTest::keyClick(FWindow->FileTable(), Qt::Key_F1);
    QTest::keyClick(FWindow->FileTable(), Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(FWindow->FileTable(), Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(test::WaitUntilIdle(*FWindow));
    QCOMPARE(FDialogs->calls, QStringList({"help", "adddir"}));
    QTest::keyClick(FWindow->FileTable(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(FDesktop.chosen, 1);
    QGuiApplication::clipboard()->setMimeData(MimeForFiles({U(FData + "/Talk.PPT")}));
    QTest::keyClick(FWindow->FileTable(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(FileCount(), 1);
    // Ctrl+G reaches the conversion run; the made-up file fails to convert.
    QTest::keyClick(FWindow->FileTable(), Qt::Key_G, Qt::ControlModifier);
    QVERIFY(test::WaitUntilIdle(*FWindow));
    QCOMPARE(FDialogs->convertMax, 1);
    QCOMPARE(FSession->At(0).state, EntryState(2));
    // Buttons go the same way.
    FWindow->Button("BtnOptions")->click();
    FWindow->Button("BtnLog")->click();
    QCOMPARE(FDialogs->calls, QStringList({"help", "adddir", "options", "log"}));
    Command(96);
    QCOMPARE(FDialogs->calls.last(), QString("about"));
  }

  void launchAndExploreUseTheFirstSelectedEntry() {
    QList<QUrl>& opened = FDesktop.opened;
    QList<QUrl>& shown = FDesktop.shown;
    bool& opens = FDesktop.opens;
    Command(34);  // nothing selected: nothing happens
    QVERIFY(opened.isEmpty());
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    FWindow->AddFile(U(FData + "/deck.pptx"));
    Command(34);
    QCOMPARE(opened.last(), QUrl::fromLocalFile(FData + "/Talk.PPT"));
    Command(35);
    QCOMPARE(opened.last(), QUrl::fromLocalFile(Home("out/Talk.txt")));
    // Explore an existing file: the file manager is asked; when it cannot, its folder opens.
    Command(36);
    QCOMPARE(shown.last(), QUrl::fromLocalFile(FData + "/Talk.PPT"));
    QCOMPARE(opened.last(), QUrl::fromLocalFile(FData + "/"));
    // A target that does not exist yet: only its folder.
    Command(37);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(opened.last(), QUrl::fromLocalFile(Home("out/")));
    QVERIFY(FDialogs->errors.isEmpty());

    // Nothing installed to open them: the user is told, once per command.
    opens = false;
    Command(34);
    QCOMPARE(FDialogs->errors.size(), 1);
    QVERIFY(FDialogs->errors[0].contains(FData + "/Talk.PPT"));
    Command(37);
    QCOMPARE(FDialogs->errors.size(), 2);
    QVERIFY(FDialogs->errors[1].contains(Home("out/")));
  }

  void namesThatAreNotUtf8WorkOnEveryPath() {
    // The bytes "caf\xE9.ppt": Latin-1, not UTF-8.
    const QByteArray folder = QFile::encodeName(FData);
    const QByteArray raw = folder + "/caf\xE9.ppt";
    {
      QFile f(QFile::decodeName(raw));
      std::FILE* file = std::fopen(raw.constData(), "wb");
      QVERIFY(file != nullptr);
      std::fputs("12345", file);
      std::fclose(file);
    }
    // The file dialog shows the byte as U+FFFD; the entry names the real file.
    FDesktop.files = {FData + "/caf\uFFFD.ppt"};
    Command(21);
    QCOMPARE(FileCount(), 1);
    const std::u16string source = FSession->At(0).source;
    QCOMPARE(source, PathFromNative(std::string_view(raw.constData(), size_t(raw.size()))));
    QCOMPARE(Cell(0, 3), QString("5"));
    // Launch names that very file.
    Command(34);
    QCOMPARE(FDesktop.opened.last().toEncoded(),
             "file://" + folder.toPercentEncoding("/") + "/caf%E9.ppt");
    // The log stays valid text: the byte is written as its value.
    FWindow->AddFile(source);
    QVERIFY(LogText().contains("already added (" + FData + "/caf\\xE9.ppt)"));
  }

  void listSurvivesARestart() {
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    FWindow->AddFile(U(FData + "/deck.pptx"));
    FWindow->AddFile(U(Home("\u00DCbersicht \u4E2D.ppt")));
    FSession->SetOutcome(0, EntryState::kConverted, u"Convert successfully");
    FSession->SetOutcome(1, EntryState::kFailed, u"Convert failed");
    const std::vector<Entry> before = FSession->Entries();
    CloseWindow();
    QVERIFY(QFile::exists(Home("Deckscribe.job")));
    OpenWindow();
    QCOMPARE(FileCount(), 3);
    QCOMPARE(FWindow->StatusPanel(1), QString("3 File(s)"));
    QVERIFY(FSession->Entries() == before);
    QVERIFY(Selected().empty());
    // Loaded entries still count as already added.
    FWindow->AddFile(U(FData + "/talk.ppt"));
    QCOMPARE(FileCount(), 3);

    // An empty list is saved as "LFW" and a zero count.
    Command(25);
    Command(24);
    CloseWindow();
    QFile job(Home("Deckscribe.job"));
    QVERIFY(job.open(QIODevice::ReadOnly));
    QCOMPARE(job.readAll(), QByteArray("LFW\0\0", 5));
    job.close();
    OpenWindow();
    QCOMPARE(FileCount(), 0);
  }

  void unreadableListIsKeptAsideAndSaveFailuresAreTold() {
    CloseWindow();
    WriteBytes(Home("Deckscribe.job"), "LFX not a list");
    OpenWindow();
    QCOMPARE(FileCount(), 0);
    QCOMPARE(ReadBytes(Home("Deckscribe.job.bak")), QByteArray("LFX not a list"));
    QVERIFY(!QFile::exists(Home("Deckscribe.job")));
    QVERIFY(FWindow->StatusPanel(2).contains(Home("Deckscribe.job.bak")));
    QVERIFY(LogText().contains(Home("Deckscribe.job.bak")));
    QTRY_COMPARE(FDialogs->errors.size(), 1);  // told once, after the window is up
    QVERIFY(FDialogs->errors[0].contains(Home("Deckscribe.job.bak")));
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    CloseWindow();
    QVERIFY(FSaveProblems.isEmpty());
    QVERIFY(ReadBytes(Home("Deckscribe.job")).startsWith(QByteArray("LFW\1\0", 5)));
    QCOMPARE(ReadBytes(Home("Deckscribe.job.bak")), QByteArray("LFX not a list"));

    // A list that cannot be written is reported, not lost in silence.
    OpenWindow();
    QVERIFY(QFile::remove(Home("Deckscribe.job")));
    QVERIFY(QDir().mkpath(Home("Deckscribe.job/in the way")));
    CloseWindow();
    QCOMPARE(FSaveProblems.size(), 1);
    QVERIFY(FSaveProblems[0].startsWith("Unable to write to " + Home("Deckscribe.job")));
    QVERIFY(FDialogs->errors.size() == 1);
  }

  void addDirWithTheRealDialogs() {
    test::RecordingServices boxes;
    ProgramDialogs dialogs(*FState, boxes);
    CloseWindow();
    OpenWindow(&dialogs);
    AddFolderDialog* addFolder = dialogs.AddFolder();
    ScanProgressDialog* progress = dialogs.ScanProgress();
    const QString tree = Home("tree");
    MakeFiles(tree, {"a.ppt", "sub/b.pptx", "sub/c.ppt"});

    // Dropping the folder fills the dialog's folder field; OK scans it.
    addFolder->recursiveBox->setChecked(true);
    QTimer::singleShot(0, addFolder, [&] {
      QVERIFY(addFolder->isVisible());
      QCOMPARE(addFolder->folderEdit->text(), tree);
      addFolder->okButton->click();
    });
    FWindow->AddDroppedItems({U(tree)});
    QVERIFY(test::WaitUntilIdle(*FWindow));
    QCOMPARE(FState->settings.scanFolders, U(tree));
    QCOMPARE(FileCount(), 3);
    QVERIFY(!progress->isVisible());
    QCOMPARE(FWindow->StatusPanel(2), QString("Done Scanning, add 3 file(s)."));

    // Only PPTX ticked, not recursive: nothing new on the top level.
    addFolder->typeList->item(0)->setCheckState(Qt::Unchecked);
    addFolder->recursiveBox->setChecked(false);
    QTimer::singleShot(0, addFolder, [&] { addFolder->okButton->click(); });
    CommandAndWait(22);
    QCOMPARE(FWindow->StatusPanel(2), QString("Done Scanning, add 0 file(s)."));

    // Stop pressed in the progress dialog during the scan: the later folders are skipped.
    const QString more = Home("more");
    for (int i = 0; i < 20; ++i) WriteFile(more + QString("/f%1.ppt").arg(i), 1);
    const QString last = Home("last");
    MakeFiles(last, {"z.ppt"});
    addFolder->typeList->item(0)->setCheckState(Qt::Checked);
    addFolder->folderEdit->setText(more + ";" + last);
    QTimer::singleShot(0, addFolder, [&] {
      addFolder->okButton->click();
      QTimer::singleShot(0, progress, [&] {
        QVERIFY(progress->isVisible());
        progress->stopButton->click();
      });
    });
    const int before = FileCount();
    CommandAndWait(22);
    QVERIFY(FWindow->LastScan().stopped);
    QVERIFY(!progress->isVisible());
    QVERIFY(FileCount() - before < 20);
    QCOMPARE(FSession->Contains(U(last + "/z.ppt")), false);
    QVERIFY(boxes.shown.empty());
    CloseWindow();
  }

  // Keys are the actions' own shortcuts, which the menus align; captions carry no padding;
  // Tab leaves the list; nothing hides the focus.
  void keysAreRealShortcutsAndTabLeavesTheList() {
    const std::pair<int, QKeySequence> keys[] = {
        {kTagAddFile, QKeySequence(Qt::CTRL | Qt::Key_F)}, {kTagAddDir, QKeySequence(Qt::CTRL | Qt::Key_D)},
        {kTagPasteFile, QKeySequence(Qt::CTRL | Qt::Key_V)}, {kTagDelete, QKeySequence(Qt::Key_Delete)},
        {kTagSelectAll, QKeySequence(Qt::CTRL | Qt::Key_A)}, {kTagConvertAll, QKeySequence(Qt::CTRL | Qt::Key_G)},
        {kTagContents, QKeySequence(Qt::Key_F1)}};
    for (const auto& [tag, key] : keys) QCOMPARE(FWindow->ActionOfTag(tag)->shortcut(), key);
    QCOMPARE(FWindow->ActionOfTag(kTagAddFile)->text(), QString("Add &File"));
    QList<QAction*> named = FWindow->findChildren<QAction*>();
    for (QAction* menu : FWindow->menuBar()->actions()) named << menu;
    for (QAction* action : named) {
      const QString text = action->text();
      QVERIFY2(text == text.trimmed() && !text.contains("  "), qPrintable(text));
    }
    QCOMPARE(FWindow->menuBar()->actions()[0]->text(), QString("&File"));

    QVERIFY(FWindow->styleSheet().isEmpty());
    for (QWidget* w : FWindow->findChildren<QWidget*>())
      QVERIFY2(w->styleSheet().isEmpty(), qPrintable(w->objectName()));
    QTableView* table = FWindow->FileTable();
    QVERIFY(!table->tabKeyNavigation());
    QVERIFY(FWindow->Button("BtnConvert")->focusPolicy() & Qt::TabFocus);

    for (const char* n : {"a", "b", "c"}) FWindow->AddFile(U(FData + "/" + n + ".ppt"));
    FWindow->show();
    FWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(FWindow.get()));
    table->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(table));
    QTest::keyClick(table, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != table);
    // A key whose command the menus do not offer now still runs it: Ctrl+G converts.
    table->setFocus();
    FWindow->UpdateCommandStates();  // nothing selected: some commands are off
    QTest::keyClick(table, Qt::Key_G, Qt::ControlModifier);
    QVERIFY(test::WaitUntilIdle(*FWindow));
    QCOMPARE(FDialogs->convertMax, 3);
  }

  // A dark theme: the list takes every colour from the palette, none from the model or a
  // style sheet, and its rows read light on dark.
  void darkPaletteReachesEveryRow() {
    const QPalette before = QApplication::palette();
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(25, 25, 25));
    dark.setColor(QPalette::AlternateBase, QColor(50, 50, 55));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    dark.setColor(QPalette::Button, QColor(45, 45, 45));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    QApplication::setPalette(dark);
    CloseWindow();
    OpenWindow();
    for (const char* n : {"a", "b", "c", "d"}) FWindow->AddFile(U(FData + "/" + n + ".ppt"));
    FileTableModel* model = FWindow->Model();
    for (int row = 0; row < model->rowCount(); ++row)
      for (int col = 0; col < model->columnCount(); ++col)
        for (int role : {int(Qt::BackgroundRole), int(Qt::ForegroundRole)})
          QVERIFY2(!model->data(model->index(row, col), role).isValid(),
                   qPrintable(QString("row %1 column %2 role %3").arg(row).arg(col).arg(role)));
    QTableView* table = FWindow->FileTable();
    QVERIFY(table->alternatingRowColors());
    QCOMPARE(table->palette().color(QPalette::Base), dark.color(QPalette::Base));
    QCOMPARE(table->palette().color(QPalette::AlternateBase), dark.color(QPalette::AlternateBase));
    // What is painted: every row's empty end is dark, none white or the tooltip's yellow.
    table->selectionModel()->clearSelection();
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
    const QImage shot = table->viewport()->grab().toImage();
    const int x = table->columnViewportPosition(kColMessage) + table->columnWidth(kColMessage) / 2;
    for (int row = 0; row < 4; ++row) {
      const int y = table->rowViewportPosition(row) + table->rowHeight(row) / 2;
      const QColor painted = shot.pixelColor(x * shot.width() / table->viewport()->width(),
                                             y * shot.height() / table->viewport()->height());
      QVERIFY2(painted.lightness() < 100, qPrintable(QString("row %1: %2").arg(row).arg(painted.name())));
    }
    CloseWindow();
    QApplication::setPalette(before);
    OpenWindow();
  }

  // The options change the folder and the form: the target column follows at once.
  void targetsFollowTheOptions() {
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    FWindow->AddFile(U(FData + "/deck.pptx"));
    FSession->SetOutcome(1, EntryState::kConverted, u"Convert successfully");
    FDialogs->onOptions = [&] {
      FState->settings.targetDir = U(Home("elsewhere/"));
      FState->settings.textForm = kTextFormJson;
    };
    Command(kTagOptions);
    QCOMPARE(Cell(0, kColTarget), Home("elsewhere/Talk.json"));
    QCOMPARE(Cell(1, kColTarget), Home("out/deck.txt"));  // converted: where its text went
    // Cancelled: nothing changes.
    FState->settings.targetDir = U(Home("third/"));
    FDialogs->onOptions = nullptr;
    Command(kTagOptions);
    QCOMPARE(Cell(0, kColTarget), Home("elsewhere/Talk.json"));
  }

  // The end of a run says what happened; a run with nothing to do says how to convert again.
  void runEndsWithTotalsAndNothingToConvertSaysHow() {
    FWindow->AddFile(U(Home("gone1.ppt")));
    FWindow->AddFile(U(Home("gone2.pptx")));
    QStringList titles;
    connect(FWindow.get(), &QWidget::windowTitleChanged, this, [&](const QString& t) { titles << t; });
    CommandAndWait(kTagConvertAll);
    QCOMPARE(FWindow->StatusPanel(2), QString("0 converted, 2 failed"));
    // The caption followed the run, and is itself again afterwards.
    QVERIFY2(titles.contains("[50%] Kel-Deckscribe"), qPrintable(titles.join('|')));
    QVERIFY2(titles.contains("[100%] Kel-Deckscribe"), qPrintable(titles.join('|')));
    QCOMPARE(FWindow->windowTitle(), QString("Kel-Deckscribe"));

    FDialogs->convertMax = -1;
    const QString log = LogText();
    Command(kTagConvertAll);
    QVERIFY(!FWindow->Converting());
    QCOMPARE(FDialogs->convertMax, -1);  // no run
    QCOMPARE(LogText(), log);            // nothing logged
    QVERIFY2(FWindow->StatusPanel(2).startsWith("Nothing to convert"), qPrintable(FWindow->StatusPanel(2)));
    QVERIFY(FWindow->StatusPanel(2).contains("ReConvert Selected"));
    SelectRows(*FWindow, {0});
    Command(kTagConvertSelect);
    QVERIFY(FWindow->StatusPanel(2).contains("ReConvert Selected"));
    QCOMPARE(FDialogs->convertMax, -1);
    Command(kTagReConvert);  // a failed entry converts again
    QVERIFY(test::WaitUntilIdle(*FWindow));
    QCOMPARE(FDialogs->convertMax, 2);
  }

  // Selecting a converted entry shows its text; Enter or a double click opens its text file.
  void previewShowsTheTextAndEnterOpensIt() {
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    FWindow->AddFile(U(FData + "/deck.pptx"));
    PreviewPane* preview = FWindow->Preview();
    QTableView* table = FWindow->FileTable();
    table->setCurrentIndex(FWindow->Model()->index(0, 1));
    QVERIFY(preview->Text().isEmpty());
    QVERIFY(preview->Caption().contains("once the entry has been converted"));
    WriteBytes(Home("out/Talk.txt"), "Hello\r\n\xFC" "ber\r\n");  // in the code page of the options
    FState->settings.codePage = 1252;
    FSession->SetOutcome(0, EntryState::kConverted, u"Convert successfully");
    QCOMPARE(preview->Text(), QString("Hello\n\u00FCber\n"));
    QCOMPARE(preview->Caption(), Home("out/Talk.txt") + ", written " +
                                     QLocale().toString(QFileInfo(Home("out/Talk.txt")).lastModified(),
                                                        QLocale::ShortFormat));
    table->setCurrentIndex(FWindow->Model()->index(1, 1));
    QVERIFY(preview->Text().isEmpty());

    emit table->activated(FWindow->Model()->index(0, 2));
    QCOMPARE(FDesktop.opened.last(), QUrl::fromLocalFile(Home("out/Talk.txt")));
    const qsizetype opened = FDesktop.opened.size();
    emit table->activated(FWindow->Model()->index(1, 2));  // no text file yet
    QCOMPARE(FDesktop.opened.size(), opened);
    QVERIFY(FWindow->StatusPanel(2).contains(Home("out/deck.txt")));
  }

  // "Deckscribe FILE... FOLDER...": files are added, folders searched as Add Dir does.
  void commandLineAddsFilesAndSearchesFolders() {
    const QString tree = Home("tree");
    MakeFiles(tree, {"a.ppt", "sub/b.ppsx", "sub/deeper/c.POTM", "notes.txt"});
    FWindow->AddFromCommandLine({U(FData + "/Talk.PPT"), U(tree), U(FData + "/deck.pps")});
    QVERIFY(test::WaitUntilIdle(*FWindow));
    QCOMPARE(FileCount(), 5);
    QCOMPARE(Cell(0, 2), FData + "/Talk.PPT");
    QCOMPARE(Cell(1, 2), FData + "/deck.pps");
    QSet<QString> found;
    for (int r = 2; r < 5; ++r) found << Cell(r, 2);
    QCOMPARE(found, QSet<QString>({tree + "/a.ppt", tree + "/sub/b.ppsx", tree + "/sub/deeper/c.POTM"}));
    QVERIFY(FDialogs->calls.isEmpty());  // no dialog asked
  }

  // A second window on the same settings folder leaves the first one's list alone.
  void secondWindowLeavesTheFirstWindowsListAlone() {
    FWindow->AddFile(U(FData + "/Talk.PPT"));
    const QByteArray saved = ReadBytes(Home("Deckscribe.job"));
    {
      Session second(*FState);
      const JobFileStart start = second.LoadJobFile();
      QVERIFY(start.inUseElsewhere);
      FakeDialogs dialogs;
      dialogs.state = FState.get();
      MainWindow window(second, dialogs, FDesktop, FConverter, start);
      QVERIFY2(window.StatusPanel(2).startsWith("Another Deckscribe window keeps the file list"),
               qPrintable(window.StatusPanel(2)));
      QCOMPARE(second.Count(), 0);
      window.AddFile(U(FData + "/deck.pptx"));
      QVERIFY(SaveListAndSettings(second).isEmpty());  // nothing to tell: it said so at start
    }
    QCOMPARE(ReadBytes(Home("Deckscribe.job")), saved);
    CloseWindow();
    std::vector<JobRecord> records;
    LoadJobFile(records, FState->JobFilePath());
    QCOMPARE(records.size(), size_t(1));
    QCOMPARE(EntryOf(records[0]).source, U(FData + "/Talk.PPT"));
  }

  void terminationSignalsCloseTheWindow() {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
      FWindow->show();
      CloseOnSignal closer(FWindow.get());
      QVERIFY(!closer.Fired());
      std::raise(sig);
      QTRY_VERIFY(!FWindow->isVisible());
      QVERIFY(closer.Fired());  // so the program ends without asking anyone
    }
  }

  void exitClosesTheWindow() {
    FWindow->show();
    QVERIFY(FWindow->isVisible());
    Command(12);
    QVERIFY(!FWindow->isVisible());
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
