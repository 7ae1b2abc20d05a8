#pragma once
// "Log": shows the activity log, deletes or exports it, and switches logging off and on.

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace dkscr {

class AppState;

inline constexpr const char* kLogExportFilter = "Kel-Deckscribe Log File(*.log)";

class TFmViewLog : public QDialog {
  Q_OBJECT

 public:
  explicit TFmViewLog(AppState& global, QWidget* parent = nullptr);

  // Loads the activity log into the box; call before every showing.
  void LoadLog();

  QPlainTextEdit* MemoLog;
  QCheckBox* CBNotLog;
  QPushButton* BtnClear;
  QPushButton* BtnExport;
  QPushButton* BtnCancel;

 private:
  void BtnClearClick();
  void BtnExportClick();

  AppState& FGlobal;
};

}  // namespace dkscr
