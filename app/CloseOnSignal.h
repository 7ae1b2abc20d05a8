#pragma once
// SIGTERM and SIGINT (a desktop logout, kill, Ctrl+C in a terminal) close a window the
// ordinary way, so that everything it saves on closing is saved.
#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

namespace dkscr {

class TCloseOnSignal : public QObject {
 public:
  // Installs the handlers; only one instance may exist at a time.
  explicit TCloseOnSignal(QWidget* window, QObject* parent = nullptr);
  ~TCloseOnSignal() override;
  TCloseOnSignal(const TCloseOnSignal&) = delete;
  TCloseOnSignal& operator=(const TCloseOnSignal&) = delete;

 private:
  void SignalArrived();

  QPointer<QWidget> FWindow;
  QSocketNotifier* FNotifier = nullptr;
};

}  // namespace dkscr
