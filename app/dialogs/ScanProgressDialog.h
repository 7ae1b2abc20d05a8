#pragma once
// "Searching Files ...": shown while folders are scanned; shows the folder being searched
// and asks the search to stop.

#include <QDialog>

class QLabel;
class QPushButton;
class QStatusBar;

namespace dkscr {

class FrameAnimation;

class ScanProgressDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ScanProgressDialog(QWidget* parent = nullptr);

  // The status bar's text: the folder being searched.
  void SetStatusText(const QString& text);

  FrameAnimation* animation;
  QPushButton* stopButton;
  QStatusBar* folderBar;

 signals:
  // The user asked to stop (button, Esc or the title-bar button). The window stays open
  // for the button and Esc; the search's owner closes it when the search has ended.
  void StopRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void RequestStop();

  QLabel* folderLabel_;
};

}  // namespace dkscr
