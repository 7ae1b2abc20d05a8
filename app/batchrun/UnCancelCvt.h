#pragma once
// The progress dialog of a conversion run: shows the entry in hand and how far the run has
// come, and lets the user ask the run to stop before its next entry.
#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace dkscr {

class TFmCancelCvt : public QDialog {
  Q_OBJECT

 public:
  explicit TFmCancelCvt(QWidget* parent = nullptr);

  // Called when the user asks to stop: the Cancel button, Esc, or closing the dialog.
  void SetCancelHandler(std::function<void()> handler) { onCancel_ = std::move(handler); }

  // Resets the gauge to 0 of `maximum` and shows the dialog without making it modal.
  void Start(int maximum);
  void ShowFileName(const QString& path);
  void StepProgress();

  int Progress() const;
  int Maximum() const;

  QLabel* LblFileName = nullptr;
  QLabel* LblSub = nullptr;
  QLabel* LblTot = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* BtnCancel = nullptr;

 public slots:
  void BtnCancelClick();
  // Esc asks to stop like the Cancel button; the run closes the dialog when it ends.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::function<void()> onCancel_;
};

}  // namespace dkscr
