// Saves one window of the X display, any program's (Deckscribe.exe under Wine among them), as
// a PNG:
//   dkscr_window_grab WINDOW_ID OUTPUT.png
// WINDOW_ID as xwininfo prints it (0x...).
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fputs("usage: dkscr_window_grab WINDOW_ID OUTPUT.png\n", stderr);
    return 2;
  }
  bool ok = false;
  const WId window = QString::fromLocal8Bit(argv[1]).toULongLong(&ok, 0);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!ok || screen == nullptr) return 2;
  const QPixmap shot = screen->grabWindow(window);
  if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "dkscr_window_grab: window %s could not be saved\n", argv[1]);
    return 1;
  }
  return 0;
}
