#pragma once
// The progress dialog of a conversion run: shows the entry in hand and how far the run has
// come, and lets the user ask the run to stop before its next entry.
#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace dkscr {

class ConvertProgressDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ConvertProgressDialog(QWidget* parent = nullptr);

  // Called when the user asks to stop: the Cancel button, Esc, or closing the dialog.
  void SetCancelHandler(std::function<void()> handler) { onCancel_ = std::move(handler); }

  // Resets the gauge to 0 of `maximum` and shows the dialog without making it modal.
  void Start(int maximum);
  void ShowFileName(const QString& path);
  // Moves the gauge and the count to `position`.
  void SetProgress(int position);

  int Progress() const;
  int Maximum() const;

  QLabel* fileLabel = nullptr;
  QLabel* doneLabel = nullptr;
  QLabel* totalLabel = nullptr;
  QProgressBar* gauge = nullptr;
  QLabel* hintLabel = nullptr;
  QPushButton* cancelButton = nullptr;

 public slots:
  void RequestCancel();
  // Esc asks to stop like the Cancel button; the run closes the dialog when it ends.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::function<void()> onCancel_;
};

}  // namespace dkscr
