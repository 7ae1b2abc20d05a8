#pragma once
// A desktop logout asks each program to save its data before the session ends it. The list
// and the settings are saved then, and nothing from then on asks the user anything: as on a
// signal, problems go to standard error and the log, never into a box.
#include <QObject>
#include <cstdio>

class QGuiApplication;

namespace dkscr {

class TFmMain;
class AppState;

class TSaveOnLogout : public QObject {
 public:
  // Listens to the application's session manager requests.
  TSaveOnLogout(QGuiApplication& app, TFmMain& window, AppState& global, std::FILE* err);

  // Saves the list and the settings; what fails is told to `err` and the log.
  void Save();
  // A logout asked to save: the program's end must not wait for a click either.
  bool Fired() const { return FFired; }

 private:
  TFmMain& FWindow;
  AppState& FGlobal;
  std::FILE* FErr;
  bool FFired = false;
};

}  // namespace dkscr
