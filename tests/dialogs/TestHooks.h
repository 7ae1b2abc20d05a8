#pragma once
// Stand-ins for the user at the dialogs' message boxes, folder browser and save dialog.

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <vector>

#include "app/dialogs/DialogServices.h"

namespace dkscr::test {

struct ShownMessage {
  QString title;
  QString text;
  QMessageBox::Icon icon;
};

// Records every message box instead of showing it; restores the real boxes when destroyed.
class MessageRecorder {
 public:
  MessageRecorder() {
    SetMessageBoxHook([this](QWidget*, const QString& title, const QString& text,
                             QMessageBox::Icon icon) {
      shown.push_back({title, text, icon});
    });
  }
  ~MessageRecorder() { SetMessageBoxHook(nullptr); }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  std::vector<ShownMessage> shown;
};

// Answers the folder browser with a fixed choice and records how it was asked.
class FolderAnswer {
 public:
  explicit FolderAnswer(QString answer) : answer_(std::move(answer)) {
    SetFolderDialogHook([this](QWidget*, const QString& title, const QString& root,
                               const QString& start) {
      titles.push_back(title);
      roots.push_back(root);
      starts.push_back(start);
      return answer_;
    });
  }
  ~FolderAnswer() { SetFolderDialogHook(nullptr); }
  FolderAnswer(const FolderAnswer&) = delete;
  FolderAnswer& operator=(const FolderAnswer&) = delete;

  QStringList titles, roots, starts;

 private:
  QString answer_;
};

}  // namespace dkscr::test
