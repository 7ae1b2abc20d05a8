#include "app/shell/CloseOnSignal.h"

#include <QApplication>

#ifdef _WIN32
namespace dkscr {

// A windowed Windows program gets no signals: taskkill and a logout reach the window as
// WM_CLOSE and WM_QUERYENDSESSION, which Qt turns into the ordinary close and commitData.
CloseOnSignal::CloseOnSignal(QWidget* window, QObject* parent) : QObject(parent), window_(window) {}
CloseOnSignal::~CloseOnSignal() = default;
void CloseOnSignal::SignalArrived() {}

}  // namespace dkscr
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace dkscr {

namespace {
// The handler may only write to a descriptor; the event loop does the rest.
int gSignalPipe[2] = {-1, -1};
struct sigaction gOldTerm {};
struct sigaction gOldInt {};
struct sigaction gOldHup {};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[0], &byte, 1);
  errno = saved;
}
}  // namespace

CloseOnSignal::CloseOnSignal(QWidget* window, QObject* parent)
    : QObject(parent), window_(window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gSignalPipe) != 0)
    return;
  notifier_ = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &CloseOnSignal::SignalArrived);
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &sa, &gOldTerm);
  ::sigaction(SIGINT, &sa, &gOldInt);
  ::sigaction(SIGHUP, &sa, &gOldHup);
}

CloseOnSignal::~CloseOnSignal() {
  if (gSignalPipe[0] < 0) return;
  ::sigaction(SIGTERM, &gOldTerm, nullptr);
  ::sigaction(SIGINT, &gOldInt, nullptr);
  ::sigaction(SIGHUP, &gOldHup, nullptr);
  delete notifier_;
  ::close(gSignalPipe[0]);
  ::close(gSignalPipe[1]);
  gSignalPipe[0] = gSignalPipe[1] = -1;
}

void CloseOnSignal::SignalArrived() {
  char buffer[64];
  while (::read(gSignalPipe[1], buffer, sizeof buffer) > 0) {
  }
  // A modal dialog or a running scan would keep the window from closing; close the
  // dialogs first so that the main window's close goes through.
  fired_ = true;
  if (!window_) return;
  for (int guard = 0; guard < 16; ++guard) {
    QWidget* open = QApplication::activePopupWidget();
    if (open == nullptr) open = QApplication::activeModalWidget();
    if (open == nullptr || open == window_) break;
    open->close();
  }
  window_->close();
}

}  // namespace dkscr
#endif
