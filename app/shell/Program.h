#pragma once
// The desktop program from its start to its end: the settings and the saved list first, then
// the windows over them and the message loop, and the list and the settings saved once every
// window is gone.
#include <QApplication>
#include <functional>
#include <string>
#include <vector>

namespace dkscr {

class MainWindow;

// Names the application for the desktop, gives it its icon and installs the translations
// for the user's locale.
void SetUpApplication(QApplication& app);

// Runs the program until its window closes and returns its exit status. `paths` (files and
// folders, from the command line) are added once the window is up; `onShown`, when given, is
// called then with the window (tests look at it there and close it).
int RunProgram(const std::vector<std::u16string>& paths,
               const std::function<void(MainWindow&)>& onShown = {});

}  // namespace dkscr
