#pragma once
// "Log": shows the activity log, deletes or exports it, and switches logging off and on.

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace dkscr {

class AppState;
class DialogServices;

inline constexpr const char* kLogExportFilter = QT_TRANSLATE_NOOP("dkscr::LogDialog", "Kel-Deckscribe Log File(*.log)");

class LogDialog : public QDialog {
  Q_OBJECT

 public:
  LogDialog(AppState& state, DialogServices& services, QWidget* parent = nullptr);

  // Loads the activity log into the box; call before every showing.
  void LoadLog();

  QPlainTextEdit* logView;
  QCheckBox* noLogBox;
  QPushButton* clearButton;
  QPushButton* exportButton;
  QPushButton* closeButton;

 private:
  void ClearLog();
  void ExportLog();

  AppState& state_;
  DialogServices& services_;
};

}  // namespace dkscr
