#pragma once
// The main window: the file list, its menus and buttons, and every way of adding files.
#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>
#include <QUrl>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/FileListModel.h"
#include "app/session/AppState.h"
#include "app/KelFileFind.h"
#include "app/ListSort.h"
#include "app/MainCommands.h"
#include "app/SavedFileList.h"
#include "app/batchrun/BatchRun.h"
#include "core/OutputBuffer.h"

class QAction;
class QLabel;
class QMenu;
class QTableView;
class QTimer;
class QToolButton;
class QWidget;

namespace dkscr {

class TMainDialogs;

// Desktop services the window calls; a test replaces them to watch what would happen.
struct TMainServices {
  // Chooses files to add: the dialog's parent and its name filters; empty when cancelled.
  std::function<QStringList(QWidget*, const QStringList&)> OpenFiles;
  // Opens a document or a folder with the desktop's default program; false when none started.
  std::function<bool(const QUrl&)> OpenUrl;
  // Asks the file manager to show an item selected; false when it cannot.
  std::function<bool(const QUrl&)> ShowItem;
  // Told what could not be saved when the window goes (the program reports it on exit).
  std::function<void(const QString&)> SaveProblem;
};

class TFmMain : public QMainWindow {
  Q_OBJECT

 public:
  // Loads the saved list from the job file in the program's folder.
  explicit TFmMain(AppState& global, QWidget* parent = nullptr);
  // Saves the list to the job file.
  ~TFmMain() override;
  TFmMain(const TFmMain&) = delete;
  TFmMain& operator=(const TFmMain&) = delete;
  // Saves the list and the window's place now, as closing would (a desktop logout may end
  // the program without closing it).
  void SaveNow();

  // The program's other windows; set once they exist. A problem met while loading the saved
  // list is told through them, once.
  void SetDialogs(TMainDialogs* dialogs);
  TMainServices& Services() { return FServices; }

  // Every command ends here and is chosen by the sender's "Tag" property.
  void MenuItemClick(QObject* sender);
  QAction* ActionOfTag(int tag) const;

  void AddFile(const std::u16string& path);
  std::u16string TargetFileName(std::u16string_view source) const;
  void OpenEntryFile(bool useSource, bool launch);
  void ShowStatusMessage(const QString& text);
  // Shows the number of entries in status panel 1.
  void ShowFileCount();
  void ScrollToCurrent();
  // The batch conversion run over the list; returns when its dialog has closed.
  void ConvertFiles(TConvertMode mode);
  bool Converting() const { return FConverting; }
  // The converter for each type; tests put their own in.
  // What the standard converters ask of the window while a package is read.
  void SetZipHooks(ZipHostHooks hooks) { FZipHooks = std::move(hooks); }
  void SetConverters(std::vector<ConverterForType> converters) {
    FConverters = std::move(converters);
  }

  // Items dropped on the window, already turned into paths.
  void FileDropTarget1Drop(const std::vector<std::u16string>& items);
  // Refreshes which menu commands are enabled.
  void ActionMainMenuBar1Paint();
  // Handles a key press the way the window previews keys; true when it ran a command.
  bool FormKeyDown(int qtKey, Qt::KeyboardModifiers modifiers);

  int FileCount() const { return FFileCount; }
  TFileListModel* Model() const { return FModel; }
  QString StatusPanel(int panel) const;
  // The selected rows in ascending order, and their number; both walk the selection's
  // ranges once, not every row against every range.
  std::vector<int> SelectedRows() const;
  size_t SelectedCount() const;
  bool ScanRunning() const { return FScanning; }
  TKelFileSearch& FileSearch() { return FFileSearch; }

  QTableView* ListView1 = nullptr;
  QMenuBar* MainMenu1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  std::map<std::string, QToolButton*> Buttons;  // by name, e.g. "BtnConvert"
  QTimer* TimerSelectItems = nullptr;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void FormCreate();
  void FormDestroy();
  void BuildActions();
  void BuildMenus();
  void BuildButtonBar(QWidget* bar);
  void BuildList();
  void BuildStatusBar();
  void SetActionHints();
  // Where the window opens: where it was last time, else wide enough for every column.
  void PlaceWindow();
  // Never narrower than its caption with the sort marker.
  int MinimumColumnWidth(int column) const;
  // Keeps the window's place for the settings file.
  void RememberPlacement();

  void RunCommand(int tag);
  void DoAddFile();
  void DoAddDir();
  void DoPaste();
  void DoDelete();
  void DoSelectAll();
  void DoFileFound(const std::u16string& fullpath, const TFindData& info);
  void DoChangeFolder(const std::u16string& fullpath);
  void DoSearchFinish();
  void PopupMenu1Popup(const QPoint& pos);
  void ListView1ColumnClick(int column);
  void TimerSelectItemsTimer();
  void FormActivate();
  void FormResize();

  // Keeps a saved list that could not be read beside it, so that saving does not replace it.
  void KeepUnreadJobFile(TFileListLoadStatus status);
  void SaveJobFile();

  void ClearSelection();
  void SelectRows(int first, int last);
  // One flag per row: whether it is selected.
  std::vector<bool> SelectionFlags() const;
  // Rows added between these two are selected as one range when the outermost batch ends,
  // and the selection count is left alone meanwhile: a range per row makes every later
  // selection operation walk all of them.
  void BeginAdding();
  void EndAdding();
  // Lets the scan's progress dialog work without handling events after every entry.
  void ProcessScanMessages();
  // Logs one line; remembers a failure so the user is told once when the operation ends.
  void Log(const std::u16string& message);
  void ReportLogFailure();

  AppState& FGlobal;
  TMainDialogs* FDialogs = nullptr;
  TMainServices FServices;
  TFileListModel* FModel = nullptr;
  std::array<QLabel*, 3> FPanels{};
  std::map<int, QAction*> FActions;
  std::array<QIcon, 8> FImageMenu;
  std::array<QMenu*, 4> FTopMenus{};
  QWidget* FButtonBar = nullptr;
  int FButtonBarWidth = 0;  // what the buttons need side by side
  bool FWasShown = false;

  OutputBuffer FOutBuffer;  // the converters' output, kept for every run
  int FFileCount = 0;
  TSortState FSort;
  std::vector<std::u16string> FDirList;
  bool FCancel = false;
  TKelFileSearch FFileSearch;
  bool FScanning = false;
  int FAddingDepth = 0;
  int FAddingFirstRow = -1;  // first row added by the open batch, -1 for none
  bool FProgramSelects = false;  // the selection changes because of an add, not the user
  QElapsedTimer FScanPump;
  bool FLogFailed = false;
  QString FLogError;
  bool FConverting = false;
  bool FCloseAfterRun = false;  // closing was asked for during a run
  bool FJobFileKept = false;    // an unread job file could not be moved aside: never save over it
  QString FStartProblem;        // told once the dialogs exist
  std::vector<ConverterForType> FConverters;  // none: the standard ones of the text form set
  ZipHostHooks FZipHooks;                     // what the standard converters ask of the window

  friend class TMainRunHost;
};

}  // namespace dkscr
