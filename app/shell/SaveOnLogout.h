#pragma once
// A desktop logout asks each program to save its data before the session ends it. The list
// and the settings are saved then, and nothing from then on asks the user anything: as on a
// signal, problems go to standard error and the log, never into a box.
#include <QObject>
#include <cstdio>

class QGuiApplication;

namespace dkscr {

class MainWindow;
class Session;

class SaveOnLogout : public QObject {
 public:
  // Listens to the application's session manager requests.
  SaveOnLogout(QGuiApplication& app, MainWindow& window, Session& session, std::FILE* err);

  // Saves the list and the settings; what fails is told to `err` and the log.
  void Save();
  // A logout asked to save: the program's end must not wait for a click either.
  bool Fired() const { return fired_; }

 private:
  MainWindow& window_;
  Session& session_;
  std::FILE* err_;
  bool fired_ = false;
};

}  // namespace dkscr
