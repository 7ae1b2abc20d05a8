#pragma once
// The main window's widgets: the actions of the command table, the menus, the file table,
// the button bar and the status bar, and where the window opens. Built once; the window
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
class QTableView;
class QToolButton;
class QWidget;

namespace dkscr {

class FileTableModel;
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
  // Moves the Convert button to the bar's right edge, as the window's width changes.
  void KeepConvertButtonRight();
  // Where the window opens: where it was last time, else wide enough for every column as far
  // as the screen allows.
  void Place(const WindowPlacement& placement);
  // The window's place (its normal geometry when maximised), once it has been shown.
  void Remember(WindowPlacement& placement) const;

  QTableView* fileTable = nullptr;
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
