#pragma once
// The main window's widgets: the actions of the command table, the menus, the file table with
// the preview below it, the button bar and the status bar, and where the window opens. Built once; the window
// connects them to its commands.
#include <QIcon>
#include <QString>
#include <array>
#include <map>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QSplitter;
class QTableView;
class QToolButton;
class QWidget;

namespace dkscr {

class FileTableModel;
class PreviewPane;
struct WindowPlacement;

// A text of the main window in the user's language; the window's helpers share its
// translation context ("dkscr::MainWindow").
QString WindowText(const char* text);

// The property that carries a command's tag on its actions and buttons.
inline constexpr const char* kTagProperty = "Tag";

class MainWindowUi {
 public:
  // Builds everything inside `window`, the table over `model`.
  MainWindowUi(QMainWindow& window, FileTableModel& model);

  QAction* Action(int tag) const;
  // The table's selected rows (of the first `rowCount`) in ascending order.
  std::vector<int> SelectedRows(int rowCount) const;
  // The program's own selecting, which the user's selection count leaves alone: rows
  // first..last as one range (so that later selection work does not walk a range per row),
  // the last current and in view; or none.
  void SelectRange(int first, int last);
  void ClearSelection();
  bool ProgramSelects() const { return programSelects_; }
  // Status panel 2, the messages; status panel 1, the number of entries.
  void ShowStatus(const QString& text);
  void ShowFileCount(int count);
  // The window's caption, with the run's progress in front while one goes on ("[37%] ...");
  // a negative percent gives the plain caption.
  void ShowRunPercent(int percent);
  // Moves the Convert button to the bar's right edge, as the window's width changes.
  void KeepConvertButtonRight();
  // Where the window opens, with its columns and its preview: as they were last time, else
  // wide enough for every column as far as the screen allows.
  void Place(const WindowPlacement& placement);
  // The window's place (its normal geometry when maximised), column widths and preview
  // height, once it has been shown; the sort order is the session's.
  void Remember(WindowPlacement& placement) const;

  QTableView* fileTable = nullptr;
  PreviewPane* preview = nullptr;
  QSplitter* splitter = nullptr;  // the table above, the preview below
  QMenu* contextMenu = nullptr;
  std::array<QMenu*, 4> topMenus{};
  std::map<int, QAction*> actions;             // by tag
  std::map<std::string, QToolButton*> buttons;  // by name, e.g. "BtnConvert"
  std::array<QLabel*, 3> panels{};              // of the status bar
  QWidget* buttonBar = nullptr;

 private:
  void BuildActions();
  void BuildMenus();
  void BuildTable();
  void BuildButtonBar();
  void BuildStatusBar();
  void SetHints();
  // Never narrower than its caption with the sort marker.
  int MinimumColumnWidth(int column) const;

  QMainWindow& window_;
  FileTableModel& model_;
  std::array<QIcon, 8> images_;
  int buttonBarWidth_ = 0;  // what the buttons need side by side
  bool programSelects_ = false;
};

}  // namespace dkscr
