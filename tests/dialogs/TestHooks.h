#pragma once
// A stand-in for the user at the dialogs' message boxes, folder browser and save dialog:
// it records how each was asked and answers with what the test set.
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

class RecordingServices : public DialogServices {
 public:
  void ShowMessage(QWidget*, const QString& title, const QString& text,
                   QMessageBox::Icon icon) override {
    shown.push_back({title, text, icon});
  }
  QString ChooseFolder(QWidget*, const QString& title, const QString& root,
                       const QString& start) override {
    titles << title;
    roots << root;
    starts << start;
    return folderAnswer;
  }
  QString ChooseSaveFile(QWidget*, const QString& filter, const QString& suffix) override {
    filters << filter;
    suffixes << suffix;
    return saveAnswer;
  }

  // Forgets what was shown and asked; returns itself for the test to look at.
  RecordingServices& Fresh() {
    shown.clear();
    titles.clear(), roots.clear(), starts.clear(), filters.clear(), suffixes.clear();
    return *this;
  }
  // The folder browser answers `folder` from now on (empty: the user cancels).
  RecordingServices& AnswerFolder(QString folder) {
    folderAnswer = std::move(folder);
    return Fresh();
  }
  // The save dialog answers `file` from now on (empty: the user cancels).
  RecordingServices& AnswerSave(QString file) {
    saveAnswer = std::move(file);
    return Fresh();
  }

  std::vector<ShownMessage> shown;
  QStringList titles, roots, starts, filters, suffixes;
  QString folderAnswer, saveAnswer;
};

}  // namespace dkscr::test
